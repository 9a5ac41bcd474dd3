#pragma once
// The full path of the running program, however long: the settings file, the
// Table folder and the autostart command are found from it.
#include <windows.h>

#include <filesystem>
#include <string>

namespace ui {

// Empty when the system cannot say.
inline std::filesystem::path ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace ui
