#include <gtest/gtest.h>

#include <new>
#include <random>

#include "naive_unicode.h"
#include "table_converter.h"
#include "unicode_engine.h"
#include "utf8.h"

namespace velmar {
namespace {

// Few distinct characters of one to four UTF-8 bytes, so that pairs match
// often and rewrite each other.
const std::u32string kAlphabet = U"ab c_-\u0436\u0416\u0161\u00A0\u0085\U0001F600";

std::u32string RandomText(std::mt19937& rng, std::size_t maxLen) {
  std::uniform_int_distribution<std::size_t> len(0, maxLen);
  std::u32string s(len(rng), U' ');
  for (char32_t& c : s) c = kAlphabet[rng() % kAlphabet.size()];
  return s;
}

TTransTable UnicodeTable(const std::vector<std::pair<std::u32string, std::u32string>>& pairs) {
  TTransTable t;
  t.Encoding = TableEncoding::Utf8;
  for (const auto& [source, target] : pairs) t.AddPair(EncodeUtf8(source), EncodeUtf8(target));
  return t;
}

TTransTable RandomTable(std::mt19937& rng, bool allowLineFeeds) {
  std::vector<std::pair<std::u32string, std::u32string>> pairs;
  std::uniform_int_distribution<int> count(0, 40), srcLen(0, 12), tgtLen(0, 4), coin(0, 9);
  for (int i = 0, n = count(rng); i < n; ++i) {
    int len = coin(rng) < 5 ? 1 : srcLen(rng);  // plenty of one-character runs
    std::u32string source, target;
    for (int k = 0; k < len; ++k) source += kAlphabet[rng() % kAlphabet.size()];
    for (int k = 0, tl = coin(rng) == 0 ? 0 : tgtLen(rng); k < tl; ++k) target += kAlphabet[rng() % kAlphabet.size()];
    if (allowLineFeeds && coin(rng) == 0) target += U'\n';
    pairs.emplace_back(source, target);
  }
  return UnicodeTable(pairs);
}

TEST(UnicodeLineConverter, IdenticalToThePlainAlgorithmOnRandomTablesAndTexts) {
  std::mt19937 rng(20261211);
  for (int round = 0; round < 1500; ++round) {
    TTransTable table = RandomTable(rng, round % 5 == 0);
    naive::UnicodePairs plain(table);
    bool underscore = round % 7 == 1, hyphen = round % 3 == 2;
    std::vector<std::u32string> lines;
    for (int i = 0, n = static_cast<int>(rng() % 30); i < n; ++i) lines.push_back(RandomText(rng, 40));
    std::vector<std::string> utf8Lines;
    for (const auto& l : lines) utf8Lines.push_back(EncodeUtf8(l));
    std::vector<std::string_view> views(utf8Lines.begin(), utf8Lines.end());

    UnicodeLineConverter converter(table, underscore, hyphen);
    converter.SetBlockSize(std::size_t{1} << (rng() % 12));
    std::vector<std::string> fast;
    converter.ConvertLines(views, fast);
    ASSERT_EQ(fast.size(), lines.size());
    std::string expected;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      std::string want = EncodeUtf8(naive::ConvertLineUnicode(lines[i], plain, underscore, hyphen));
      ASSERT_EQ(fast[i], want) << "round " << round << " line " << i;
      expected += want + "\r\n";
    }
    std::string joined;
    converter.ConvertLinesTo(views, "\r\n", joined);
    ASSERT_EQ(joined, expected) << "round " << round;
  }
}

// A line longer than 64 KiB is measured before a map writes it: the same
// characters as the plain algorithm all the same.
TEST(UnicodeLineConverter, LongLinesAreIdenticalToThePlainAlgorithm) {
  std::mt19937 rng(61211);
  for (int round = 0; round < 12; ++round) {
    TTransTable table = RandomTable(rng, false);
    naive::UnicodePairs plain(table);
    std::u32string line;
    while (EncodeUtf8(line).size() < 80000) line += RandomText(rng, 4000);
    UnicodeLineConverter converter(table, round % 2 == 1, false);
    ASSERT_EQ(converter.Convert(EncodeUtf8(line)),
              EncodeUtf8(naive::ConvertLineUnicode(line, plain, round % 2 == 1, false)))
        << "round " << round;
  }
}

// Worked cases where characters and bytes part ways.
TEST(UnicodeLineConverter, LengthsAreCountedInCharacters) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::u32string, std::u32string>> pairs;
    std::u32string line, expected;
  } cases[] = {
      // "čč" is four bytes but two characters: it shares its pass with "ač",
      // which comes first in the table.
      {"equal character length, table order", {{U"ač", U"1"}, {U"čč", U"2"}}, U"ačč", U"1č"},
      // A two-character source runs in its length pass, before the one-character pairs.
      {"digraph before its letters", {{U"š", U"s"}, {U"dž", U"\u045F"}}, U"dždš", U"\u045Fds"},
      // Nine characters: only the final pass, after the shorter sources.
      {"long source in the final pass",
       {{U"ššššššššš", U"9"}, {U"šš", U"2"}},
       U"ššššššššš",
       U"2222š"},
      // The first character goes whatever it is, all of it.
      {"leading blank replaced by a wide character", {{U" ", U"\U0001F600x"}}, U"a b", U"xa\U0001F600xb"},
  };
  for (const auto& c : cases) {
    TTransTable t = UnicodeTable(c.pairs);
    EXPECT_EQ(ConvertLineUnicode(c.line, t, false, false), c.expected) << c.what;
    EXPECT_EQ(naive::ConvertLineUnicode(c.line, naive::UnicodePairs(t), false, false), c.expected) << c.what;
  }
}

