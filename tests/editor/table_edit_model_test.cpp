// The table editor's model: what it reads from a table file, what it writes,
// and the checks before a save. Texts are UTF-8 here, Windows-1251 inside.
#include "table_edit_model.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "table_file.h"
#include "unicode_table.h"
#include "utf8.h"
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

TEST(EditorModel, EveryEncodingIsOpenedAndWrittenBackByteForByte) {
  // Files as the editor writes them, in the three encodings.
  const std::string utf8 =
      "[Information]\r\nFrom=Српски\r\nTo=Latinica\r\nDescription=Ђорђе, Љубав, Њива\r\nFromIcon=190\r\n"
      "ToIcon=190\r\n[Table]\r\nЉ=Lj\r\nЂ=Đ\r\nШ=Š\r\nП=P\r\n_Џ=_Dž\r\nЏ=Dž\r\n";
  const std::string utf16 = std::string(kUtf16LeByteOrderMark) + Utf8ToUtf16Le(utf8);
  const std::string cp1251 = W("[Information]\r\nFrom=Русский\r\nTo=Latin\r\nDescription=Тест\r\nFromIcon=189\r\n"
                               "ToIcon=247\r\n[Table]\r\nЖ=Zh\r\n_Е=_Ye\r\n");
  const std::pair<std::string, TableEncoding> cases[] = {
      {std::string(kUtf8ByteOrderMark) + utf8, TableEncoding::Utf8},
      {utf16, TableEncoding::Utf16Le},
      {cp1251, TableEncoding::Cp1251},
  };
  TempDir dir;
  for (const auto& [bytes, encoding] : cases) {
    const EditorLoad load = LoadEditorTable(dir.Write("in.table", bytes));
    ASSERT_TRUE(load.error.empty()) << load.error;
    EXPECT_EQ(load.table.Encoding, encoding);
    EXPECT_EQ(load.table.TableCount, encoding == TableEncoding::Cp1251 ? 2 : 6);
    const auto out = dir.path() / "out.table";
    ASSERT_TRUE(SaveEditorTable(load.table, out, SavingEncoding(load.table, load.table.Encoding)));
    EXPECT_EQ(ReadBytes(out), bytes) << static_cast<int>(encoding);
  }
  // The shipped tables too, opened and saved unchanged.
  for (const char* name : {"serbian-latin.table", "kazakh-latin-2021.table"}) {
    const auto shipped = std::filesystem::path(VELMAR_TABLES_DIR) / name;
    const EditorLoad load = LoadEditorTable(shipped);
    ASSERT_TRUE(load.error.empty()) << name;
    const auto out = dir.path() / name;
    ASSERT_TRUE(SaveEditorTable(load.table, out, SavingEncoding(load.table, load.table.Encoding)));
    EXPECT_EQ(ReadBytes(out), ReadBytes(shipped)) << name;
  }
  // The Serbian texts arrive whole, in UTF-8.
  const EditorLoad serbian = LoadEditorTable(dir.Write("sr.table", cases[1].first));
  EXPECT_EQ(serbian.table.Table[1].Source, "Ђ");
  EXPECT_EQ(serbian.table.Table[1].Target, "Đ");
  EXPECT_EQ(serbian.table.Description, "Ђорђе, Љубав, Њива");
}

TEST(EditorModel, ATableIsWrittenInWindows1251UnlessATextNeedsMore) {
  // A new table, or one read from a Windows-1251 file, stays Windows-1251
  // while every text fits; a Serbian letter makes it UTF-8 with the mark.
  TTransTable table = NewEditorTable();
  table.AddPair(W("Ж"), "Zh");
  EXPECT_EQ(SavingEncoding(table, TableEncoding::Cp1251), TableEncoding::Cp1251);
  TTransTable unicode = AsUnicodeTable(table);
  EXPECT_EQ(unicode.Table[0].Source, "Ж");
  EXPECT_EQ(unicode.From, "Украинский");
  // Typed text that fits the code page is still written in it.
  EXPECT_EQ(SavingEncoding(unicode, TableEncoding::Cp1251), TableEncoding::Cp1251);
  unicode.AddPair("Ђ", "Đ");
  EXPECT_EQ(SavingEncoding(unicode, TableEncoding::Cp1251), TableEncoding::Utf8);
  TempDir dir;
  const auto path = dir.path() / "new.table";
  ASSERT_TRUE(SaveEditorTable(unicode, path, SavingEncoding(unicode, TableEncoding::Cp1251)));
  const std::string bytes = ReadBytes(path);
  EXPECT_TRUE(bytes.starts_with(kUtf8ByteOrderMark));
  EXPECT_NE(bytes.find("\r\nЂ=Đ\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nЖ=Zh\r\n"), std::string::npos);
  const TTransTable read = ReadTableFile(path);
  EXPECT_TRUE(read.IsUnicode());
  // Back in Windows-1251 when the letter is gone again.
  unicode.Table[1] = {"Ж", "Zh"};
  ASSERT_TRUE(SaveEditorTable(unicode, path, SavingEncoding(unicode, TableEncoding::Cp1251)));
  EXPECT_EQ(ReadBytes(path), SerializeEditorTable(table) + W("Ж=Zh\r\n"));
  // A Unicode file keeps its encoding even when every text would fit.
  EXPECT_EQ(SavingEncoding(unicode, TableEncoding::Utf16Le), TableEncoding::Utf16Le);
  EXPECT_FALSE(EditorFileBytes(AsUnicodeTable(table), TableEncoding::Cp1251) == std::nullopt);
  TTransTable serbian = AsUnicodeTable(table);
  serbian.AddPair("Ћ", "Ć");
  EXPECT_EQ(EditorFileBytes(serbian, TableEncoding::Cp1251), std::nullopt);  // never written with "?"
}

