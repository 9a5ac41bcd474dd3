#include "dialog.h"

#include "control.h"

#include <optional>

namespace ui {

SIZE WindowSizeForClient(DWORD style, DWORD exStyle, int width, int height, Dpi dpi) {
  return OuterSize({dpi(width), dpi(height)}, style, exStyle, dpi);
}

void CentreOnOwner(HWND window, HWND owner) {
  RECT self{};
  GetWindowRect(window, &self);
  const int width = self.right - self.left;
  const int height = self.bottom - self.top;
  // An owner in the notification area or minimised has no place worth centring on.
  const bool ownerShown = owner && IsWindowVisible(owner) && !IsIconic(owner);
  RECT area{};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(MonitorFromWindow(ownerShown ? owner : window, MONITOR_DEFAULTTONEAREST), &info))
    area = info.rcWork;
  else
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT around = area;
  if (ownerShown) GetWindowRect(owner, &around);
  int x = around.left + (around.right - around.left - width) / 2;
  int y = around.top + (around.bottom - around.top - height) / 2;
  if (area.right > area.left) {
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
  }
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

OwnerDisabled::OwnerDisabled(HWND owner) : owner_(owner), wasEnabled_(owner && IsWindowEnabled(owner)) {
  if (owner_) EnableWindow(owner_, FALSE);
}

OwnerDisabled::~OwnerDisabled() {
  if (wasEnabled_ && IsWindow(owner_)) EnableWindow(owner_, TRUE);
}

namespace {

bool IsPushButton(HWND control) {
  wchar_t kind[16] = L"";
  GetClassNameW(control, kind, 16);
  if (lstrcmpiW(kind, L"Button") != 0) return false;
  const auto type = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE)) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

bool IsMultiLineEdit(HWND control) {
  wchar_t kind[16] = L"";
  GetClassNameW(control, kind, 16);
  return lstrcmpiW(kind, L"Edit") == 0 && (GetWindowLongPtrW(control, GWL_STYLE) & ES_MULTILINE);
}

}  // namespace

bool HandleDialogKeys(HWND window, MSG& msg) {
  // A key goes to the window that had the focus when it was pressed: that
  // one, not whichever has it now (another program may have taken it since).
  HWND focus = msg.message == WM_KEYDOWN ? msg.hwnd : nullptr;
  if (focus && IsChild(window, focus)) {
    if (msg.wParam == VK_RETURN && IsPushButton(focus) && IsWindowEnabled(focus)) {
      SendMessageW(GetParent(focus), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                   reinterpret_cast<LPARAM>(focus));
      return true;
    }
    // A box of several lines takes every key in a dialog box, and asks a
    // window that is no dialog box in vain to move on, or closes it on Esc:
    // Tab leaves it (Ctrl+Tab types a tab) and Esc is the window's cancel.
    if (IsMultiLineEdit(focus) && GetKeyState(VK_CONTROL) >= 0) {
      if (msg.wParam == VK_TAB) {
        if (HWND next = GetNextDlgTabItem(window, focus, GetKeyState(VK_SHIFT) < 0)) SetFocus(next);
        return true;
      }
      if (msg.wParam == VK_ESCAPE) {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
      }
    }
  }
  return IsDialogMessageW(window, &msg) != FALSE;
}

void RunMessagesUntil(HWND window, const bool& done, HACCEL accelerators) {
  MSG msg;
  while (!done && IsWindow(window)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns the program
      break;
    }
    if (got < 0) break;
    if (accelerators && TranslateAcceleratorW(window, accelerators, &msg)) continue;
    if (HandleDialogKeys(window, msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Dialog::CreateDialogWindow(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                                SIZE designClient, Dpi dpi, HWND owner, HWND centreOn) {
  // Child windows that take the focus themselves are reached by Tab too.
  exStyle |= WS_EX_CONTROLPARENT;
  focusBefore_ = GetFocus();
  const SIZE size = WindowSizeForClient(style, exStyle, designClient.cx, designClient.cy, dpi);
  CreateWindowOf(className, title, style, exStyle, 0, 0, size.cx, size.cy, owner, nullptr);
  CentreOnOwner(hwnd_, centreOn ? centreOn : owner);
}

namespace {

// The owner is given back before the window hides: the activation returns to
// it. The control that had the focus before gets it back, as after a dialog
// box: a button that opened the window is where the keyboard was.
class ModalScope {
 public:
  ModalScope(HWND window, HWND focus) : window_(window), focus_(focus) {
    owner_.emplace(GetWindow(window, GW_OWNER));
  }
  ~ModalScope() {
    owner_.reset();
    if (IsWindow(window_)) ShowWindow(window_, SW_HIDE);
    if (focus_ && IsWindow(focus_) && IsWindowVisible(focus_) && IsWindowEnabled(focus_) &&
        GetActiveWindow() == GetAncestor(focus_, GA_ROOT))
      SetFocus(focus_);
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  HWND window_;
  HWND focus_;
  std::optional<OwnerDisabled> owner_;
};

}  // namespace

void Dialog::RunModal(const bool& done, HACCEL accelerators, const std::function<void()>& shown) {
  // The focus outside this window; a window that set its own focus before
  // it showed had found it when it was made.
  HWND focus = GetFocus();
  if (!focus || focus == hwnd_ || IsChild(hwnd_, focus)) focus = focusBefore_;
  const ModalScope modal(hwnd_, focus);
  ShowWindow(hwnd_, SW_SHOW);
  if (shown) shown();
  RunMessagesUntil(hwnd_, done, accelerators);
}

LRESULT Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE && onCancel) {
    onCancel();
    return 0;
  }
  if (message != WM_COMMAND) return Window::HandleMessage(message, wParam, lParam);
  const WORD id = LOWORD(wParam);
  // The dialog keys send BN_CLICKED, from the focused control or none.
  const bool key = lParam == 0 || HIWORD(wParam) == BN_CLICKED;
  if (id == IDOK && key) {
    if (onOk) onOk();
  } else if (id == IDCANCEL && key) {
    if (onCancel) onCancel();
  } else if (lParam == 0) {
    ForwardCommandById(hwnd_, wParam);
  }
  return 0;
}

}  // namespace ui
