#include "controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

namespace ui {
namespace {

constexpr COLORREF kHotFill = RGB(229, 243, 255);
constexpr COLORREF kHotBorder = RGB(153, 209, 255);
constexpr COLORREF kDownFill = RGB(204, 232, 255);
constexpr COLORREF kDownBorder = RGB(102, 167, 232);
constexpr UINT_PTR kHoverCheckTimer = 0x4876;
constexpr UINT kHoverCheckMs = 250;

void FrameFill(HDC dc, const RECT& rect, COLORREF fill, COLORREF border) {
  Brush brush(CreateSolidBrush(fill));
  Pen pen(CreatePen(PS_SOLID, 1, border));
  SelectIn b(dc, brush.get());
  SelectIn p(dc, pen.get());
  Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

}  // namespace

void FlatButton::Create(HWND parent, int id, std::wstring_view text, Look look, const Image* icon,
                        const Image* hotIcon) {
  look_ = look;
  icon_ = icon;
  hotIcon_ = hotIcon;
  CreateAs(parent, L"BUTTON", text, WS_TABSTOP | BS_OWNERDRAW, 0, id);
}

void FlatButton::Click() {
  if (checkable) {
    checked = !checked;
    InvalidateRect(hwnd(), nullptr, FALSE);
  }
  if (onClick) onClick();
}

std::optional<LRESULT> FlatButton::OnCommand(WORD code) {
  if (code != BN_CLICKED && code != BN_DOUBLECLICKED && code != kAcceleratorCode) return std::nullopt;
  if (code == kAcceleratorCode && !IsWindowEnabled(hwnd())) return 0;  // a disabled button is not pressed
  Click();
  return 0;
}

std::optional<LRESULT> FlatButton::OnDrawItem(const DRAWITEMSTRUCT& item) {
  Draw(item);
  return TRUE;
}

void FlatButton::Draw(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  const RECT& rc = item.rcItem;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool down = (item.itemState & ODS_SELECTED) != 0 || checked;
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  if (!disabled && down)
    FrameFill(dc, rc, kDownFill, kDownBorder);
  else if (!disabled && hot_)
    FrameFill(dc, rc, kHotFill, kHotBorder);

  const Image* icon = (hot_ && !disabled && hotIcon_ && *hotIcon_) ? hotIcon_ : icon_;
  const BYTE alpha = disabled ? 90 : 255;
  const int iconSize = icon ? icon->Width() : 0;
  const Dpi S = ScaleForWindow(hwnd());  // the margins scale as the icons do
  const int arrow = dropDown ? S(8) : 0;
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  const int shift = (item.itemState & ODS_SELECTED) ? 1 : 0;

  wchar_t text[128] = L"";
  GetWindowTextW(hwnd(), text, 128);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  SelectIn font(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));

  switch (look_) {
    case Look::IconOnly:
      if (icon) icon->Draw(dc, rc.left + (w - arrow - iconSize) / 2 + shift, rc.top + (h - iconSize) / 2 + shift, alpha);
      break;
    case Look::IconAbove: {
      if (icon) icon->Draw(dc, rc.left + (w - arrow - iconSize) / 2 + shift, rc.top + S(4) + shift, alpha);
      RECT t{rc.left + shift, rc.top + S(4) + iconSize + S(2) + shift, rc.right - arrow + shift, rc.bottom};
      DrawTextW(dc, text, -1, &t, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS);
      break;
    }
    case Look::IconLeft: {
      if (icon) icon->Draw(dc, rc.left + S(6) + shift, rc.top + (h - iconSize) / 2 + shift, alpha);
      RECT t{rc.left + S(6) + iconSize + S(6) + shift, rc.top + shift, rc.right - arrow - S(2), rc.bottom + shift};
      DrawTextW(dc, text, -1, &t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
      break;
    }
  }
  if (dropDown) {
    // A small down arrow at the right edge.
    const int ax = rc.right - arrow - S(1), ay = rc.top + h / 2 - S(1);
    Pen pen(CreatePen(PS_SOLID, 1, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT)));
    SelectIn p(dc, pen.get());
    for (int i = 0; i < S(3); ++i) {
      MoveToEx(dc, ax + i, ay + i, nullptr);
      LineTo(dc, ax + S(5) - i, ay + i);
    }
  }
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT f = rc;
    InflateRect(&f, -2, -2);
    DrawFocusRect(dc, &f);
  }
}