TEST(EditorModel, AWindows1251FileGivenASerbianLetterIsWrittenInUtf8WithAllItHeld) {
  // The file as the user had it: names, description, flags, a "_" blank and
  // the order of its pairs come through the change of encoding unchanged.
  const std::string text =
      "[Information]\r\nFrom=Русский\r\nTo=Latin\r\nDescription=Тест, «проба»\r\nFromIcon=189\r\n"
      "ToIcon=247\r\n[Table]\r\nЩ=Shch\r\nЖ=Zh\r\n_Е=_Ye\r\n";
  TempDir dir;
  const auto path = dir.Write("ru.table", W(text));
  const EditorLoad load = LoadEditorTable(path);
  ASSERT_TRUE(load.error.empty());
  ASSERT_EQ(load.table.Encoding, TableEncoding::Cp1251);
  // What the editor does when "Ћ" is typed: the table becomes Unicode, then gets the pair.
  TTransTable table = AsUnicodeTable(load.table);
  table.AddPair("Ћ", "Ć");
  const TableEncoding encoding = SavingEncoding(table, load.table.Encoding);
  EXPECT_EQ(encoding, TableEncoding::Utf8);
  ASSERT_TRUE(SaveEditorTable(table, path, encoding));
  EXPECT_EQ(ReadBytes(path), std::string(kUtf8ByteOrderMark) + text + "Ћ=Ć\r\n");
  const TTransTable read = ReadTableFile(path);
  ASSERT_TRUE(read.IsUnicode());
  EXPECT_EQ(PreviewLine(PreviewTable(table), "Жук Ћ ещё"), "Zhук Ć yeshchё");
}

