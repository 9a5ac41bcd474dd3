#pragma once
// What makes a table a Unicode table: the byte order mark its file begins
// with, and the crossing of its UTF-8 strings to the other encodings.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "tables.h"

namespace velmar {

inline constexpr std::string_view kUtf16LeByteOrderMark = "\xFF\xFE";

// The text of a table file: a file that begins with the UTF-8 or the UTF-16
// little-endian byte order mark is read in that encoding and given as UTF-8
// without the mark; every other file is Windows-1251 bytes as they stand.
// A file in UTF-16 big-endian or UTF-32, or with its mark twice, is an error.
struct TableFileText {
  TableEncoding encoding = TableEncoding::Cp1251;
  std::string text;
  std::string error;  // why the bytes are no text in their encoding (text is then empty)
};
TableFileText DecodeTableFile(std::string_view bytes);

// UTF-16 little-endian bytes (no byte order mark) as UTF-8. Returns the byte
// offset of an odd last byte or a lone surrogate, or nothing.
std::optional<std::size_t> Utf16LeToUtf8(std::string_view bytes, std::string& out);
// Well-formed UTF-8 as UTF-16 little-endian bytes (no byte order mark).
std::string Utf8ToUtf16Le(std::string_view utf8);

// A string of the table (a name, a source, a target) in another form.
std::string TableTextToUtf8(const TTransTable& table, std::string_view text);
std::u32string TableTextToCodePoints(const TTransTable& table, std::string_view text);
// In Windows-1251; a character the code page has not becomes "?".
std::string TableTextToCp1251(const TTransTable& table, std::string_view text);

}  // namespace velmar
