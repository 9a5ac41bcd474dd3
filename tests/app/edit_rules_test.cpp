#include "edit_rules.h"

#include <gtest/gtest.h>

#include <fstream>

namespace velmar {
namespace {

TEST(NormaliseLineBreaks, EveryKindOfLineBreakBecomesCrLf) {
  const struct {
    std::string_view bytes;
    std::string_view expected;
  } cases[] = {
      {"a\nb\n", "a\r\nb\r\n"},             // lone LF (a Unix file)
      {"a\rb\r", "a\r\nb\r\n"},             // lone CR (an old Mac file)
      {"a\r\nb", "a\r\nb"},                 // CR LF stays as it is
      {"a\n\rb", "a\r\n\r\nb"},             // LF CR is two line breaks
      {"a\r\r\nb\n\n", "a\r\n\r\nb\r\n\r\n"},  // empty lines are kept
      {"\n", "\r\n"},
      {"", ""},
      {"\xd9\xf3\xea\xe0\n", "\xd9\xf3\xea\xe0\r\n"},  // 8-bit bytes pass unchanged
  };
  for (const auto& c : cases) EXPECT_EQ(NormaliseLineBreaks(c.bytes), c.expected) << c.bytes;
}

TEST(NormaliseLineBreaks, TextEndsAtTheFirstNul) {
  using namespace std::string_view_literals;
  EXPECT_EQ(NormaliseLineBreaks("ab\ncd\0ef\ngh"sv), "ab\r\ncd");
  EXPECT_EQ(NormaliseLineBreaks("\0abc"sv), "");
}

TEST(ToggleOutputOption, AtMostOneBlankOptionIsOn) {
  using O = OutputOption;
  const OutputOptions none;
  const OutputOptions underscore{true, false, false};
  const OutputOptions hyphen{false, true, false};
  const OutputOptions compress{false, false, true};

  EXPECT_EQ(ToggleOutputOption(none, O::Underscore), underscore);
  // Checking the hyphen option unchecks "_"; clicking a checked item unchecks both.
  EXPECT_EQ(ToggleOutputOption(underscore, O::Hyphen), hyphen);
  EXPECT_EQ(ToggleOutputOption(hyphen, O::Underscore), underscore);
  EXPECT_EQ(ToggleOutputOption(hyphen, O::Hyphen), none);
  EXPECT_EQ(ToggleOutputOption(underscore, O::Underscore), none);
  // Compressing is independent of the other two.
  EXPECT_EQ(ToggleOutputOption(underscore, O::Compress), (OutputOptions{true, false, true}));
  EXPECT_EQ(ToggleOutputOption(compress, O::Hyphen), (OutputOptions{false, true, true}));
  EXPECT_EQ(ToggleOutputOption(compress, O::Compress), none);
  // Words in capitals are on from the start and toggle alone.
  EXPECT_TRUE(none.capitalWords);
  const OutputOptions literal = ToggleOutputOption(underscore, O::CapitalWords);
  EXPECT_EQ(literal, (OutputOptions{true, false, false, false}));
  EXPECT_EQ(ToggleOutputOption(literal, O::CapitalWords), underscore);
}

class FindHelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("velmar_help_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  void Touch(const char* name) { std::ofstream(folder_ / name) << "x"; }
  std::filesystem::path folder_;
};

TEST_F(FindHelpTest, HelpFileFirstThenReadMeThenWebSite) {
  EXPECT_EQ(FindHelp(folder_).source, HelpSource::WebSite);
  EXPECT_TRUE(FindHelp(folder_).file.empty());

  Touch("ReadMe.txt");
  EXPECT_EQ(FindHelp(folder_).source, HelpSource::ReadMe);
  EXPECT_EQ(FindHelp(folder_).file, folder_ / "ReadMe.txt");

  Touch("Help.chm");
  EXPECT_EQ(FindHelp(folder_).source, HelpSource::HelpFile);
  EXPECT_EQ(FindHelp(folder_).file, folder_ / "Help.chm");
}

TEST_F(FindHelpTest, AFolderOfTheNameIsNoHelpFile) {
  std::filesystem::create_directory(folder_ / "Help.chm");
  Touch("ReadMe.txt");
  EXPECT_EQ(FindHelp(folder_).source, HelpSource::ReadMe);
}

TEST(FillPathInsert, FirstInsertTakesThePath) {
  EXPECT_EQ(FillPathInsert(L"Bad EXE format for %1.", L"C:\\a.txt"), L"Bad EXE format for C:\\a.txt.");
  EXPECT_EQ(FillPathInsert(L"%1 and %1", L"x"), L"x and x");
  EXPECT_EQ(FillPathInsert(L"%10 %2 %", L"x"), L"%10 %2 %");
  EXPECT_EQ(FillPathInsert(L"No inserts.", L"x"), L"No inserts.");
}

}  // namespace
}  // namespace velmar
