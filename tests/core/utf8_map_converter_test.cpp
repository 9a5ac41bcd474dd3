#include "utf8_map_converter.h"

#include <gtest/gtest.h>

#include <random>

#include "engine.h"
#include "naive.h"
#include "naive_context.h"
#include "text_lines.h"
#include "utf8.h"

namespace velmar {
namespace {

// What the line-by-line path writes: UTF-8 decoded into Windows-1251 with the
// characters it cannot hold kept aside, each line converted pair by pair and
// followed by eol, the kept characters put back in order.
std::string Reference(const std::string& utf8, const TTransTable& table, bool underscore, bool hyphen,
                      const std::string& eol) {
  std::string cp1251;
  std::vector<std::string> stash;
  EXPECT_FALSE(Utf8ToCp1251(utf8, cp1251, &stash));
  std::string converted;
  for (std::string_view line : SplitLines(cp1251))
    converted += naive::ConvertLine(line, table, underscore, hyphen) + eol;
  std::string out;
  std::size_t next = 0;
  AppendCp1251AsUtf8(converted, out, &stash, &next);
  return out;
}

// Feeds the text in pieces of pieceSize() bytes; the converted text.
template <typename PieceSize>
std::string FeedInPieces(Utf8MapConverter& converter, const std::string& utf8, PieceSize pieceSize) {
  std::string out;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t n = std::min<std::size_t>(utf8.size() - at, pieceSize());
    std::string_view complete;
    EXPECT_TRUE(converter.Feed(std::string_view(utf8).substr(at, n), complete));
    out += complete;
    at += n;
  }
  EXPECT_TRUE(converter.EndInput());
  out += converter.Finish();
  return out;
}

// Feeds the text in pieces cut at random places.
std::string Fast(const std::string& utf8, const std::array<std::string, 256>& images, const std::string& eol,
                 std::mt19937& rng) {
  Utf8MapConverter converter(images, eol);
  return FeedInPieces(converter, utf8, [&] { return std::size_t{rng() % 9}; });
}

TEST(Utf8MapConverter, SameBytesAsTheLineByLinePathOnRandomTablesAndTexts) {
  // Characters of every length, some outside Windows-1251, and every break.
  const std::vector<std::string> pieces = {
      "a", "b", "Z", " ", " ", "_", "-", "\r", "\n", "\r\n", "\xD0\xB6", "\xD0\x96", "\xD1\x89", "\xD1\x91",
      "\xE2\x82\xAC" /* euro, in the code page */, "\xE2\x80\xA6", "\xCE\xA9" /* omega, outside */,
      "\xF0\x9F\x98\x80" /* emoji */, "\xC2\x98" /* U+0098, no byte of its own */, "\xC2\xA0"};
  const std::string letters = "abZ_-\xE6\xC6\xF9\xB8\x88\x85 \xA0";
  std::mt19937 rng(7);
  int compared = 0;
  for (int round = 0; round < 300; ++round) {
    TTransTable table;
    for (int k = 0, n = static_cast<int>(rng() % 12); k < n; ++k) {
      std::string target;
      for (int t = 0, len = static_cast<int>(rng() % 12); t < len; ++t) target += letters[rng() % letters.size()];
      if (rng() % 20 == 0) target += '\n';
      table.AddPair(std::string(1, letters[rng() % letters.size()]), target);
    }
    const bool underscore = round % 3 == 1, hyphen = round % 3 == 2;
    const std::string eol = round % 2 ? "\r\n" : "\n";
    std::string text;
    for (int k = 0, n = static_cast<int>(rng() % 200); k < n; ++k) text += pieces[rng() % pieces.size()];

    // A table that changes the blank before a line, or whose chained pairs
    // grow too long for one map, takes the line-by-line path.
    const auto images = LineConverter(table, underscore, hyphen).ByteImages();
    if (!images) continue;
    ++compared;
    EXPECT_EQ(Fast(text, *images, eol, rng), Reference(text, table, underscore, hyphen, eol)) << "round " << round;
  }
  EXPECT_GT(compared, 150);  // the comparison is not skipped wholesale
}

// The line-by-line path with words in capitals, by the plain algorithm.
std::string CapitalsReference(const std::string& utf8, const TTransTable& table, bool underscore, bool hyphen,
                              const std::string& eol) {
  std::string cp1251;
  std::vector<std::string> stash;
  EXPECT_FALSE(Utf8ToCp1251(utf8, cp1251, &stash));
  naive::ContextConversion plain(table, underscore, hyphen, true);
  std::string converted;
  for (std::string_view line : SplitLines(cp1251)) converted += plain.Convert(line) + eol;
  std::string out;
  std::size_t next = 0;
  AppendCp1251AsUtf8(converted, out, &stash, &next);
  return out;
}

TEST(Utf8MapConverter, WordsInCapitalsGiveTheBytesOfTheLineByLinePath) {
  // Capitals, small letters, apostrophes, a letter without case, characters
  // outside Windows-1251 and every break, cut anywhere.
  const std::vector<std::string> pieces = {
      "a", "A", "B", " ", "'", "\xE2\x80\x99" /* ’ */, "\xC2\xB5" /* µ, no capital in the code page */, "\r",
      "\n", "\r\n", "\xD0\xB6", "\xD0\x96", "\xD0\xA9", "\xD1\x89", "\xCE\xA9", "\xF0\x9F\x98\x80", "-"};
  const std::string letters = "aAB'\x92\xB5\xE6\xC6\xD9\xF9 ";
  std::mt19937 rng(17);
  int compared = 0;
  for (int round = 0; round < 400; ++round) {
    TTransTable table;
    for (int k = 0, n = static_cast<int>(rng() % 10); k < n; ++k) {
      std::string target;
      for (int t = 0, len = static_cast<int>(rng() % 4); t < len; ++t) target += letters[rng() % letters.size()];
      table.AddPair(std::string(1, letters[rng() % letters.size()]), target);
    }
    const bool underscore = round % 3 == 1, hyphen = round % 3 == 2;
    const std::string eol = round % 2 ? "\r\n" : "\n";
    std::string text;
    for (int k = 0, n = static_cast<int>(rng() % 120); k < n; ++k) text += pieces[rng() % pieces.size()];
    const auto maps = OneLetterMaps(table, underscore, hyphen, true);
    if (!maps) continue;
    ++compared;
    Utf8MapConverter converter(*maps, eol);
    const std::string fast = FeedInPieces(converter, text, [&] { return std::size_t{rng() % 9}; });
    ASSERT_EQ(fast, CapitalsReference(text, table, underscore, hyphen, eol)) << "round " << round;
  }
  EXPECT_GT(compared, 200);
  // The built-in table, in long pieces on two cores.
  std::string text;
  while (text.size() < (1u << 20)) text += pieces[rng() % pieces.size()];
  Utf8MapConverter converter(*OneLetterMaps(MakeBuiltInTable(), false, false, true), "\r\n");
  EXPECT_EQ(FeedInPieces(converter, text, [] { return std::size_t{1} << 18; }),
            CapitalsReference(text, MakeBuiltInTable(), false, false, "\r\n"));
}

TEST(Utf8MapConverter, LongPiecesConvertedOnTwoCoresGiveTheSameBytes) {
  // Pieces long enough to be cut in two and converted at once; lines of all
  // lengths, CR LF pairs, a character cut between pieces.
  std::mt19937 rng(11);
  const std::vector<std::string> pieces = {"\xD0\xB6", "\xD1\x89", "a", " ", "\r\n", "\n", "\r", "\xE2\x80\x94",
                                           "\xF0\x9F\x98\x80", "\xCE\xA9"};
  std::string text;
  while (text.size() < (3u << 20)) text += pieces[rng() % pieces.size()];
  const TTransTable table = MakeBuiltInTable();
  const auto images = *LineConverter(table, false, false).ByteImages();
  const std::string expected = Reference(text, table, false, false, "\r\n");
  for (const bool splitting : {true, false}) {
    Utf8MapConverter converter(images, "\r\n");
    converter.SetSplitting(splitting);
    const std::string out = FeedInPieces(converter, text, [&] { return std::size_t{300000 + rng() % 5}; });
    EXPECT_TRUE(out == expected) << "splitting " << splitting;
  }
  // A malformed byte in the second half of a long piece is found where it is.
  std::string bad = text.substr(0, 1 << 20);
  const std::size_t at = bad.find('\n', 900000) + 1;
  bad[at] = '\x80';
  Utf8MapConverter converter(images, "\r\n");
  std::string_view complete;
  EXPECT_FALSE(converter.Feed("x", complete) && converter.Feed(bad, complete));
  EXPECT_EQ(converter.ErrorOffset(), at + 1);
}

TEST(Utf8MapConverter, OnlyAMapOfSingleBytesHasImages) {
  EXPECT_TRUE(LineConverter(MakeBuiltInTable(), false, false).ByteImages());
  EXPECT_TRUE(LineConverter(TTransTable{}, true, false).ByteImages());
  EXPECT_FALSE(LineConverter(MakeReverseTable(MakeBuiltInTable()), false, false).ByteImages());  // "zh"
  TTransTable eatsBlank;
  eatsBlank.AddPair(" ", "");
  EXPECT_FALSE(LineConverter(eatsBlank, false, false).ByteImages());
}

TEST(Utf8MapConverter, MalformedAndCutCharactersAreFoundWhereTheDecoderFindsThem) {
  const auto images = *LineConverter(MakeBuiltInTable(), false, false).ByteImages();
  struct Case {
    std::vector<std::string> pieces;
    bool fedOk;
    std::size_t offset;
  };
  const Case cases[] = {
      {{"ab\xC3("}, false, 2},
      {{"\xD0\xB6\n\x80"}, false, 3},              // a stray continuation byte
      {{"x\xE2\x82", "\xAC\xED", "\xA0\x80"}, false, 4},  // a surrogate cut between pieces
      {{"\xC0\x80"}, false, 0},                    // an overlong form
      {{"abc\xE2\x82"}, true, 3},                  // the input ends inside a character
  };
  for (const Case& c : cases) {
    Utf8MapConverter converter(images, "\r\n");
    bool ok = true;
    for (const std::string& piece : c.pieces) {
      std::string_view complete;
      ok = converter.Feed(piece, complete);
      if (!ok) break;
    }
    EXPECT_EQ(ok, c.fedOk) << c.pieces[0];
    if (ok) {
      EXPECT_FALSE(converter.EndInput());
    }
    EXPECT_EQ(converter.ErrorOffset(), c.offset) << c.pieces[0];
  }
}

TEST(Utf8MapConverter, HandsOutOnlyCompleteLines) {
  Utf8MapConverter converter(*LineConverter(MakeBuiltInTable(), false, false).ByteImages(), "\r\n");
  std::string_view complete;
  ASSERT_TRUE(converter.Feed("\xD1\x89\xD0\xB8\r", complete));
  EXPECT_EQ(complete, "schi\r\n");
  ASSERT_TRUE(converter.Feed("\n\xD0\xB6", complete));  // the LF of the CR LF, then a line begun
  EXPECT_EQ(complete, "");
  ASSERT_TRUE(converter.Feed("\xD0\xB0", complete));
  EXPECT_EQ(complete, "");
  EXPECT_TRUE(converter.EndInput());
  EXPECT_EQ(converter.Finish(), "zha\r\n");
}

}  // namespace
}  // namespace velmar
