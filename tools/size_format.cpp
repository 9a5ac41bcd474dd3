#include "size_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>


namespace velmar {
namespace {


struct Units {
  std::string bytes = " Байт";
  std::array<std::string, 5> larger = {" Кб", " Мб", " Гб", " Тб", " Пб"};
};

const Units& GetUnits() {
  static const Units units;
  return units;
}

std::string ReplacePoint(std::string text, std::string_view decimal) {
  if (auto point = text.find('.'); point != std::string::npos) text.replace(point, 1, decimal);
  return text;
}

// Up to 15 significant digits, no trailing zeros.
std::string GeneralFormat(double x, std::string_view decimal) {
  std::array<char, 64> buffer;
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x,
                              std::chars_format::general, 15);
  return ReplacePoint(std::string(buffer.data(), result.ptr), decimal);
}

// Two decimals, half away from zero. The quotient of a double by a power of
// two is exact, and 60 decimals write it exactly (it is at least 1, so it has
// at most 52 binary places), so the third decimal alone decides the rounding:
// no binary rounding of x * 100 can turn 1.125 into 1.12.
std::string TwoDecimals(double q, std::string_view decimal) {
  std::array<char, 400> buffer;
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), q,
                              std::chars_format::fixed, 60);
  if (result.ec != std::errc()) throw std::logic_error("size too large to format");
  std::string exact(buffer.data(), result.ptr);
  const std::size_t point = exact.find('.');
  std::string digits = exact.substr(0, point) + exact.substr(point + 1, 2);
  if (exact[point + 3] >= '5') {
    std::size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
    if (i == 0) digits.insert(digits.begin(), '1');
    else ++digits[i - 1];
  }
  digits.insert(digits.size() - 2, decimal);
  return digits;
}

}  // namespace

std::string FormatSize(double bytes, std::string_view decimal) {
  const double x = std::fabs(bytes);
  const Units& units = GetUnits();
  if (x <= 0) return "0" + units.bytes;
  if (x < 1024) return GeneralFormat(x, decimal) + units.bytes;
  for (int i = 0; i < static_cast<int>(units.larger.size()); ++i) {
    if (x < std::ldexp(1.0, 10 * (i + 2))) {
      return TwoDecimals(std::ldexp(x, -10 * (i + 1)), decimal) + units.larger[i];
    }
  }
  return "-- INF --";
}

}  // namespace velmar
