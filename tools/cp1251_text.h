#pragma once
// Russian texts of the tools are written in UTF-8 in the source and used as
// Windows-1251 bytes, like every text the program handles.
#include <string>
#include <string_view>

namespace velmar::tools_detail {

// Converts a UTF-8 literal of this library to Windows-1251. Every character of
// those literals exists in the code page; one that does not is a programming
// error and throws std::logic_error.
std::string Cp1251FromLiteral(std::string_view utf8);

}  // namespace velmar::tools_detail
