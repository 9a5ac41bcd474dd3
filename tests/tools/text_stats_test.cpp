#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text_stats.h"
#include "tools_test_util.h"

namespace velmar {
namespace {
using test::Cp;

TEST(WordCount, Separators) {
  struct Case { std::string text; std::size_t words; };
  const Case cases[] = {
      {"", 0},
      {"Hello, world!", 2},
      {"a-b", 2},
      {"e.g.", 2},
      {"snake_case", 2},
      {"...", 0},
      {"(1)", 1},
      {Cp("один\r\nдва"), 2},
      {"a\tb\nc\rd", 4},
      {"a?b;c:d", 4},
      {"  lead and trail  ", 3},
      {"don't \"quoted\" a/b", 3},  // quotes, apostrophes and "/" belong to words
      {"a\xA0" "b", 1},             // the no-break space too
      {"x", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(WordCount(c.text), c.words) << c.text;
}

TEST(SpaceCount, OnlyTheSpaceByte) {
  EXPECT_EQ(SpaceCount("\t\xA0"), 0u);
  EXPECT_EQ(SpaceCount("\r\n"), 0u);
  EXPECT_EQ(SpaceCount(" a  b "), 4u);
  EXPECT_EQ(SpaceCount(""), 0u);
}

TEST(SplitLines, BreaksOfEveryKind) {
  using Lines = std::vector<std::string_view>;
  EXPECT_EQ(SplitLines(""), Lines{});
  EXPECT_EQ(SplitLines("abc"), Lines{"abc"});
  EXPECT_EQ(SplitLines("a\r\n"), Lines{"a"});  // a break at the end starts no line
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\n\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLines("a\n\r"), (Lines{"a", ""}));  // LF CR is two breaks
  EXPECT_EQ(SplitLines("\r\n"), Lines{""});
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (Lines{"a", ""}));
}

TEST(AnalyseLines, EachLineCountsItsBreak) {
  const std::vector<std::string> abc = {"abc"};
  TextStatistics expected;
  expected.words = 1;
  expected.chars_with_spaces = expected.chars_without_spaces = expected.size = 5;
  expected.lines = 1;
  expected.latin = 3;
  EXPECT_EQ(AnalyseLines(abc), expected);

  const std::vector<std::string> two = {"ab", "cd"};
  const TextStatistics s = AnalyseLines(two);
  EXPECT_EQ(s.chars_with_spaces, 8u);
  EXPECT_EQ(s.lines, 2u);
  EXPECT_EQ(s.words, 2u);

  EXPECT_EQ(AnalyseLines(std::vector<std::string>{}), TextStatistics{});
}

TEST(AnalyseLines, CharacterClasses) {
  const std::vector<std::string> lines = {Cp("Привет, World 2024")};
  TextStatistics expected;
  expected.words = 3;
  expected.spaces = 2;
  expected.digits = 4;
  expected.latin = 4;     // not the capital W
  expected.cyrillic = 5;  // not the capital П
  expected.chars_with_spaces = expected.size = 20;
  expected.chars_without_spaces = 18;
  expected.lines = 1;
  EXPECT_EQ(AnalyseLines(lines), expected);

  // Capitals, Ё, ё and other bytes count in no class.
  const std::vector<std::string> others = {Cp("ЁёЯZ№«»") + "\x98\xA0"};
  const TextStatistics s = AnalyseLines(others);
  EXPECT_EQ(s.digits + s.latin + s.cyrillic, 0u);
  EXPECT_EQ(s.chars_with_spaces, 11u);
  EXPECT_EQ(s.words, 1u);
}

TEST(AnalyseLines, SameAsTheJoinedText) {
  const std::string text = Cp("Раз, два.\r\n\r\n  три-четыре_пять\rsix\nseven ");
  const std::vector<std::string_view> lines = SplitLines(text);
  std::string joined;
  for (auto line : lines) joined.append(line).append("\r\n");
  const TextStatistics s = AnalyseLines(lines);
  EXPECT_EQ(s.words, WordCount(joined));
  EXPECT_EQ(s.spaces, SpaceCount(joined));
  EXPECT_EQ(s.chars_with_spaces, joined.size());
  EXPECT_EQ(s.chars_without_spaces, joined.size() - SpaceCount(joined));
  EXPECT_EQ(s.lines, 5u);
}

TEST(StatusLine, CountsTheBoxText) {
  EXPECT_EQ(StatusLine("", ","), "Символов 0, слов 0, пробелов 0, Размер: 0 Байт");
  EXPECT_EQ(StatusLine(Cp("Привет, мир"), ","), "Символов 11, слов 2, пробелов 1, Размер: 11 Байт");
  EXPECT_EQ(StatusLine("ab\r\ncd", ","), "Символов 6, слов 2, пробелов 0, Размер: 6 Байт");
  EXPECT_EQ(StatusLine(std::string(1536, 'x'), ","), "Символов 1536, слов 1, пробелов 0, Размер: 1,50 Кб");
}

}  // namespace
}  // namespace velmar
