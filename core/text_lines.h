#pragma once
#include <string_view>
#include <vector>

namespace velmar {

// Splits a text into lines at CR LF, lone CR or lone LF. A break at the very
// end does not start another line, and an empty text has no lines. The views
// point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace velmar
