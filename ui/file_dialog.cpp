#include "file_dialog.h"

#include <commdlg.h>

namespace ui {

std::wstring ChooseFile(HWND owner, bool save, const wchar_t* filter, bool mustExist) {
  std::wstring path(32 * 1024, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!save && mustExist) dialog.Flags |= OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return {};
  path.resize(path.find(L'\0'));
  return path;
}

}  // namespace ui
