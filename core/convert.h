#pragma once
// The text operations of a conversion: plain string substitution, pair after pair.
#include <string>
#include <string_view>

#include "tables.h"

namespace velmar {

// Every occurrence of pattern replaced by replacement, scanning left to right;
// occurrences never overlap and inserted text is not searched again.
// An empty pattern leaves the text unchanged.
std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view replacement);

// The conversion of one line (no line breaks inside) with a table: a blank is
// put before the line, the space options applied, the pairs applied by source
// length from 8 down to 2 and then all pairs once more in table order, and the
// first character removed again.
std::string ConvertLine(std::string_view line, const TTransTable& table, bool underscore, bool hyphen);

// The words of a text (runs of bytes above 0x20) joined by single blanks.
std::string CompressText(std::string_view text);

}  // namespace velmar
