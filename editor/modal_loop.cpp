#include "modal_loop.h"

#include "dpi.h"

namespace velmar {

namespace {

// Disables the owner for the life of the modal window; at its end the owner is
// enabled before the window goes, so the activation returns to it. Also when
// an exception ends the window's run.
class OwnerDisabled {
 public:
  OwnerDisabled(HWND window, HWND owner)
      : window_(window), owner_(owner), wasEnabled_(owner && IsWindowEnabled(owner)) {
    if (owner_) EnableWindow(owner_, FALSE);
  }
  ~OwnerDisabled() {
    if (wasEnabled_) EnableWindow(owner_, TRUE);
    if (IsWindow(window_)) ShowWindow(window_, SW_HIDE);
  }
  OwnerDisabled(const OwnerDisabled&) = delete;
  OwnerDisabled& operator=(const OwnerDisabled&) = delete;

 private:
  HWND window_, owner_;
  bool wasEnabled_;
};

}  // namespace

void RunModal(HWND window, HWND owner, const bool& done, HACCEL accelerators, const std::function<void()>& shown) {
  const OwnerDisabled modal(window, owner);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  if (shown) shown();
  MSG msg;
  while (!done && IsWindow(window)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns the program
      break;
    }
    if (got < 0) break;
    if (accelerators && TranslateAcceleratorW(window, accelerators, &msg)) continue;
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void CentreOn(HWND window, HWND over, int clientWidth, int clientHeight) {
  const SIZE frame = ui::OuterSize({clientWidth, clientHeight}, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)),
                                   static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)),
                                   ui::ScaleForWindow(window));
  const int w = frame.cx, h = frame.cy;
  RECT area;
  if (over && IsWindowVisible(over)) GetWindowRect(over, &area);
  else SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const int x = area.left + (area.right - area.left - w) / 2;
  const int y = area.top + (area.bottom - area.top - h) / 2;
  SetWindowPos(window, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace velmar
