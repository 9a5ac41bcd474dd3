#include <gtest/gtest.h>

#include <new>
#include <random>

#include "engine.h"
#include "naive.h"
#include "test_util.h"

namespace velmar {
namespace {

// Few distinct bytes, so that pairs match often and rewrite each other.
const std::string kAlphabet = std::string("ab c_-") + "\xE0\xE1\xC0" + "\x98";

std::string RandomText(std::mt19937& rng, std::size_t maxLen) {
  std::uniform_int_distribution<std::size_t> len(0, maxLen);
  std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
  std::string s(len(rng), ' ');
  for (char& c : s) c = kAlphabet[pick(rng)];
  return s;
}

TTransTable RandomTable(std::mt19937& rng, bool allowLineFeeds) {
  TTransTable t;
  std::uniform_int_distribution<int> count(0, 40), srcLen(0, 12), tgtLen(0, 4), coin(0, 9);
  int n = count(rng);
  for (int i = 0; i < n; ++i) {
    int len = coin(rng) < 5 ? 1 : srcLen(rng);  // plenty of one-byte runs
    std::string source = RandomText(rng, 0);
    for (int k = 0; k < len; ++k) source += kAlphabet[rng() % kAlphabet.size()];
    std::string target;
    int tl = coin(rng) == 0 ? 0 : tgtLen(rng);
    for (int k = 0; k < tl; ++k) target += kAlphabet[rng() % kAlphabet.size()];
    if (allowLineFeeds && coin(rng) == 0) target += '\n';
    t.AddPair(source, target);
  }
  return t;
}

TEST(LineConverter, IdenticalToTheNaiveAlgorithmOnRandomTablesAndTexts) {
  std::mt19937 rng(20261210);
  for (int round = 0; round < 1500; ++round) {
    TTransTable table = RandomTable(rng, round % 5 == 0);
    bool underscore = round % 7 == 1, hyphen = round % 3 == 2;
    std::vector<std::string> lines;
    for (int i = 0, n = static_cast<int>(rng() % 30); i < n; ++i) lines.push_back(RandomText(rng, 40));
    std::vector<std::string_view> views(lines.begin(), lines.end());

    LineConverter converter(table, underscore, hyphen);
    converter.SetBlockSize(std::size_t{1} << (rng() % 12));
    std::vector<std::string> fast;
    converter.ConvertLines(views, fast);
    ASSERT_EQ(fast.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      ASSERT_EQ(fast[i], naive::ConvertLine(lines[i], table, underscore, hyphen))
          << "round " << round << " line " << i;
    }
    std::string joined;
    converter.ConvertLinesTo(views, "\r\n", joined);
    std::string expected;
    for (const auto& l : lines) expected += naive::ConvertLine(l, table, underscore, hyphen) + "\r\n";
    ASSERT_EQ(joined, expected) << "round " << round;
  }
}

TEST(LineConverter, ChainedOneBytePairsComposeExactly) {
  TTransTable t;
  t.AddPair("a", "ab");
  t.AddPair("b", "cc");
  t.AddPair("c", "");
  t.AddPair("x", "a");  // brings back a byte the run already handled
  LineConverter c(t, false, false);
  EXPECT_EQ(c.Convert("abcx"), naive::ConvertLine("abcx", t, false, false));
  EXPECT_EQ(c.Convert("abcx"), "aa");
}

// "a" to "bb", "b" to "cc", and so on: every pair doubles what the one
// before it made.
TTransTable DoublingChain(int pairs) {
  const std::string symbols = "abcdefghijklmnopqrstuvwxyz0123456789";
  TTransTable t;
  for (int i = 0; i < pairs; ++i) t.AddPair(std::string(1, symbols[i]), std::string(2, symbols[i + 1]));
  return t;
}

TEST(LineConverter, AChainedTableCostsNothingOnTextItDoesNotTouch) {
  // Composed up front, the image of "a" alone would be 2^35 bytes.
  const TTransTable chain = DoublingChain(35);
  LineConverter converter(chain, false, false);
  EXPECT_EQ(converter.Convert("XYZ"), "XYZ");
  std::vector<std::string> results;
  const std::string_view lines[] = {"HELLO", "", "9 9"};
  converter.ConvertLines(lines, results);
  EXPECT_EQ(results, (std::vector<std::string>{"HELLO", "", "9 9"}));
}

TEST(LineConverter, AChainedTableGivesThePairByPairResultWhereItMatches) {
  const TTransTable chain = DoublingChain(16);
  LineConverter converter(chain, true, false);
  for (std::string_view line : {"a", "xa b", "ccc", "p q"}) {
    const std::string expected = naive::ConvertLine(line, chain, true, false);
    EXPECT_EQ(converter.Convert(line), expected) << line;
  }
  EXPECT_EQ(converter.Convert("a").size(), std::size_t{1} << 16);
}

TEST(LineConverter, AResultTooLargeForMemoryThrowsAndTheConverterStaysUsable) {
  const TTransTable chain = DoublingChain(35);
  LineConverter converter(chain, false, false);
  converter.SetResultLimit(std::size_t{1} << 20);
  EXPECT_THROW(converter.Convert("a"), std::bad_alloc);
  const std::string_view lines[] = {"x", "b", "y"};
  std::string out;
  EXPECT_THROW(converter.ConvertLinesTo(lines, "\n", out), std::bad_alloc);
  EXPECT_EQ(converter.Convert("XYZ"), "XYZ");

  // A pair of several bytes that grows the text is held to the same limit.
  TTransTable grow;
  grow.AddPair("ab", std::string(1000, 'x'));
  LineConverter growing(grow, false, false);
  growing.SetResultLimit(100000);
  std::string many;
  for (int i = 0; i < 200; ++i) many += "ab";
  EXPECT_THROW(growing.Convert(many), std::bad_alloc);
  EXPECT_EQ(growing.Convert("abab").size(), 2000u);
}

}  // namespace
}  // namespace velmar
