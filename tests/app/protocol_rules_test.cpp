#include "protocol_rules.h"

#include <gtest/gtest.h>

namespace velmar {
namespace {

TEST(ParseTableIndex, DecimalIntegers) {
  const struct {
    std::string_view text;
    std::int32_t expected;
  } cases[] = {
      {"0", 0}, {"1", 1}, {"42", 42}, {"-1", -1}, {"+3", 3}, {"  7", 7}, {"\t2", 2}, {"007", 7},
      {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
  };
  for (const auto& c : cases) {
    const auto index = ParseTableIndex(c.text);
    ASSERT_TRUE(index.has_value()) << c.text;
    EXPECT_EQ(*index, c.expected) << c.text;
  }
}

TEST(ParseTableIndex, AnythingElseIsNoInteger) {
  for (std::string_view text : {"", " ", "abc", "1a", "1 ", "1.0", "+", "-", "+-1", "--1", "0x10", "2147483648",
                                "-2147483649", "99999999999999999999"})
    EXPECT_FALSE(ParseTableIndex(text).has_value()) << "'" << text << "'";
}

TEST(NotAnIntegerMessage, NamesTheArgument) {
  EXPECT_EQ(NotAnIntegerMessage("abc"), "'abc' is not a valid integer value");
  EXPECT_EQ(NotAnIntegerMessage(""), "'' is not a valid integer value");
}

}  // namespace
}  // namespace velmar
