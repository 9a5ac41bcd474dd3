#pragma once
// One step of the program's message loop in the middle of a long operation on
// the window thread: every message waiting now is handled, so that the windows
// paint and answer. A quit request stops the step and is posted again for the
// loop that owns the program.
#include <windows.h>

namespace ui {

inline void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace ui
