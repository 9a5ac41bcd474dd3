#pragma once
// The small window with a moving progress bar that a statistics run shows
// while its worker counts.
#include <windows.h>

#include <string_view>

#include "window.h"

namespace velmar {

class TWaitForm : public ui::Window {
 public:
  static constexpr int kClientWidth = 409;
  static constexpr int kClientHeight = 57;
  static constexpr int kProgressBarId = 1;

  // Created hidden, owned by `owner`, with the caption "WaitForm"; a dialog
  // frame without title-bar buttons.
  explicit TWaitForm(HWND owner);

  // Switches ProgressBar1 to the indeterminate (marquee) style and starts it
  // at one step every 50 ms.
  void StartMarquee();
  // Sets the caption, centres the window on its owner and shows it (modeless).
  void Show(std::wstring_view caption);

  HWND ProgressBar1() const { return progressBar1_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(ui::Dpi previous) override;

 private:
  HWND progressBar1_ = nullptr;
  ui::DesignLayout layout_;  // the bar's place at 96 DPI
};

}  // namespace velmar
