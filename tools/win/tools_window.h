#pragma once
// Small helpers the tool windows share on top of the widget layer.
#include <windows.h>

#include "window.h"

namespace velmar::tools_win {

// The user's message font (Tahoma 8 pt on a classic desktop), optionally bold
// and scaled by `scale` percent.
ui::Font MessageFont(bool bold = false, int scale = 100, ui::Dpi dpi = ui::Dpi());

// Outer size of a window whose client area is width x height.
SIZE WindowSizeForClient(DWORD style, DWORD exStyle, int width, int height, ui::Dpi dpi = ui::Dpi());

// Moves `window` to the centre of `owner` (of the screen without an owner),
// kept inside the work area of the owner's monitor.
void CentreOnOwner(HWND window, HWND owner);

}  // namespace velmar::tools_win
