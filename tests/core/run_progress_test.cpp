#include "run_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert.h"
#include "cp1251.h"

namespace velmar {
namespace {

TEST(ProgressWidth, RoundsHalvesToEven) {
  struct Case { std::int64_t progress, lines; int width; };
  const Case cases[] = {
      {0, 1, 0},   {0, 4, 0},     {1, 4, 15},   {2, 4, 30},  {3, 4, 45},
      {1, 8, 8},   // 7.5 -> 8 (even)
      {3, 8, 22},  // 22.5 -> 22 (even)
      {5, 8, 38},  // 37.5 -> 38
      {1, 120, 0}, // 0.5 -> 0
      {3, 120, 2}, // 1.5 -> 2
      {1, 7, 9},   // 8.57 -> 9
      {99999, 100000, 60}, {0, 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ProgressWidth(c.progress, c.lines), c.width) << c.progress << " of " << c.lines;
}

TEST(ProgressText, OneDecimalWithTheLocaleSeparator) {
  EXPECT_EQ(ProgressText(0, 1, ","), "Идет процесс транслитерации 0,0%...");
  EXPECT_EQ(ProgressText(3, 8, ","), "Идет процесс транслитерации 37,5%...");
  EXPECT_EQ(ProgressText(1, 3, "."), "Идет процесс транслитерации 33.3%...");
  EXPECT_EQ(ProgressText(2, 3, "."), "Идет процесс транслитерации 66.7%...");
  EXPECT_EQ(ProgressText(99999, 100000, ","), "Идет процесс транслитерации 100,0%...");
}

// Every view a run shows, found by stepping from change point to change point.
std::vector<ProgressView> ShownViews(const RunProgress& run) {
  std::vector<ProgressView> shown{run.View(0)};
  for (std::int64_t p = run.NextChange(0); p < run.LineCount(); p = run.NextChange(p)) shown.push_back(run.View(p));
  return shown;
}

TEST(RunProgress, FourLinesShowEveryQuarter) {
  const auto shown = ShownViews(RunProgress(4, ","));
  ASSERT_EQ(shown.size(), 4u);
  const int widths[] = {0, 15, 30, 45};
  const char* texts[] = {"0,0", "25,0", "50,0", "75,0"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(shown[i].width, widths[i]);
    EXPECT_EQ(shown[i].text, std::string("Идет процесс транслитерации ") + texts[i] + "%...");
  }
}

TEST(RunProgress, OneLineStaysAtZero) {
  const RunProgress run(1, ",");
  EXPECT_EQ(run.NextChange(0), 1);
  EXPECT_EQ(run.View(0).width, 0);
}

TEST(RunProgress, ChangePointsMatchAStepByStepScan) {
  for (std::int64_t n : {2, 7, 59, 61, 999, 1001, 4321}) {
    const RunProgress run(n, ".");
    std::int64_t expectedNext = 0;
    for (std::int64_t p = 0; p < n; p = expectedNext) {
      expectedNext = p + 1;
      while (expectedNext < n && run.View(expectedNext) == run.View(p)) ++expectedNext;
      ASSERT_EQ(run.NextChange(p), expectedNext) << "n=" << n << " p=" << p;
    }
  }
}

TEST(RunProgress, ALongTextReportsAFewThousandTimesAtMost) {
  const auto shown = ShownViews(RunProgress(100000, ","));
  EXPECT_LE(shown.size(), 1000u + 60u + 1u);  // text and width change at different lines
  EXPECT_GE(shown.size(), 990u);
}

TEST(StandIns, PairsHoldingTheStandInAreDropped) {
  TTransTable table;
  const std::string s(1, static_cast<char>(kCp1251Undefined));
  table.AddPair("a", "b");
  table.AddPair("x" + s, "y");
  table.AddPair("c", s);
  table.AddPair("d", "e");
  const TTransTable safe = WithoutStandInPairs(table);
  ASSERT_EQ(safe.TableCount, 2);
  EXPECT_EQ(safe.Table[0], (TCharTable{"a", "b"}));
  EXPECT_EQ(safe.Table[1], (TCharTable{"d", "e"}));
}

TEST(StandIns, OnlyALinesFirstStandInCanBeRemoved) {
  // A pair that deletes the added blank makes the line lose its first character.
  TTransTable table;
  table.AddPair(" ", "");
  table.AddPair("a", "b");
  const std::string s(1, static_cast<char>(kCp1251Undefined));
  const std::vector<std::string> input = {s + "a" + s, "a" + s, s, "aa"};
  std::vector<std::string_view> lines(input.begin(), input.end());
  std::vector<std::string> results;
  for (auto line : lines) results.push_back(ConvertLine(line, table, false, false));
  EXPECT_EQ(results[0], "b" + s);
  EXPECT_EQ(results[1], s);
  EXPECT_EQ(results[2], "");
  // Stand-ins 0..4 in text order: line 0 holds 0 and 1, line 1 holds 2, line 2 holds 3.
  EXPECT_EQ(RemovedStandIns(lines, results), (std::vector<std::size_t>{0, 3}));
}

}  // namespace
}  // namespace velmar
