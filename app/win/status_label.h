#pragma once
// The status line under the result box (Label2). Outside runs it is a link
// (underlined, workspace colour), lit while the mouse is over it (menu
// highlight colour); while a conversion run writes its progress into it, it
// is plain and green. It shows the hand cursor; the window decides what its
// mouse moves and clicks do.
#include <windows.h>

#include <functional>
#include <optional>

#include "dpi.h"
#include "handles.h"
#include "standard_controls.h"

namespace velmar {

class StatusLabel : public ui::Label {
 public:
  enum class Look { Link, Hover, Busy };

  void Create(HWND parent, int id, ui::Dpi dpi = ui::Dpi());
  // Its fonts at the display scale `dpi`.
  void SetDpi(ui::Dpi dpi);

  Look CurrentLook() const { return look_; }
  void SetLook(Look look);
  // Asks for the leave message; asked on every move, it stays asked for even
  // when the system dropped the request (the window was disabled meanwhile).
  void TrackLeave() const;

  std::function<void()> onMouseMove;
  std::function<void()> onMouseLeave;

 protected:
  std::optional<LRESULT> OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  std::optional<LRESULT> OnColour(UINT message, HDC dc) override;

 private:
  Look look_ = Look::Link;
  ui::Font linkFont_, busyFont_;
};

}  // namespace velmar
