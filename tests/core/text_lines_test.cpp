#include "text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmar {
namespace {

std::vector<std::string> Streamed(const std::vector<std::string_view>& pieces) {
  std::vector<std::string> lines;
  LineSplitter splitter;
  const auto take = [&](std::span<const std::string_view> done) { lines.insert(lines.end(), done.begin(), done.end()); };
  for (std::string_view piece : pieces) splitter.Feed(piece, take);
  splitter.Finish(take);
  return lines;
}

TEST(LineSplitter, GivesTheLinesOfTheWholeTextWhereverThePiecesAreCut) {
  for (std::string_view text : {std::string_view("a\r\nb\rc\nd"), std::string_view("\r\n\r\n"),
                                std::string_view("x\n\ry\r"), std::string_view("long line\r\n"),
                                std::string_view("\r"), std::string_view("")}) {
    const auto whole = SplitLines(text);
    const std::vector<std::string> expected(whole.begin(), whole.end());
    for (std::size_t a = 0; a <= text.size(); ++a) {
      for (std::size_t b = a; b <= text.size(); ++b) {
        EXPECT_EQ(Streamed({text.substr(0, a), text.substr(a, b - a), text.substr(b)}), expected)
            << testing::PrintToString(std::string(text)) << " cut at " << a << ", " << b;
      }
    }
  }
}

TEST(LineSplitter, ALineOverManyPiecesAndEmptyPieces) {
  std::vector<std::string_view> pieces;
  const std::string part(1000, 'q');
  for (int i = 0; i < 500; ++i) {
    pieces.push_back(part);
    pieces.push_back("");
  }
  pieces.push_back("\r");
  pieces.push_back("\nend");
  const auto lines = Streamed(pieces);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(500000, 'q'));
  EXPECT_EQ(lines[1], "end");
}

}  // namespace
}  // namespace velmar
