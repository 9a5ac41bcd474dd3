#pragma once
// A modal window of our own: the owner is disabled while it runs, dialog keys
// (Tab, Enter, Esc) work, and a quit request ends it and is passed on.
#include <windows.h>

#include <functional>

namespace velmar {

// Shows the window, runs `shown` (optional: what needs the window on screen,
// such as a message box over it) and then messages until `done` is set or the
// window is gone. `accelerators` (optional) are translated for `window` first.
void RunModal(HWND window, HWND owner, const bool& done, HACCEL accelerators = nullptr,
              const std::function<void()>& shown = {});

// Positions a window of the given client size, centred on `over` (the screen when none).
void CentreOn(HWND window, HWND over, int clientWidth, int clientHeight);

}  // namespace velmar
