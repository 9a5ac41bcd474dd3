#include "utf8.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace velmar {
namespace {

TEST(Utf8, EncodesAndDecodesEveryLength) {
  const std::u32string points = {U'A', 0x7F, 0x80, 0x44F, 0x7FF, 0x800, 0x20AC, 0xFFFD, 0xFFFF, 0x10000, 0x1F600,
                                 0x10FFFF};
  const std::string bytes = EncodeUtf8(points);
  EXPECT_EQ(bytes.substr(0, 8), "A\x7F\xC2\x80\xD1\x8F\xDF\xBF");
  EXPECT_EQ(EncodeUtf8(U"\U0001F600"), "\xF0\x9F\x98\x80");
  std::u32string back;
  EXPECT_EQ(DecodeUtf8(bytes, back), std::nullopt);
  EXPECT_EQ(back, points);
}

TEST(Utf8, EncodingAValueNoTextCanHoldGivesTheReplacementCharacter) {
  EXPECT_EQ(EncodeUtf8(std::u32string{0xD800, 0x110000}), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, MalformedInputNamesTheOffsetOfTheFirstBadSequence) {
  const struct {
    std::string_view bytes;
    std::size_t offset;
  } cases[] = {
      {"ab\x80", 2},                 // stray continuation byte
      {"a\xC0\xAF", 1},              // overlong "/"
      {"a\xC1\xBF", 1},              // overlong, lead byte never used
      {"\xE0\x80\xAF", 0},           // overlong three-byte form
      {"xy\xF0\x80\x80\xAF", 2},     // overlong four-byte form
      {"\xED\xA0\x80z", 0},          // surrogate
      {"\xF4\x90\x80\x80", 0},       // above U+10FFFF
      {"\xF5\x80\x80\x80", 0},       // lead byte above F4
      {"\xFF", 0},
      {"\xD0\x90\xD0", 2},           // input ends inside a character
      {"\xD0\x41", 0},               // sequence broken by an ASCII byte
      {"ok\xE2\x82", 2},
  };
  for (const auto& c : cases) {
    std::u32string points;
    EXPECT_EQ(DecodeUtf8(c.bytes, points), c.offset) << testing::PrintToString(std::string(c.bytes));
    std::string cp1251;
    EXPECT_EQ(Utf8ToCp1251(c.bytes, cp1251, nullptr), c.offset) << testing::PrintToString(std::string(c.bytes));
  }
}

TEST(Utf8, SequenceLengthTellsACutSequenceFromABadOne) {
  char32_t cp = 0;
  EXPECT_EQ(DecodeUtf8Sequence("\xF0\x9F\x98", cp), -1);
  EXPECT_EQ(DecodeUtf8Sequence("\xF0\x9F\x98\x80", cp), 4);
  EXPECT_EQ(cp, 0x1F600u);
  EXPECT_EQ(DecodeUtf8Sequence("\xED\xA0", cp), 0);  // a surrogate is known before its end
  EXPECT_EQ(DecodeUtf8Sequence("\xE0\x80", cp), 0);
  EXPECT_EQ(DecodeUtf8Sequence("", cp), -1);
}

TEST(Utf8, Cp1251CrossingKeepsCharactersOutsideTheCodePageAside) {
  // "Ёж €" with a snowman and an emoji the code page cannot hold.
  const std::string utf8 = "\xD0\x81\xD0\xB6 \xE2\x82\xAC \xE2\x98\x83\xF0\x9F\x98\x80.";
  std::string cp1251;
  std::vector<std::string> stash;
  ASSERT_EQ(Utf8ToCp1251(utf8, cp1251, &stash), std::nullopt);
  EXPECT_EQ(cp1251, "\xA8\xE6 \x88 \x98\x98.");
  EXPECT_EQ(stash, (std::vector<std::string>{"\xE2\x98\x83", "\xF0\x9F\x98\x80"}));

  std::string back;
  std::size_t next = 0;
  AppendCp1251AsUtf8(cp1251, back, &stash, &next);
  EXPECT_EQ(back, utf8);
  EXPECT_EQ(next, 2u);

  // With nothing stashed a stand-in is written as U+FFFD.
  back.clear();
  AppendCp1251AsUtf8("a\x98", back, nullptr, nullptr);
  EXPECT_EQ(back, "a\xEF\xBF\xBD");
  // Byte for byte, the stand-in is U+0098.
  EXPECT_EQ(Cp1251ToUtf8("\xC0\x98"), "\xD0\x90\xC2\x98");
}

TEST(Utf8, EveryWindows1251ByteRoundTrips) {
  std::string all;
  for (int b = 1; b < 256; ++b)
    if (b != 0x98) all += static_cast<char>(b);
  std::string back;
  std::vector<std::string> stash;
  ASSERT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all), back, &stash), std::nullopt);
  EXPECT_EQ(back, all);
  EXPECT_TRUE(stash.empty());
}

