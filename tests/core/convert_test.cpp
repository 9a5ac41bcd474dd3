#include <gtest/gtest.h>

#include "convert.h"
#include "engine.h"
#include "naive.h"
#include "table_file.h"
#include "test_util.h"

namespace velmar {
namespace {
using test::W;

TEST(ReplaceAll, Cases) {
  struct Case { const char* text; const char* pattern; const char* replacement; const char* expected; };
  const Case cases[] = {
      {"abc", "", "x", "abc"},        // empty pattern: unchanged
      {"aaa", "aa", "b", "ba"},       // no overlapping occurrences
      {"aXa", "a", "aa", "aaXaa"},    // inserted text is not searched again
      {"abcabc", "bc", "", "aa"},     // empty replacement deletes
      {"Aa", "a", "b", "Ab"},         // exact bytes, case matters
      {"", "a", "b", ""},
      {"xyz", "xyz", "1", "1"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReplaceAll(c.text, c.pattern, c.replacement), c.expected) << c.text << " / " << c.pattern;
}

class ConvertLineTest : public ::testing::Test {
 protected:
  void SetUp() override { store.BuildBuiltInTables(); }
  TTableStore store;
};

TEST_F(ConvertLineTest, WorkedExamples) {
  EXPECT_EQ(ConvertLine(W("Щука"), store.Store[0], false, false), "Schuka");
  EXPECT_EQ(ConvertLine("Schuka", store.Store[1], false, false), W("Щука"));
  EXPECT_EQ(ConvertLine(W("Щука ест"), store.Store[0], true, false), "Schuka_est");
  EXPECT_EQ(ConvertLine(W("Щука ест"), store.Store[0], false, true), "Schuka-est");
  EXPECT_EQ(ConvertLine(W("Щука ест"), store.Store[0], true, true), "Schuka_est");
  EXPECT_EQ(ConvertLine(W("Щука "), store.Store[0], false, false), "Schuka ");
  EXPECT_EQ(ConvertLine(W("  ест"), store.Store[0], false, false), "  est");
}

TEST_F(ConvertLineTest, EdgeCasesOfTheLeadingBlank) {
  EXPECT_EQ(ConvertLine("", store.Store[0], false, false), "");
  EXPECT_EQ(ConvertLine(" ", store.Store[0], false, false), " ");
  EXPECT_EQ(ConvertLine(" ", store.Store[0], true, false), "_");
  TTransTable empty;
  EXPECT_EQ(ConvertLine(W("Щ a b"), empty, false, false), W("Щ a b"));
  EXPECT_EQ(ConvertLine(W("Щ a b"), empty, false, true), W("Щ-a-b"));
}

TEST(ConvertLine, WordInitialPairsNeedALeadingBlankInTheirTarget) {
  TTransTable good = TableFromProfile(ProfileFile::Parse(W("[Table]\r\n_е=_ye\r\n")));
  EXPECT_EQ(ConvertLine(W("ель"), good, false, false).substr(0, 2), "ye");
  TTransTable bad = TableFromProfile(ProfileFile::Parse(W("[Table]\r\n_е=ye\r\n")));
  EXPECT_EQ(ConvertLine(W("ель"), bad, false, false), W("eль"));  // the "y" is lost
}

TEST(ConvertLine, PairOrderRules) {
  TTransTable t;
  t.AddPair("", "x");                  // empty source: nothing
  t.AddPair("abcdefghi", "<9>");       // nine bytes: final pass only, after the length passes
  t.AddPair("ab", "AB");
  t.AddPair("A", "a");                 // one byte: final pass only
  EXPECT_EQ(ConvertLine("abcdefghi", t, false, false), "aBcdefghi");
  TTransTable eq;
  eq.AddPair("ab", "1");
  eq.AddPair("ab", "2");               // the earlier of two equal sources wins
  eq.AddPair("1", "3");                // a later pair rewrites an earlier target
  EXPECT_EQ(ConvertLine("ab", eq, false, false), "3");
}

TEST(CompressText, Cases) {
  EXPECT_EQ(CompressText("  a\r\n\r\n b\t"), "a b");
  EXPECT_EQ(CompressText("\r\n\r\n"), "");
  EXPECT_EQ(CompressText(""), "");
  EXPECT_EQ(CompressText(W("Schuka \r\n  est\r\n")), "Schuka est");
  EXPECT_EQ(CompressText("\x01x\x7fy\x1f\xE0"), "x\x7fy \xE0");  // DEL and Cyrillic belong to words
}

TEST(CompressText, StreamingGivesTheSameAsOneCall) {
  std::string text = "  one two\r\n\tthree  ";
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    std::string out;
    CompressState st;
    CompressAppend(st, std::string_view(text).substr(0, cut), out);
    CompressAppend(st, std::string_view(text).substr(cut), out);
    EXPECT_EQ(out, "one two three") << cut;
  }
}

}  // namespace
}  // namespace velmar
