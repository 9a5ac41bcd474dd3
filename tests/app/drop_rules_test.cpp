#include "drop_rules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "table_file.h"

namespace velmar {
namespace {

namespace fs = std::filesystem;

fs::path U8(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

struct DropCase {
  const char* what;
  DropArea area;
  std::vector<DroppedFile> files;
  DropAction action;
  const char* reasonHas;  // part of the refusal
};

TEST(DecideDrop, WhatADropMeansWhereItLands) {
  const fs::path docs = fs::path("docs"), tables = fs::path("tables");
  const DroppedFile text{docs / "letter.txt"}, noEnding{docs / "README"}, table{tables / "Serbian.TABLE"},
      folder{docs, true}, tableFolder{tables / "odd.table", true}, device{tables / "com1.table"},
      hidden{tables / ".table"};
  const std::vector<DropCase> cases = {
      {"a text file on the source box", DropArea::SourceBox, {text}, DropAction::OpenText, ""},
      {"any file opens there, as the open dialog's *.*", DropArea::SourceBox, {noEnding}, DropAction::OpenText, ""},
      {"two files on the source box", DropArea::SourceBox, {text, noEnding}, DropAction::Refuse, "один файл"},
      {"a folder on the source box", DropArea::SourceBox, {folder}, DropAction::Refuse, "папка"},
      {"a table on the source box", DropArea::SourceBox, {table}, DropAction::Refuse, "на список таблиц"},
      {"tables on the list, any case of the ending", DropArea::TableList, {table, {tables / "b.table"}},
       DropAction::AddTables, ""},
      {"a text file among tables", DropArea::TableList, {table, text}, DropAction::Refuse, "«letter.txt» — не таблица"},
      {"a folder named like a table", DropArea::TableList, {tableFolder}, DropAction::Refuse, "папка"},
      {"a device name Windows keeps", DropArea::TableList, {device}, DropAction::Refuse, "не годится"},
      {"nothing before the ending", DropArea::TableList, {hidden}, DropAction::Refuse, "не годится"},
      {"a table elsewhere", DropArea::Elsewhere, {table}, DropAction::Refuse, "над списком таблиц"},
      {"a text elsewhere", DropArea::Elsewhere, {text}, DropAction::Refuse, "над верхним полем"},
  };
  for (const DropCase& c : cases) {
    SCOPED_TRACE(c.what);
    const DropDecision d = DecideDrop(c.area, c.files);
    EXPECT_EQ(d.action, c.action);
    if (c.action == DropAction::Refuse) EXPECT_NE(d.reason.find(c.reasonHas), std::string::npos) << d.reason;
    else EXPECT_EQ(d.reason, "");
  }
  EXPECT_EQ(DecideDrop(DropArea::SourceBox, {}).action, DropAction::Refuse);
  EXPECT_EQ(DecideDrop(DropArea::SourceBox, {}).reason, "");
}

class AddTable : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("velmar_drop_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "dropped");
    folder_ = root_ / "Table";
  }
  void TearDown() override { fs::remove_all(root_); }

  static std::string Table(std::string_view from, std::string_view pair) {
    return "[Information]\r\nFrom=" + std::string(from) + "\r\nTo=Latin\r\n[Table]\r\n" + std::string(pair) + "\r\n";
  }
  static void Write(const fs::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::vector<fs::path> FolderFiles() const {
    std::vector<fs::path> names;
    for (const auto& e : fs::directory_iterator(folder_)) names.push_back(e.path().filename());
    return names;
  }
  // Answers every question with `answer` and remembers what was asked about.
  std::function<bool(const fs::path&)> Answer(bool answer) {
    return [this, answer](const fs::path& existing) {
      asked_.push_back(existing.filename());
      return answer;
    };
  }

  fs::path root_, folder_;
  std::vector<fs::path> asked_;
};

TEST_F(AddTable, CopiesANewTableIntoAFolderMadeForIt) {
  const fs::path source = root_ / "dropped" / "greek.table";
  const std::string bytes = Table("Greek", "a=alpha");
  Write(source, bytes);
  const AddResult r = AddTableFile(source, folder_, Answer(true));
  EXPECT_EQ(r.outcome, AddOutcome::Added);
  EXPECT_EQ(r.target, folder_ / "greek.table");
  EXPECT_EQ(Read(folder_ / "greek.table"), bytes);
  EXPECT_EQ(Read(source), bytes);
  EXPECT_TRUE(asked_.empty());
  EXPECT_EQ(FolderFiles(), std::vector<fs::path>{"greek.table"});  // no temporary file left behind
}

TEST_F(AddTable, SameNameInAnotherCaseIsAskedAboutLatinAndCyrillic) {
  fs::create_directories(folder_);
  const std::vector<std::pair<std::string, std::string>> names = {
      {"Serbian.table", "SERBIAN.Table"},
      {"Сербская.table", "СЕРБСКАЯ.table"},
      {"ёлка.table", "Ёлка.table"},
  };
  for (const auto& [old, dropped] : names) {
    SCOPED_TRACE(dropped);
    const std::string oldBytes = Table("Old", "a=b"), newBytes = Table("New", "a=c");
    Write(folder_ / U8(old), oldBytes);
    const fs::path source = root_ / "dropped" / U8(dropped);
    Write(source, newBytes);

    asked_.clear();
    AddResult r = AddTableFile(source, folder_, Answer(false));
    EXPECT_EQ(r.outcome, AddOutcome::Kept);
    EXPECT_EQ(asked_, std::vector<fs::path>{U8(old)});
    EXPECT_EQ(Read(folder_ / U8(old)), oldBytes);

    r = AddTableFile(source, folder_, Answer(true));
    EXPECT_EQ(r.outcome, AddOutcome::Replaced);
    EXPECT_EQ(r.target, folder_ / U8(old));  // the old name stays, no second file beside it
    EXPECT_EQ(Read(folder_ / U8(old)), newBytes);
    EXPECT_EQ(FolderFiles(), std::vector<fs::path>{U8(old)});
    fs::remove(folder_ / U8(old));
  }
}

TEST_F(AddTable, DifferentNamesAreNotTheSameTable) {
  fs::create_directories(folder_);
  Write(folder_ / U8("сербская.table"), Table("Old", "a=b"));
  const fs::path source = root_ / "dropped" / U8("сербский.table");
  Write(source, Table("New", "a=c"));
  EXPECT_EQ(AddTableFile(source, folder_, Answer(false)).outcome, AddOutcome::Added);
  EXPECT_TRUE(asked_.empty());
}

TEST_F(AddTable, TheFolderOwnFileDroppedBackIsLeftWhole) {
  fs::create_directories(folder_);
  const std::string bytes = Table("Own", "a=b");
  Write(folder_ / "own.table", bytes);
  const AddResult r = AddTableFile(folder_ / "own.table", folder_, Answer(true));
  EXPECT_EQ(r.outcome, AddOutcome::AlreadyThere);
  EXPECT_TRUE(asked_.empty());
  EXPECT_EQ(Read(folder_ / "own.table"), bytes);
}

TEST_F(AddTable, RefusesWhatIsNoTableOrNoFileName) {
  const fs::path notATable = root_ / "dropped" / "notes.table";
  Write(notATable, "Shopping list\r\nmilk, bread\r\n");
  AddResult r = AddTableFile(notATable, folder_, Answer(true));
  EXPECT_EQ(r.outcome, AddOutcome::Refused);
  EXPECT_NE(r.reason.find("не таблица"), std::string::npos) << r.reason;

  const fs::path badUtf8 = root_ / "dropped" / "broken.table";
  Write(badUtf8, "\xEF\xBB\xBF[Information]\r\nFrom=\xC3\r\n");
  EXPECT_EQ(AddTableFile(badUtf8, folder_, Answer(true)).outcome, AddOutcome::Refused);

  EXPECT_EQ(AddTableFile(root_ / "dropped" / "missing.table", folder_, Answer(true)).outcome, AddOutcome::Refused);

  const fs::path text = root_ / "dropped" / "letter.txt";
  Write(text, Table("Greek", "a=alpha"));
  EXPECT_EQ(AddTableFile(text, folder_, Answer(true)).outcome, AddOutcome::Refused);

  EXPECT_TRUE(!fs::exists(folder_) || fs::is_empty(folder_));
}

TEST_F(AddTable, AReloadFindsTheSelectedTableAgain) {
  fs::create_directories(folder_);
  Write(folder_ / "a.table", Table("A", "a=b"));
  Write(folder_ / "c.table", Table("C", "c=d"));
  TTableStore store;
  LoadTables(store, folder_);
  ASSERT_EQ(FindTableSlot(store, folder_ / "c.table", true), 5);
  EXPECT_TRUE(IsReverseSlot(5));

  const fs::path source = root_ / "dropped" / "b.table";
  Write(source, Table("B", "b=c"));
  ASSERT_EQ(AddTableFile(source, folder_, Answer(true)).outcome, AddOutcome::Added);
  LoadTables(store, folder_);
  EXPECT_EQ(FindTableSlot(store, folder_ / "c.table", true), 7);   // "c" moved one file down
  EXPECT_EQ(FindTableSlot(store, folder_ / "c.table", false), 6);
  EXPECT_EQ(FindTableSlot(store, {}, true), 1);                    // the built-in reverse
  EXPECT_EQ(FindTableSlot(store, folder_ / "gone.table", false), -1);
}

}  // namespace
}  // namespace velmar
