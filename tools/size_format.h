#pragma once
// A byte count as a short text with a unit in powers of 1024.
#include <string>
#include <string_view>

namespace velmar {

// "0 Байт", "1023 Байт", "1,50 Кб", "1024,00 Пб", "-- INF --" (UTF-8, as every text
// this program's portable code gives the window or the terminal).
// The sign of the count is ignored. From 1024 bytes on, the count in the
// largest unit it reaches is written with exactly two decimals, rounded half
// away from zero, so 1048575 gives "1024,00 Кб"; from 2^60 bytes on (and for
// NaN) the result is "-- INF --". `decimal` is the user's decimal separator,
// in UTF-8.
std::string FormatSize(double bytes, std::string_view decimal);

}  // namespace velmar
