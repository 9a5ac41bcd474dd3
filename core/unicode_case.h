#pragma once
// Letter case of Unicode text: the simple case mappings of the Unicode
// character database, one code point to one code point, the same on every
// platform (no locale, no code page).
#include <string>
#include <string_view>

namespace velmar {

char32_t UnicodeToLower(char32_t cp);
char32_t UnicodeToUpper(char32_t cp);
// A letter or a combining mark (general categories L and M): what words are made of.
bool IsUnicodeLetter(char32_t cp);
std::u32string UnicodeToLower(std::u32string_view text);

// Lower-cases well-formed UTF-8; a malformed sequence is copied as it stands.
std::string Utf8ToLower(std::string_view utf8);

// Equal after lower-casing both (UTF-8 names of sections and keys).
bool Utf8EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace velmar
