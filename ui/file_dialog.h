#pragma once
// The system's open and save dialogs.
#include <windows.h>

#include <string>

namespace ui {

// The file the user picked, or an empty string when the dialog was
// cancelled. `filter` is the dialog's double-NUL-ended filter list. No
// default extension, the current folder left alone, and no question before
// overwriting; `mustExist` (open only) refuses a name with no file.
std::wstring ChooseFile(HWND owner, bool save, const wchar_t* filter, bool mustExist);

}  // namespace ui