TEST(EditorModel, AUnicodeTableIsEditedAsItsLoaderReadsIt) {
  TempDir dir;
  // A byte order mark followed by malformed UTF-8 is an error, not garbage.
  const EditorLoad bad = LoadEditorTable(dir.Write("bad.table", std::string(kUtf8ByteOrderMark) + "[Table]\r\n\xC3("));
  // The user reads the reasons in Russian.
  EXPECT_EQ(bad.error, "файл начинается с метки UTF-8, но его текст не в этой кодировке");
  EXPECT_EQ(bad.table.TableCount, 0);
  // Nor is UTF-16 big-endian taken for Windows-1251 (a save would empty it).
  const EditorLoad bigEndian = LoadEditorTable(dir.Write("be.table", std::string("\xFE\xFF\0[\0T\0a\0b\0l\0e\0]", 16)));
  EXPECT_EQ(bigEndian.error,
            "файл в кодировке UTF-16 big-endian, а таблицы читаются в UTF-8, UTF-16 little-endian или Windows-1251");
  EXPECT_EQ(bigEndian.table.TableCount, 0);

  const EditorLoad load = LoadEditorTable(VELMAR_TABLES_DIR "/serbian-latin.table");
  ASSERT_TRUE(load.error.empty());
  TTransTable table = load.table;
  // "ЉУ" and "Љу" differ only in case in Unicode's sense; "Ø" holds the byte 0x98 and is no stand-in.
  table.AddPair("ЉУ", "LJU");
  table.AddPair("Љу", "Lju");
  table.AddPair("Ø", "O");
  EXPECT_FALSE(CaseMergeGroups(table).empty());
  for (const PairIssue& issue : UnwritablePairs(table)) EXPECT_NE(issue.problem, PairProblem::OutsideCodePage);
  EXPECT_EQ(PreviewLine(PreviewTable(load.table), "Љубав и Ђорђе, Џон и Петар"), "Ljubav i Đorđe, Džon i Petar");
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
  // A source in small letters stays beside the same with capitals: the
  // loader reads both.
  const auto groups = CaseMergeGroups(t);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0], (std::vector<int>{0, 4}));

  // What the file holds: one key per group at its first row, the target written last.
  const TTransTable merged = MergeCaseDuplicates(t);
  ASSERT_EQ(merged.TableCount, 7);
  EXPECT_EQ(merged.Table[0], (TCharTable{"Sh", "SCH"}));
  EXPECT_EQ(merged.Table[1], (TCharTable{"a", "b"}));
  EXPECT_EQ(merged.Table[2], (TCharTable{"sh", "sch"}));
  EXPECT_EQ(merged.Table[3], (TCharTable{W("Ж"), "Zh"}));
  EXPECT_EQ(merged.Table[4], (TCharTable{W("ж"), "zh"}));
  EXPECT_EQ(merged.Table[5], (TCharTable{"s", "z"}));
  EXPECT_EQ(merged.Table[6], (TCharTable{"sh_", "x"}));
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
      {"a", "b ", {}},
      {"a", "\"b\"", {}},
      {"a", "'b'", {}},
      {"a@start,end", "b", {}},
      {"a@after:vowel,before:VOWEL", "b", {}},
      {"a@ Start , AFTER:vowel", "b", {}},
      {"a@b@end", "b", {}},
      {"@", "at", {}},
      {"a@", "b", {}},
      {"a@begin", "b", {PairProblem::ContextUnreadable}},
      {"a@after:", "b", {PairProblem::ContextUnreadable}},
      {"a@start,,end", "b", {PairProblem::ContextUnreadable}},
      {"a@before:soft", "b", {PairProblem::ContextUnknownSet}},
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
    for (const PairIssue& issue : UnwritablePairs(t, {{{"vowel", "aeiou"}}, {}})) {
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
  EXPECT_FALSE(RefusesSave(PairProblem::OutsideCodePage));

  const auto setIssues = UnwritablePairs(NewEditorTable(), {{{"ok1", "a"}, {"мягкие", "еи"}, {"empty", ""}}, {}});
  ASSERT_EQ(setIssues.size(), 2u);
  EXPECT_EQ(setIssues[0].row, 1);
  EXPECT_EQ(setIssues[0].problem, PairProblem::SetBadName);
  EXPECT_EQ(setIssues[1].row, 2);
  EXPECT_EQ(setIssues[1].problem, PairProblem::SetNoLetters);
}

// Every pair the save lets through comes back from the file exactly as the
// list shows it, and no pair takes the ones after it down: "[q" would open a
// section and swallow every later pair, so it is refused, never written.
TEST(EditorModel, WhatASaveLetsThroughReadsBackAsTheListShows) {
  TTransTable t = NewEditorTable();
  t.Description = "  blanks at both ends  ";
  t.From = "'quoted'";
  const std::pair<const char*, const char*> pairs[] = {
      {"a", "x"}, {"c", "z"}, {"d", "'w'"}, {"e", " v "}, {"f", "\"u\""}, {"g", "\"t'"}, {"sh_", "_s "}};
  for (auto [source, target] : pairs) t.AddPair(source, target);
  for (const PairIssue& issue : UnwritablePairs(t)) EXPECT_FALSE(RefusesSave(issue.problem)) << issue.row;
  TempDir dir;
  ASSERT_TRUE(SaveEditorTable(t, dir.path() / "r.table"));
  const TTransTable back = LoadEditorTable(dir.path() / "r.table").table;
  EXPECT_EQ(back.Description, t.Description);
  EXPECT_EQ(back.From, t.From);
  ASSERT_EQ(back.TableCount, t.TableCount);
  for (int i = 0; i < t.TableCount; ++i) EXPECT_EQ(back.Table[i], t.Table[i]) << i;
  // Plain files are written as before: no quotation marks where none are needed.
  EXPECT_EQ(WrittenValue("x"), "x");
  EXPECT_EQ(WrittenValue("\"t'"), "\"t'");

  TTransTable bad = WithPairs({{"a=b", "x"}, {"[q", "y"}, {"c", "z"}, {"d", "'w'"}});
  std::vector<std::pair<int, PairProblem>> refused;
  for (const PairIssue& issue : UnwritablePairs(bad))
    if (RefusesSave(issue.problem)) refused.emplace_back(issue.row, issue.problem);
  EXPECT_EQ(refused, (std::vector<std::pair<int, PairProblem>>{{0, PairProblem::SourceHasEquals},
                                                                {1, PairProblem::SourceStartsBracket}}));
}

