#include "status_label.h"

#include "window.h"

namespace velmar {
namespace {

constexpr COLORREF kBusyColour = RGB(99, 124, 39);

}  // namespace

void StatusLabel::Create(HWND parent, int id, ui::Dpi dpi) {
  if (!onClick) onClick = [] {};  // SS_NOTIFY: the clicks are reported
  ui::Label::Create(parent, id, L"Символов: 0", SS_LEFTNOWORDWRAP);
  SetDpi(dpi);
}

void StatusLabel::SetDpi(ui::Dpi dpi) {
  linkFont_ = ui::MakeFont({L"MS Sans Serif", -11, false, false, true}, dpi);
  busyFont_ = ui::MakeFont({L"MS Sans Serif", -11}, dpi);
  const bool underlined = look_ != Look::Busy;
  SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(underlined ? linkFont_.get() : busyFont_.get()), TRUE);
}

void StatusLabel::SetLook(Look look) {
  if (look == look_) return;
  const bool underlined = look != Look::Busy;
  const bool wasUnderlined = look_ != Look::Busy;
  look_ = look;
  if (underlined != wasUnderlined)
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(underlined ? linkFont_.get() : busyFont_.get()), FALSE);
  InvalidateRect(hwnd(), nullptr, TRUE);  // the colour comes with WM_CTLCOLORSTATIC
}

void StatusLabel::TrackLeave() const {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = hwnd();
  TrackMouseEvent(&track);
}

std::optional<LRESULT> StatusLabel::OnOwnMessage(UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_MOUSEMOVE:
      if (onMouseMove) onMouseMove();
      break;
    case WM_MOUSELEAVE:
      if (onMouseLeave) onMouseLeave();
      break;
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    default:
      break;
  }
  return std::nullopt;
}

std::optional<LRESULT> StatusLabel::OnColour(UINT, HDC dc) {
  SetTextColor(dc, look_ == Look::Busy    ? kBusyColour
                   : look_ == Look::Hover ? GetSysColor(COLOR_MENUHILIGHT)
                                          : GetSysColor(COLOR_APPWORKSPACE));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace velmar
