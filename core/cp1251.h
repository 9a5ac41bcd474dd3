#pragma once
// Windows-1251: the 8-bit code page every text of the program is kept in.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmar {

// The one byte Windows-1251 leaves undefined. No character of any text can be
// it, so it serves as the stand-in for characters the code page cannot hold.
inline constexpr unsigned char kCp1251Undefined = 0x98;

// Lower-cases one byte the way Windows does for code page 1251: Latin A-Z and
// every Cyrillic capital of the code page; all other bytes stay.
unsigned char Cp1251ToLower(unsigned char c);
std::string Cp1251ToLower(std::string_view text);
// The capital of a small letter the code page also holds; all other bytes stay.
unsigned char Cp1251ToUpper(unsigned char c);

// The Unicode code point of a byte (0x98 maps to U+FFFF, which is not a character).
char32_t Cp1251ToUnicode(unsigned char c);
// The byte of a code point, or -1 when Windows-1251 has none for it.
int UnicodeToCp1251(char32_t cp);

// The crossing into and out of UTF-8 is in utf8.h.

}  // namespace velmar