// The test line converts as the main window would: contexts apply, and a
// word in capitals stays in capitals.
TEST(EditorModel, TheTestLineShowsContextsAndCapitals) {
  const TTransTable t = WithPairs({{"Ц", "Cz"}, {"Е", "E"}, {"Ц@before:soft", "C"}, {"Е@start,after:vowel", "Ye"}});
  const EditorSections sections{{{"soft", "еиый"}, {"vowel", "аеёиоуыэюяйъь"}}, {}};
  const TTransTable preview = PreviewTable(t, sections);
  // Letters the table has no pair for stay as they are.
  const std::pair<const char*, const char*> cases[] = {
      {"центр", "ceнтр"}, {"лицо", "лиczо"}, {"ЦЕНТР", "CEНТР"}, {"Ели поели", "Yeли поyeли"}, {"ЕЛИ", "YEЛИ"},
  };
  for (auto [text, expected] : cases) EXPECT_EQ(PreviewLine(preview, W(text)), W(expected)) << text;
}

// A table with letter sets and context pairs, and a section the editor does
// not edit, comes back byte for byte; its context pairs are rows after the
// plain ones, shown as "source@conditions".
TEST(EditorModel, ContextsAndSetsComeBackByteForByte) {
  const std::string body = std::string("[Information]\r\nFrom=Русский\r\nTo=Latin\r\nDescription=BGN\r\n"
                             "FromIcon=189\r\nToIcon=247\r\n[Table]\r\nЕ=E\r\nЦ=Ts\r\n[Sets]\r\n"
                             "vowel=аеёиоуыэюяйъь\r\nsoft=еиый\r\n[Context]\r\nЕ@start,after:vowel=Ye\r\n"
                             "Ц@before:soft=C\r\n[First]\r\nx=y\r\n");
  const std::string file = "\xEF\xBB\xBF" + body;
  TempDir dir;
  const auto path = dir.path() / "ctx.table";
  {
    std::ofstream(path, std::ios::binary) << file;
  }
  const EditorLoad load = LoadEditorTable(path);
  ASSERT_TRUE(load.error.empty());
  ASSERT_EQ(load.table.TableCount, 4);
  EXPECT_EQ(load.table.Table[2].Source, "Е@start,after:vowel");
  EXPECT_EQ(load.table.Table[3].Target, "C");
  EXPECT_EQ(load.sections.sets, (std::vector<LetterSet>{{"vowel", "аеёиоуыэюяйъь"}, {"soft", "еиый"}}));
  EXPECT_TRUE(UnwritablePairs(load.table, load.sections).empty());
  ASSERT_TRUE(SaveEditorTable(load.table, dir.path() / "out.table", load.table.Encoding, load.sections));
  EXPECT_EQ(ReadBytes(dir.path() / "out.table"), file);

  // The same in Windows-1251; the sets stay UTF-8 in the editor and go back to the code page.
  const std::string cp1251 = W(body);
  {
    std::ofstream(path, std::ios::binary) << cp1251;
  }
  const EditorLoad old = LoadEditorTable(path);
  EXPECT_EQ(old.sections.sets[1].letters, "еиый");
  EXPECT_EQ(EditorFileBytes(old.table, TableEncoding::Cp1251, old.sections), cp1251);
  // A set letter Windows-1251 lacks (Kazakh "ә") makes the file UTF-8, never "?".
  EditorSections kazakh = old.sections;
  kazakh.sets[1].letters += "ә";
  EXPECT_EQ(EditorFileBytes(old.table, TableEncoding::Cp1251, kazakh), std::nullopt);
  EXPECT_EQ(SavingEncoding(old.table, TableEncoding::Cp1251, kazakh), TableEncoding::Utf8);
  EXPECT_NE(EditorFileBytes(old.table, TableEncoding::Utf8, kazakh)->find("soft=еиыйә"), std::string::npos);

  // The sets as the parameters dialog shows them, and back.
  EXPECT_EQ(ParseSetsText(SetsText(load.sections.sets)), load.sections.sets);
  EXPECT_EQ(ParseSetsText("\r\n a = xy \r\nb\r\n"), (std::vector<LetterSet>{{"a", "xy"}, {"b", ""}}));
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
  // "sh" in small letters is the small letters' pair beside "Sh"; a word in
  // capitals matches "Sh", as the main window converts by default.
  EXPECT_EQ(PreviewLine(preview, "Sh sh SH"), "X Y X");

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