TEST(Utf8, StreamingGivesTheSameResultWhereverThePiecesAreCut) {
  const std::string utf8 = "a\xD0\x81\xE2\x82\xAC\xF0\x9F\x98\x80z\xE2\x98\x83";
  std::string whole;
  std::vector<std::string> wholeStash;
  ASSERT_EQ(Utf8ToCp1251(utf8, whole, &wholeStash), std::nullopt);
  for (std::size_t a = 0; a <= utf8.size(); ++a) {
    for (std::size_t b = a; b <= utf8.size(); ++b) {
      Utf8ToCp1251Decoder decoder;
      std::string out;
      std::vector<std::string> stash;
      ASSERT_TRUE(decoder.Feed(std::string_view(utf8).substr(0, a), out, &stash));
      ASSERT_TRUE(decoder.Feed(std::string_view(utf8).substr(a, b - a), out, &stash));
      ASSERT_TRUE(decoder.Feed(std::string_view(utf8).substr(b), out, &stash));
      ASSERT_TRUE(decoder.Finish());
      EXPECT_EQ(out, whole) << a << " " << b;
      EXPECT_EQ(stash, wholeStash) << a << " " << b;
    }
  }
}

TEST(Utf8, StreamingCountsOffsetsAcrossPieces) {
  {
    Utf8ToCp1251Decoder decoder;
    std::string out;
    EXPECT_TRUE(decoder.Feed("abc\xD0", out, nullptr));
    EXPECT_FALSE(decoder.Feed("x", out, nullptr));  // the cut sequence is broken
    EXPECT_EQ(decoder.ErrorOffset(), 3u);
  }
  {
    Utf8ToCp1251Decoder decoder;
    std::string out;
    EXPECT_TRUE(decoder.Feed("ab", out, nullptr));
    EXPECT_TRUE(decoder.Feed("\xD0\x90" "c", out, nullptr));
    EXPECT_FALSE(decoder.Feed("de\xFF", out, nullptr));
    EXPECT_EQ(decoder.ErrorOffset(), 7u);
  }
  {
    Utf8ToCp1251Decoder decoder;
    std::string out;
    EXPECT_TRUE(decoder.Feed("ab\xF0\x9F", out, nullptr));
    EXPECT_TRUE(decoder.Feed("\x98", out, nullptr));
    EXPECT_FALSE(decoder.Finish());  // ends inside a character
    EXPECT_EQ(decoder.ErrorOffset(), 2u);
    EXPECT_EQ(out, "ab");
  }
}

TEST(Utf8, LiteralsOutsideTheCodePageAreAProgrammingError) {
  EXPECT_EQ(Cp1251FromUtf8Literal("\xD0\x9F\xD1\x8F"), "\xCF\xFF");
  EXPECT_THROW(Cp1251FromUtf8Literal("\xE2\x98\x83"), std::logic_error);
  EXPECT_THROW(Cp1251FromUtf8Literal("\xD0"), std::logic_error);
}

}  // namespace
}  // namespace velmar
