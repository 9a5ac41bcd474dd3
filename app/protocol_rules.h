#pragma once
// The window-free rules of the command protocol's arguments. No windows.h here.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmar {

// A table index in decimal: leading blanks, an optional sign and digits that
// fit a signed 32-bit integer; anything else is no integer.
std::optional<std::int32_t> ParseTableIndex(std::string_view text);

// "'abc' is not a valid integer value", the argument as it came.
std::string NotAnIntegerMessage(std::string_view text);

}  // namespace velmar
