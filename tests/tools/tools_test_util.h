#pragma once
#include <string>
#include <string_view>

#include "cp1251.h"

namespace velmar::test {

// Expected texts are written in UTF-8 here; the tools work on Windows-1251.
// A character the code page cannot hold becomes "?".
inline std::string Cp(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t cp = n == 1 ? lead : n == 2 ? (lead & 0x1F) : n == 3 ? (lead & 0x0F) : (lead & 0x07);
    for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += static_cast<std::size_t>(n);
    const int b = UnicodeToCp1251(cp);
    out += static_cast<char>(b < 0 ? '?' : b);
  }
  return out;
}

}  // namespace velmar::test
