#pragma once
// The text files of the main window's editing commands: the file dialogs,
// reading a file whole, writing one whole or not at all, the encodings a box's
// text is read and saved in, and the error texts the user sees.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "edit_rules.h"

namespace velmar {

// The path the user chose in the open or save dialog, or nothing when cancelled.
std::wstring ChooseFile(HWND owner, bool save);
// "Cannot open file "C:\x.txt". The process cannot access the file ..."
std::wstring FileErrorText(const wchar_t* what, const std::wstring& path, DWORD error);
std::wstring FileName(const std::wstring& path);

// The whole file as bytes; others may read it meanwhile but not write.
bool ReadWholeFile(const std::wstring& path, std::string& bytes, DWORD& error);
// Writes a file whole or not at all. Returns the error to show, or nothing.
std::wstring WriteWholeFile(const std::wstring& path, std::string_view bytes);

// The text of an opened file, in the boxes' CR LF, read in the encoding
// DetectTextEncoding finds (UTF-8 with or without its mark, or Windows-1251),
// which goes to *encoding when asked for.
std::wstring DecodeOpenedText(const std::string& bytes, TextEncoding* encoding = nullptr);
// The bytes a box's text is saved as. A text that came from a UTF-8 file goes
// back in UTF-8, with a mark only if the file had one: it holds every
// character, and the file keeps the encoding its other readers expect.
// Anything else is Windows-1251, or, for characters it cannot hold, what the
// user picks (UTF-8 with its mark, or Windows-1251 with "?" for them);
// nothing when the user cancels.
std::optional<std::string> EncodeForSaving(HWND owner, const std::wstring& text,
                                           TextEncoding origin = TextEncoding::Cp1251);

}  // namespace velmar
