#pragma once
// Small helpers the tool windows share on top of the widget layer.
#include <windows.h>

#include "window.h"

namespace velmar::tools_win {

// The user's message font (Tahoma 8 pt on a classic desktop), optionally bold
// and scaled by `scale` percent.
ui::Font MessageFont(bool bold = false, int scale = 100, ui::Dpi dpi = ui::Dpi());

}  // namespace velmar::tools_win
