#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "size_format.h"
#include "tools_test_util.h"

namespace velmar {
namespace {
using test::Cp;

TEST(FormatSize, UnitsLimitsAndRounding) {
  struct Case { double bytes; const char* expected; };
  const Case cases[] = {
      {0, "0 Байт"},
      {-0.0, "0 Байт"},
      {1, "1 Байт"},
      {5, "5 Байт"},
      {1023, "1023 Байт"},
      {1.5, "1,5 Байт"},                   // below a kilobyte: shortest form
      {1024, "1,00 Кб"},                   // limits are exclusive
      {1536, "1,50 Кб"},
      {-2048, "2,00 Кб"},                  // the sign is dropped
      {1029, "1,00 Кб"},                   // 1.0048828125
      {1152, "1,13 Кб"},                   // 1.125: half away from zero, not to even
      {1408, "1,38 Кб"},                   // 1.375
      {1048575, "1024,00 Кб"},             // rounding up shows 1024 of the smaller unit
      {std::ldexp(1.0, 20), "1,00 Мб"},
      {std::ldexp(1.0, 20) * 2.5, "2,50 Мб"},
      {std::ldexp(1.0, 30), "1,00 Гб"},
      {std::ldexp(1.0, 40), "1,00 Тб"},
      {std::ldexp(1.0, 50), "1,00 Пб"},
      {std::ldexp(1.0, 60) - std::ldexp(1.0, 40), "1024,00 Пб"},
      {std::ldexp(1.0, 60), "-- INF --"},
      {-std::ldexp(1.0, 61), "-- INF --"},
      {std::numeric_limits<double>::infinity(), "-- INF --"},
      {std::numeric_limits<double>::quiet_NaN(), "-- INF --"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSize(c.bytes, ","), c.expected) << c.bytes;
}

TEST(FormatSize, DecimalSeparatorIsTheCallers) {
  EXPECT_EQ(FormatSize(1536, "."), "1.50 Кб");
  EXPECT_EQ(FormatSize(1.25, "."), "1.25 Байт");
  EXPECT_EQ(FormatSize(1536, "·"), "1·50 Кб");
  EXPECT_EQ(FormatSize(1536, ", "), "1, 50 Кб");
}

}  // namespace
}  // namespace velmar
