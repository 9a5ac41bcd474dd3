#pragma once
// What a control tells screen readers where Windows' own description of it
// (the standard proxy: the window text, the class's role, a list box's
// strings) falls short: an icon button drawn by its owner that is really a
// check box, a text box without a label beside it, a list whose rows are
// drawn and read differently from the strings it keeps, a line that only
// decorates. The control answers WM_GETOBJECT with an object that says what
// is set here and leaves everything else to the standard proxy.
#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <string>

namespace ui {

struct Accessibility {
  std::wstring name;   // empty: the standard proxy's (the window text, a label)
  LONG role = 0;       // 0: the standard proxy's
  std::wstring description;  // empty: the proxy's; what a tooltip says beyond the name
  // Read each time it is asked for, for a name that follows the window's state.
  std::function<std::wstring()> currentName;
  // State bits added to the proxy's (STATE_SYSTEM_CHECKED for a pressed check button).
  std::function<LONG()> extraState;
  // A list box whose rows are read as these texts (child i + 1 is row i); its
  // role is a list unless `role` says otherwise.
  std::function<std::wstring(int row)> rowName;
};

// Makes `control` describe itself with `accessibility` from now on, until it
// is destroyed. The control may be of any class; it is subclassed for it.
void SetAccessibility(HWND control, Accessibility accessibility);

// A name and, unless 0, a role; an empty name leaves the proxy's.
void SetAccessibleName(HWND control, std::wstring name, LONG role = 0);

// The decorations: an etched line, a splitter bar, a row of underscores: a
// separator without a name, whatever text it draws.
void MarkSeparator(HWND control);

}  // namespace ui
