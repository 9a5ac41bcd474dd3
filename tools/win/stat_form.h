#pragma once
// The statistics window "Статистика": nine rows of caption, leader and value
// under a banner, a rule and an "OK" button. Standard STATIC and BUTTON
// controls, so automation reads every caption and value.
#include <windows.h>

#include <array>
#include <string>
#include <string_view>

#include "standard_controls.h"
#include "text_stats.h"
#include "dialog.h"

namespace velmar {

// Control identifiers of the statistics window (also read by the tests): row
// r (0 to 8) has Caption + r, Leader + r and Value + r.
enum class StatId : int {
  Rule = -1,  // the rule above "OK"
  OK = IDOK,
  Caption = 100,
  Leader = 200,
  Value = 300,
};
constexpr int Id(StatId id) { return static_cast<int>(id); }

class TStatForm : public ui::Dialog {
 public:
  static constexpr int kClientWidth = 329;
  static constexpr int kClientHeight = 248;
  static constexpr int kBannerHeight = 49;
  static constexpr int kRows = 9;

  // Created hidden, owned by `owner`, every value "0".
  explicit TStatForm(HWND owner);

  // Writes the nine values; the size through the size formatting with the
  // decimal separator `decimal` (UTF-8).
  void SetValues(const TextStatistics& statistics, std::string_view decimal);
  void SetValue(int row, std::wstring_view text);

  // Centres the window on its owner, shows it and keeps the owner disabled
  // until "OK", Enter, Escape or the close box closes it; the window is then
  // hidden, not destroyed. Returns at once if the window no longer exists.
  void ShowModal();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(ui::Dpi previous) override;

 private:
  struct Row {
    ui::Label caption;
    ui::Label leader;
    ui::Label value;
  };

  void CreateControls();
  void MakeFontsAndLogo();  // at the window's display scale
  void LayOutControls();
  void LayOutRow(int row);
  int TextWidth(HWND control) const;
  void PaintBanner(HDC dc) const;

  ui::Font font_;
  ui::Font titleFont_;
  ui::Icon logo_;  // the program's icon when the executable has one
  void Close() { closed_ = true; }

  std::array<Row, kRows> rows_{};
  ui::Label rule_;
  ui::PushButton ok_;
  bool closed_ = false;
};

}  // namespace velmar
