#pragma once
#include <string>
#include <string_view>

#include "utf8.h"

namespace velmar::test {

// Expected texts are written in UTF-8 here; the tools work on Windows-1251.
inline std::string Cp(std::string_view utf8) { return Cp1251FromUtf8Literal(utf8); }

}  // namespace velmar::test