void FlatButton::SetHot(bool hot) {
  if (hot) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
    TrackMouseEvent(&track);
  }
  if (hot == hot_) return;
  hot_ = hot;
  // While lit, the button looks now and then whether the cursor is still
  // over it: a parent moved or resized under a still cursor (maximised,
  // restored) moves the button on the screen without a word to it.
  if (hot_)
    SetTimer(hwnd(), kHoverCheckTimer, kHoverCheckMs, nullptr);
  else
    KillTimer(hwnd(), kHoverCheckTimer);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void FlatButton::CheckCursorStillOver() {
  if (!hot_) return;
  POINT cursor{};
  const bool over = IsWindowVisible(hwnd()) && IsWindowEnabled(hwnd()) && GetCursorPos(&cursor) &&
                    WindowFromPoint(cursor) == hwnd();
  // Still over it: the leave is tracked anew, as a change of capture ends the tracking.
  SetHot(over);
}

std::optional<LRESULT> FlatButton::OnOwnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_MOUSEMOVE:
      if (!hot_) SetHot(true);
      break;
    case WM_MOUSELEAVE:
      SetHot(false);
      break;
    // No WM_MOUSELEAVE comes when the button moves away from under a cursor
    // that stays where it was (the parent laid out anew after a maximise or
    // a restore), when it is hidden or disabled, or when the mouse was
    // captured while the cursor left: the hover look follows the cursor then.
    case WM_SHOWWINDOW:
      if (!wParam) SetHot(false);
      break;
    case WM_WINDOWPOSCHANGED:
    case WM_ENABLE:
    case WM_CAPTURECHANGED:
      CheckCursorStillOver();
      break;
    case WM_TIMER:
      if (wParam != kHoverCheckTimer) break;
      CheckCursorStillOver();
      return 0;
    default:
      break;
  }
  return std::nullopt;  // the button's own procedure carries on
}

void Splitter::Create(HWND parent, int id, Orientation orientation) {
  orientation_ = orientation;
  Register(L"VelmarSplitter", nullptr, nullptr, nullptr);
  CreateWindowOf(L"VelmarSplitter", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, 0, parent,
                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void Splitter::DragTo(LPARAM lParam) const {
  if (!onDrag) return;
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  MapWindowPoints(hwnd_, GetParent(hwnd_), &p, 1);
  onDrag((orientation_ == Orientation::Vertical ? p.x : p.y) - grab_);
}

LRESULT Splitter::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const bool vertical = orientation_ == Orientation::Vertical;
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, vertical ? IDC_SIZEWE : IDC_SIZENS));
      return TRUE;
    case WM_LBUTTONDOWN:
      dragging_ = true;
      grab_ = vertical ? GET_X_LPARAM(lParam) : GET_Y_LPARAM(lParam);
      SetCapture(hwnd_);
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_) DragTo(lParam);  // live resizing
      return 0;
    case WM_LBUTTONUP:
      // The bar goes where the button went up: the system merges moves, and
      // a quick drag may end before its last move has been seen.
      if (dragging_) {
        DragTo(lParam);
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      const PaintDc paint(hwnd_);
      HDC dc = paint.get();
      RECT rc;
      GetClientRect(hwnd_, &rc);
      if (vertical) {
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &rc, BDR_RAISEDINNER, BF_LEFT | BF_RIGHT);
      } else {
        FillRect(dc, &rc, GetSysColorBrush(COLOR_INFOBK));
      }
      return 0;
    }
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace ui