// A chain "a" -> "bb", "b" -> "cc", ... doubles with every letter: composing
// every letter's image ahead of the text would take 2^25 characters for "a".
// Only the letters the text holds may cost anything.
TEST(UnicodeLineConverter, ChainedPairsComposeOnlyWhatTheTextHolds) {
  std::vector<std::pair<std::u32string, std::u32string>> chain;
  for (char32_t c = U'a'; c < U'z'; ++c) chain.emplace_back(std::u32string(1, c), std::u32string(2, c + 1));
  TTransTable t = UnicodeTable(chain);
  naive::UnicodePairs plain(t);
  UnicodeLineConverter converter(t, false, false);
  for (std::u32string line : {U"xyz", U"z y x", U"p", U"pq qp"}) {
    EXPECT_EQ(converter.Convert(EncodeUtf8(line)), EncodeUtf8(naive::ConvertLineUnicode(line, plain, false, false)));
  }
  EXPECT_EQ(converter.Convert("p").size(), std::size_t{1} << 10);
  // Several lines in one go: the long images end the batching, not the result.
  std::vector<std::string> lines = {"m n", "xp", "", "q"}, fast;
  std::vector<std::string_view> views(lines.begin(), lines.end());
  UnicodeLineConverter batched(t, false, false);
  batched.ConvertLines(views, fast);
  ASSERT_EQ(fast.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::u32string line;
    DecodeUtf8(lines[i], line);
    EXPECT_EQ(fast[i], EncodeUtf8(naive::ConvertLineUnicode(line, plain, false, false))) << i;
  }
}

std::string Repeat(std::string_view s, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += s;
  return out;
}

TTransTable DoublingChain(int pairs) {
  const std::u32string symbols = U"abcdefghijklmnopqrstuvwxyz0123456789";
  std::vector<std::pair<std::u32string, std::u32string>> chain;
  for (int i = 0; i < pairs; ++i) chain.emplace_back(symbols.substr(i, 1), std::u32string(2, symbols[i + 1]));
  return UnicodeTable(chain);
}

