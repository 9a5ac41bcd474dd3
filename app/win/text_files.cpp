#include "text_files.h"

#include "file_dialog.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "cp1251.h"
#include "edit_rules.h"
#include "handles.h"
#include "profile.h"
#include "text.h"
#include "utf8.h"

namespace velmar {
namespace {

// Both file dialogs offer every file.
constexpr wchar_t kFileFilter[] = L"Все файлы (*.*)\0*.*\0";

// The system's text for an error code, without the line break it ends with.
std::wstring SystemErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n && buffer ? std::wstring(buffer, n) : L"Системная ошибка " + std::to_wstring(error);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  return text;
}

}  // namespace

// Some system texts name the file themselves ("Bad EXE format for %1.").
std::wstring FileErrorText(const wchar_t* what, const std::wstring& path, DWORD error) {
  return std::wstring(what) + L" \"" + path + L"\". " + FillPathInsert(SystemErrorText(error), path);
}

// Writes a file whole or not at all: the bytes go to a temporary file in the
// same folder, which replaces the old file only once everything is written, so
// a full disk or a broken write leaves the old file as it was. Returns the
// error to show, or nothing.
std::wstring WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  const std::filesystem::path target(path);
  // Windows refuses the rename over a read-only file, Wine does it and drops
  // the mark: refused here alike, with the reason Windows gives.
  if (IsReadOnlyFile(target)) return FileErrorText(L"Cannot write file", path, ERROR_ACCESS_DENIED);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = L".";
  wchar_t temp[MAX_PATH];
  if (!GetTempFileNameW(folder.c_str(), L"vel", 0, temp)) return FileErrorText(L"Cannot create file", path, GetLastError());
  DWORD error = ERROR_SUCCESS;
  {
    const ui::KernelHandle file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
      error = GetLastError();
    } else {
      DWORD written = 0;
      if (!bytes.empty() && (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
                             written != bytes.size()))
        error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_DISK_FULL;
      else if (!FlushFileBuffers(file.get()))
        error = GetLastError();
    }
  }
  if (error == ERROR_SUCCESS && !MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = GetLastError();
  if (error == ERROR_SUCCESS) return {};
  DeleteFileW(temp);
  return FileErrorText(L"Cannot write file", path, error);
}

// The whole file as bytes; others may read it meanwhile but not write.
bool ReadWholeFile(const std::wstring& path, std::string& bytes, DWORD& error) {
  const ui::KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return false;
  }
  bytes.clear();
  char buffer[64 * 1024];
  while (true) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
      error = GetLastError();  // not half a file
      return false;
    }
    if (got == 0) return true;
    bytes.append(buffer, got);
  }
}

std::wstring FileName(const std::wstring& path) { return std::filesystem::path(path).filename().wstring(); }

std::wstring ChooseFile(HWND owner, bool save) { return ui::ChooseFile(owner, save, kFileFilter, true); }

std::wstring DecodeOpenedText(const std::string& bytes, TextEncoding* encoding) {
  const TextEncoding found = DetectTextEncoding(bytes);
  if (encoding) *encoding = found;
  switch (found) {
    case TextEncoding::Utf8WithMark:
      return ui::Widen(NormaliseLineBreaks(std::string_view(bytes).substr(kUtf8ByteOrderMark.size())));
    case TextEncoding::Utf8:
      return ui::Widen(NormaliseLineBreaks(bytes));
    case TextEncoding::Cp1251:
      break;
  }
  return ui::FromCp1251(NormaliseLineBreaks(bytes));
}

// The box's text exactly as it holds it: 8-bit, CR LF, nothing added.
std::optional<std::string> EncodeForSaving(HWND owner, const std::wstring& text, TextEncoding origin) {
  if (origin == TextEncoding::Utf8) return ui::Narrow(text);
  if (origin == TextEncoding::Utf8WithMark) return std::string(kUtf8ByteOrderMark) + ui::Narrow(text);
  std::vector<std::wstring> lost;
  std::string bytes = ui::ToCp1251(text, &lost);
  if (lost.empty()) return bytes;
  // A Windows-1251 file cannot hold them: the user picks UTF-8 (with its
  // byte order mark, so that opening the file reads it back), or
  // Windows-1251 with the usual question mark rather than a byte no reader knows.
  // Short lines of its own: a message box that wraps a long line itself may
  // cut off the word at the end of it (under Wine it does).
  const int answer =
      MessageBoxW(owner,
                  ui::Widen("Текст содержит символы, которых нет\n"
                            "в кодировке Windows-1251.\n"
                            "Сохранить файл в кодировке UTF-8?\n"
                            "(\"Нет\" \u2014 в Windows-1251, эти символы\n"
                            "будут заменены знаком \"?\")")
                      .c_str(),
                  L"VelmarPro", MB_YESNOCANCEL | MB_ICONWARNING);
  if (answer == IDYES) return std::string(kUtf8ByteOrderMark) + ui::Narrow(text);
  if (answer != IDNO) return std::nullopt;
  std::replace(bytes.begin(), bytes.end(), static_cast<char>(kCp1251Undefined), '?');
  return bytes;
}

}  // namespace velmar
