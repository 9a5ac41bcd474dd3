#pragma once
// Shows a window modally over its owner: the owner is disabled until `closed`
// becomes true and then left enabled or disabled as it was before (the window's own handlers set it), dialog keys work in it,
// and a WM_QUIT that arrives meanwhile is handed on to the outer loop.
#include <windows.h>

namespace ui {

void RunModal(HWND window, const bool& closed);

}  // namespace ui
