// The table editor's model: what it reads from a table file, what it writes,
// and the checks before a save. Texts are UTF-8 here, Windows-1251 inside.
#include "table_edit_model.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "table_file.h"
#include "test_util.h"

namespace velmar {
namespace {

using test::TempDir;
using test::W;

std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TTransTable WithPairs(std::initializer_list<std::pair<const char*, const char*>> pairs) {
  TTransTable t = NewEditorTable();
  for (auto [s, v] : pairs) t.AddPair(W(s), W(v));
  return t;
}

TEST(EditorModel, NewTableSavedAtOnceHoldsOnlyTheHeader) {
  TempDir dir;
  const auto path = dir.path() / "test.table";
  ASSERT_TRUE(SaveEditorTable(NewEditorTable(), path));
  EXPECT_EQ(ReadBytes(path), W("[Information]\r\nFrom=Украинский\r\nTo=Английский\r\n"
                               "Description=Новая таблица транскрипции\r\nFromIcon=244\r\nToIcon=247\r\n"));
}

TEST(EditorModel, PairsRoundTripAsWrittenAndTheLoaderMakesItsCopies) {
  TempDir dir;
  const auto path = dir.path() / "t.table";
  TTransTable t = WithPairs({{"Ж", "Zh"}, {"sh_", "ш_"}, {"_Є", "_Ye"}, {"х", ""}});
  t.From = W("Мой");
  t.FromIcon = 0;
  t.ToIcon = 260;
  ASSERT_TRUE(SaveEditorTable(t, path));
  EXPECT_NE(ReadBytes(path).find(W("[Table]\r\nЖ=Zh\r\nsh_=ш_\r\n_Є=_Ye\r\nх=\r\n")), std::string::npos);

  // The editor reads back exactly what it wrote: no change of case, "_" kept.
  const EditorLoad back = LoadEditorTable(path);
  EXPECT_FALSE(back.Truncated());
  EXPECT_EQ(back.table.From, t.From);
  EXPECT_EQ(back.table.To, t.To);
  EXPECT_EQ(back.table.Description, t.Description);
  EXPECT_EQ(back.table.FromIcon, 0);
  EXPECT_EQ(back.table.ToIcon, 260);
  ASSERT_EQ(back.table.TableCount, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(back.table.Table[i], t.Table[i]) << "pair " << i;

  // The main window's loader reads the same file with its own rules.
  const TTransTable loaded = ReadTableFile(path);
  ASSERT_EQ(loaded.TableCount, 8);
  EXPECT_EQ(loaded.Table[0], (TCharTable{W("ж"), "zh"}));
  EXPECT_EQ(loaded.Table[1], (TCharTable{"sh ", W("ш ")}));
  EXPECT_EQ(loaded.Table[6], (TCharTable{W(" Є"), " Ye"}));
}

TEST(EditorModel, SavingOverAFileLeavesNothingOfItBehind) {
  TempDir dir;
  const auto path = dir.Write("old.table", W("[Information]\r\nFrom=Старый\r\nExtra=1\r\n[Table]\r\nstale=x\r\n"
                                             "Ж=Zh\r\n[First]\r\nа=b\r\n[Other]\r\nk=v\r\n"));
  const TTransTable t = WithPairs({{"Ж", "Zhh"}});
  ASSERT_TRUE(SaveEditorTable(t, path));
  EXPECT_EQ(ReadBytes(path), SerializeEditorTable(t));
  const TTransTable loaded = ReadTableFile(path);
  EXPECT_EQ(loaded.TableCount, 2);
  EXPECT_EQ(loaded.FirstCount, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "old.table.tmp"));
}

TEST(EditorModel, AFailedSaveLeavesTheOldFileWhole) {
  TempDir dir;
  const std::string old = "[Information]\r\nFrom=old\r\n";
  const auto path = dir.Write("t.table", old);
  // The temporary file cannot be made: a folder stands in its place.
  std::filesystem::create_directory(dir.path() / "t.table.tmp");
  EXPECT_FALSE(SaveEditorTable(WithPairs({{"a", "b"}}), path));
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_FALSE(SaveEditorTable(NewEditorTable(), dir.path() / "missing" / "t.table"));
}

TEST(EditorModel, FilesWithMissingPartsLoadWithDefaults) {
  TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;  // empty: no file at all
    const char* from;
    int fromIcon, toIcon, pairs;
  } cases[] = {
      {"no icons", W("[Information]\r\nFrom=Тест\r\n[Table]\r\na=b\r\n"), "Тест", 244, 247, 1},
      {"not a number", W("[Information]\r\nFromIcon=abc\r\nToIcon=12x\r\n"), "", 244, 247, 0},
      {"hexadecimal", "[information]\r\nfromicon=$10\r\nTOICON=0x20\r\n", "", 16, 32, 0},
      {"outside the catalogue", "[Information]\r\nFromIcon=999\r\nToIcon=-5\r\n", "", 999, -5, 0},
      {"not a table file", std::string("\x89PNG\r\n\x1a\n\0\0binary", 16), "", 244, 247, 0},
      {"missing file", "", "", 244, 247, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = dir.path() / "case.table";
    std::filesystem::remove(path);
    if (!c.bytes.empty()) dir.Write("case.table", c.bytes);
    const EditorLoad load = LoadEditorTable(path);
    EXPECT_EQ(load.table.From, W(c.from));
    EXPECT_EQ(load.table.FromIcon, c.fromIcon);
    EXPECT_EQ(load.table.ToIcon, c.toIcon);
    EXPECT_EQ(load.table.TableCount, c.pairs);
    if (!c.bytes.empty() && c.pairs == 0) {
      EXPECT_EQ(load.table.To, "");
    }
  }
  // A number outside the catalogue is kept by a save.
  TTransTable odd = NewEditorTable();
  odd.FromIcon = 999;
  EXPECT_NE(SerializeEditorTable(odd).find("FromIcon=999\r\n"), std::string::npos);
}

TEST(EditorModel, UnicodeTablesAreToldApart) {
  TempDir dir;
  const std::pair<std::string, bool> cases[] = {
      {"\xEF\xBB\xBF[Information]\r\n", true}, {std::string("\xFF\xFE[\0", 4), true},
      {std::string("\xFE\xFF\0[", 4), true},     {"[Information]\r\n", false},
      {W("Ж=Zh"), false},                         {"", false},
  };
  for (const auto& [bytes, unicode] : cases)
    EXPECT_EQ(HasUnicodeMark(dir.Write("u.table", bytes)), unicode) << bytes;
  EXPECT_FALSE(HasUnicodeMark(dir.path() / "missing.table"));
}

TEST(EditorModel, AtMostFiveHundredPairsAreLoaded) {
  std::string bytes = "[Table]\r\n";
  for (int i = 0; i < 600; ++i) bytes += "k" + std::to_string(i) + "=v" + std::to_string(i) + "\r\n";
  const EditorLoad load = EditorTableFromProfile(ProfileFile::Parse(bytes));
  EXPECT_EQ(load.keysInFile, 600);
  EXPECT_TRUE(load.Truncated());
  ASSERT_EQ(load.table.TableCount, kEditorPairCapacity);
  EXPECT_EQ(load.table.Table[0], (TCharTable{"k0", "v0"}));
  EXPECT_EQ(load.table.Table[499], (TCharTable{"k499", "v499"}));
}

TEST(EditorModel, SourcesThatDifferOnlyInCaseAreFoundAndMerged) {
  const TTransTable t = WithPairs({{"Sh", "Sch"}, {"a", "b"}, {"sh", "sch"}, {"Ж", "Zh"}, {"SH", "SCH"},
                                   {"ж", "zh"}, {"s", "z"}, {"sh_", "x"}});
  const auto groups = CaseMergeGroups(t);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0], (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(groups[1], (std::vector<int>{3, 5}));

  // What the file holds: one key per group at its first row, the target written last.
  const TTransTable merged = MergeCaseDuplicates(t);
  ASSERT_EQ(merged.TableCount, 5);
  EXPECT_EQ(merged.Table[0], (TCharTable{"Sh", "SCH"}));
  EXPECT_EQ(merged.Table[1], (TCharTable{"a", "b"}));
  EXPECT_EQ(merged.Table[2], (TCharTable{W("Ж"), "zh"}));
  EXPECT_EQ(merged.Table[3], (TCharTable{"s", "z"}));
  EXPECT_EQ(merged.Table[4], (TCharTable{"sh_", "x"}));
  EXPECT_TRUE(CaseMergeGroups(merged).empty());

  // Saved, the merged table reads back as it stands.
  TempDir dir;
  ASSERT_TRUE(SaveEditorTable(merged, dir.path() / "m.table"));
  const TTransTable back = LoadEditorTable(dir.path() / "m.table").table;
  ASSERT_EQ(back.TableCount, merged.TableCount);
  for (int i = 0; i < back.TableCount; ++i) EXPECT_EQ(back.Table[i], merged.Table[i]);
}

TEST(EditorModel, PairsThatCannotBeWrittenAsTheyStandAreNamed) {
  struct Case {
    const char* source;
    const char* target;
    std::vector<PairProblem> problems;
  } cases[] = {
      {"sh_", "_x_", {}},
      {"a b", "c d", {}},
      {"", "", {}},
      {" a", "b", {PairProblem::SourceBlankAtEdge}},
      {"a=b", "c", {PairProblem::SourceHasEquals}},
      {"[a", "c", {PairProblem::SourceStartsBracket}},
      {"a", "b ", {PairProblem::TargetBlankAtEdge}},
      {"a", "\"b\"", {PairProblem::TargetQuoted}},
      {"a", "'b'", {PairProblem::TargetQuoted}},
      {"a", "\"b'", {}},
      {"\x98", "b", {PairProblem::OutsideCodePage}},
      {"a\t", "\x98", {PairProblem::SourceBlankAtEdge, PairProblem::OutsideCodePage}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("'") + c.source + "' -> '" + c.target + "'");
    TTransTable t = NewEditorTable();
    t.AddPair("ok", "ok");
    t.AddPair(c.source, c.target);
    std::vector<PairProblem> found;
    for (const PairIssue& issue : UnwritablePairs(t)) {
      EXPECT_EQ(issue.row, 1);
      found.push_back(issue.problem);
    }
    EXPECT_EQ(found, c.problems);
  }
  TTransTable header = NewEditorTable();
  header.Description = "x\x98";
  const auto issues = UnwritablePairs(header);
  ASSERT_EQ(issues.size(), 1u);
  EXPECT_EQ(issues[0].row, -1);
}

TEST(EditorModel, TableExtensionIsAppendedUnlessPresent) {
  const std::pair<const char*, const char*> cases[] = {
      {"test", "test.table"},         {"abc.table", "abc.table"},   {"ABC.Table", "ABC.Table"},
      {"a.tab", "a.tab.table"},       {"a.table.txt", "a.table.txt.table"},
      {"dir.table/x", "dir.table/x.table"},
  };
  for (auto [chosen, expected] : cases)
    EXPECT_EQ(WithTableExtension(chosen), std::filesystem::path(expected)) << chosen;
}

TEST(EditorModel, FlagNumbersAndPickedIcons) {
  EXPECT_TRUE(IsFlagNumber(0));
  EXPECT_TRUE(IsFlagNumber(260));
  EXPECT_FALSE(IsFlagNumber(261));
  EXPECT_FALSE(IsFlagNumber(-1));
  EXPECT_EQ(PickedIcon(12, 999), 12);  // the user picked a flag
  EXPECT_EQ(PickedIcon(-1, 999), 999);  // nothing selected: the number stays
  EXPECT_EQ(PickedIcon(-1, -7), -7);
}

TEST(EditorModel, PreviewConvertsAsTheSavedTableWould) {
  const TTransTable t = WithPairs({{"Ж", "Zh"}, {"_е", "_ye"}, {"Sh", "X"}, {"sh", "Y"}});
  const TTransTable preview = PreviewTable(t);
  EXPECT_EQ(PreviewLine(preview, W("Жена ежик")), W("Zhена yezhик"));
  // "Sh" and "sh" become one key holding the target written last; the file
  // covers the case as written and the lower-cased copy, not "SH".
  EXPECT_EQ(PreviewLine(preview, "Sh sh SH"), "Y y SH");

  TempDir dir;
  ASSERT_TRUE(SaveEditorTable(MergeCaseDuplicates(t), dir.path() / "p.table"));
  const TTransTable loaded = ReadTableFile(dir.path() / "p.table");
  ASSERT_EQ(preview.TableCount, loaded.TableCount);
  for (int i = 0; i < loaded.TableCount; ++i) EXPECT_EQ(preview.Table[i], loaded.Table[i]) << "pair " << i;
}

TEST(EditorModel, SavedIntoFolderComparesTheFoldersOfTheSavedFiles) {
  TempDir dir;
  const auto folder = dir.path() / "Table";
  std::filesystem::create_directory(folder);
  EXPECT_FALSE(SavedIntoFolder({}, folder));
  EXPECT_FALSE(SavedIntoFolder({dir.path() / "a.table"}, folder));
  EXPECT_TRUE(SavedIntoFolder({dir.path() / "a.table", folder / "b.table"}, folder));
  EXPECT_TRUE(SavedIntoFolder({dir.path() / "x" / ".." / "Table" / "c.table"}, folder));
}

}  // namespace
}  // namespace velmar