// The image of "a" under 35 doubling pairs is 32 GiB: refused at once with
// the memory error, not composed for a minute.
TEST(UnicodeLineConverter, AResultTooLargeForMemoryThrowsAndTheConverterStaysUsable) {
  UnicodeLineConverter chain(DoublingChain(35), false, false);
  EXPECT_THROW(chain.Convert("aa"), std::bad_alloc);
  const std::string_view lines[] = {"x", "aa", "y"};
  std::string out;
  EXPECT_THROW(chain.ConvertLinesTo(lines, "\n", out), std::bad_alloc);
  EXPECT_EQ(chain.Convert("XYZ"), "XYZ");

  // Within a limit: " a" becomes the blank and 2^16 letters, one byte over
  // the limit it is refused; so is a text whose images are each short enough
  // but together too long, on a short line and on a long one.
  struct Case {
    const char* name;
    TTransTable table;
    std::size_t limit;
    std::string line;
    std::size_t resultSize;  // 0: refused
  };
  std::vector<std::pair<std::u32string, std::u32string>> growing = {{U"ab", std::u32string(1000, U'x')}};
  const Case cases[] = {
      {"at the limit", DoublingChain(16), (std::size_t{1} << 16) + 1, "a", std::size_t{1} << 16},
      {"one byte over", DoublingChain(16), std::size_t{1} << 16, "a", 0},
      {"many short images", DoublingChain(10), 100000, std::string(100, 'a'), 0},
      {"a long line of them", DoublingChain(4), 1000000, std::string(100000, 'a'), 0},
      {"a long line that fits", DoublingChain(4), 2000000, std::string(100000, 'a'), 1600000},
      {"a growing pair", UnicodeTable(growing), 100000, Repeat("ab", 200), 0},
      {"a growing pair that fits", UnicodeTable(growing), 100000, Repeat("ab", 50), 50000},
  };
  for (const Case& c : cases) {
    UnicodeLineConverter converter(c.table, false, false);
    converter.SetResultLimit(c.limit);
    if (c.resultSize == 0) EXPECT_THROW(converter.Convert(c.line), std::bad_alloc) << c.name;
    else EXPECT_EQ(converter.Convert(c.line).size(), c.resultSize) << c.name;
    EXPECT_EQ(converter.Convert("XYZ"), "XYZ") << c.name;
  }
}

TEST(UnicodeLineConverter, BlankOptionsActOnTheInputBlanksOnly) {
  TTransTable t = UnicodeTable({{U"\u0436", U"zh "}, {U"_\u0435", U"_ye"}});
  EXPECT_EQ(ConvertLineUnicode(U"\u0436 \u0435", t, true, false), U"zh _ye");
  EXPECT_EQ(ConvertLineUnicode(U"\u0436 \u0435", t, false, true), U"zh -\u0435");
  EXPECT_EQ(ConvertLineUnicode(U" ", t, true, false), U"_");
  EXPECT_EQ(ConvertLineUnicode(U"", t, false, false), U"");
}

TEST(UnicodeCompressText, SeparatorsAreTheBlankAndTheControlCharacters) {
  EXPECT_EQ(CompressText(std::u32string_view(U"  a\r\n\r\n b\t")), U"a b");
  EXPECT_EQ(CompressText(std::u32string_view(U"\r\n\r\n")), U"");
  // DEL and the C1 controls separate; a no-break space and other letters do not.
  EXPECT_EQ(CompressText(std::u32string_view(U"a\u007Fb\u0085c\u00A0d \u0161")), U"a b c\u00A0d \u0161");

  Utf8CompressState state;
  std::string out;
  for (std::string piece : {"  \xC5\xA1", "e\r\n", "\xC2\x85", "  \xF0\x9F\x98\x80 ", ""})
    CompressUtf8Append(state, piece, out);
  EXPECT_EQ(out, "\xC5\xA1" "e \xF0\x9F\x98\x80");
}

TEST(TableLineConverter, TheTableEncodingPicksTheEngineAndTheSeparators) {
  // The same letters as Windows-1251 bytes and as UTF-8.
  TTransTable bytes;
  bytes.AddPair("\xF7", "ch");  // ч
  TTransTable unicode = UnicodeTable({{U"\u0447", U"\u010D"}});
  std::vector<std::string_view> lines = {"\xF7" "a", ""};
  std::string out;
  TableLineConverter(bytes, false, false).ConvertLinesTo(lines, "\n", out);
  EXPECT_EQ(out, "cha\n\n");
  lines = {"\xD1\x87" "a", ""};
  out.clear();
  TableLineConverter(unicode, false, false).ConvertLinesTo(lines, "\n", out);
  EXPECT_EQ(out, "\xC4\x8D" "a\n\n");
  // 0x85 is "…" in Windows-1251, part of a word; U+0085 is a control character.
  EXPECT_EQ(CompressText(bytes, "a\x85 b"), "a\x85 b");
  EXPECT_EQ(CompressText(unicode, "a\xC2\x85 b"), "a b");
}

}  // namespace
}  // namespace velmar
