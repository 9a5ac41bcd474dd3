#include <gtest/gtest.h>

#include <algorithm>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "table_file.h"
#include "test_util.h"

namespace velmar {
namespace {
using test::W;

const char* const kUkrainian =
    "[Information]\r\n"
    "From=Украинский\r\n"
    "To=Английский\r\n"
    "Description=Новая таблица транскрипции\r\n"
    "FromIcon=244\r\n"
    "ToIcon=247\r\n"
    "[Table]\r\n"
    "Ж=Zh\r\n"
    "_Є=_Ye\r\n";

TEST(TableFile, PairsAreLowerCasedCopiesThenAsWrittenWithBlanksForUnderscores) {
  TTransTable t = TableFromProfile(ProfileFile::Parse(W(kUkrainian)));
  EXPECT_EQ(t.From, W("Украинский"));
  EXPECT_EQ(t.Description, W("Новая таблица транскрипции"));
  ASSERT_EQ(t.TableCount, 4);
  EXPECT_EQ(t.Table[0], (TCharTable{W("ж"), "zh"}));
  EXPECT_EQ(t.Table[1], (TCharTable{W(" є"), " ye"}));
  EXPECT_EQ(t.Table[2], (TCharTable{W("Ж"), "Zh"}));
  EXPECT_EQ(t.Table[3], (TCharTable{W(" Є"), " Ye"}));
  EXPECT_EQ(t.FirstCount, 0);
}

TEST(TableFile, ValuesIconsAndFirstSection) {
  TTransTable t = TableFromProfile(ProfileFile::Parse(W(
      "[Information]\r\nFrom=A_B\r\nFromIcon=abc\r\nToIcon=$10\r\n"
      "[Table]\r\nх=_\r\nщ=\r\n_А=_A\r\n"
      "[First]\r\nQ_=W_\r\n")));
  EXPECT_EQ(t.From, "A_B");  // names are read exactly as written
  EXPECT_EQ(t.FromIcon, 244);
  EXPECT_EQ(t.ToIcon, 16);
  ASSERT_EQ(t.TableCount, 6);
  EXPECT_EQ(t.Table[0], (TCharTable{W("х"), " "}));
  EXPECT_EQ(t.Table[1], (TCharTable{W("щ"), ""}));
  EXPECT_EQ(t.Table[2], (TCharTable{W(" а"), " a"}));
  EXPECT_EQ(t.Table[5], (TCharTable{W(" А"), " A"}));
  ASSERT_EQ(t.FirstCount, 2);
  EXPECT_EQ(t.First[0], (TCharTable{"q_", "w_"}));  // no blanks for "_" in this section
  EXPECT_EQ(t.First[1], (TCharTable{"Q_", "W_"}));
}

TEST(TableFile, AtMostFiveHundredKeysPerSection) {
  std::string text = "[Table]\r\n";
  for (int i = 0; i < 600; ++i) text += "k" + std::to_string(i) + "=v\r\n";
  TTransTable t = TableFromProfile(ProfileFile::Parse(text));
  EXPECT_EQ(t.TableCount, 1000);
  EXPECT_EQ(t.Table[999].Source, "k499");
}

TEST(TableFile, UnreadableFileGivesTheEmptyTable) {
  test::TempDir dir;
  TTransTable t = ReadTableFile(dir.path() / "missing.table");
  EXPECT_EQ(TableCaption(t), " - ");
  EXPECT_EQ(t.FromIcon, 244);
  EXPECT_EQ(t.ToIcon, 247);
  EXPECT_EQ(t.TableCount, 0);
  EXPECT_EQ(t.FilePath, dir.path() / "missing.table");
}

TEST(LoadTables, MissingFolderGivesTheTwoBuiltInTables) {
  test::TempDir dir;
  TTableStore store;
  LoadTables(store, dir.path() / "Table");
  EXPECT_EQ(store.Captions(), (std::vector<std::string>{W("Русский - Английский"), W("Английский - Русский")}));
}

TEST(LoadTables, FilesSortedWithoutCaseEachFollowedByItsReverse) {
  test::TempDir dir;
  dir.Write("b.TABLE", "[Information]\r\nFrom=B\r\nTo=b\r\n[Table]\r\nx=y\r\n");
  dir.Write("A.table", "[Information]\r\nFrom=A\r\nTo=a\r\n");
  dir.Write("c.Table", "not a profile file at all");
  dir.Write("notes.txt", "[Information]\r\nFrom=N\r\n");
  std::filesystem::create_directory(dir.path() / "sub.table");
  TTableStore store;
  store.BuildBuiltInTables();
  store.BuildBuiltInTables();  // a reload starts from an empty store all the same
  LoadTables(store, dir.path());
  ASSERT_EQ(store.StoreCount(), 8);
  EXPECT_EQ(TableCaption(store.Store[2]), "A - a");
  EXPECT_EQ(TableCaption(store.Store[3]), "a - A");
  EXPECT_EQ(TableCaption(store.Store[4]), "B - b");
  EXPECT_EQ(TableCaption(store.Store[5]), "b - B");
  EXPECT_EQ(TableCaption(store.Store[6]), " - ");
  EXPECT_EQ(store.Store[5].FilePath, store.Store[4].FilePath);
  EXPECT_EQ(store.Store[4].FilePath.filename(), "b.TABLE");
  EXPECT_EQ(store.Store[5].FromIcon, 247);
  EXPECT_EQ(store.Store[5].ToIcon, 244);
}

TEST(TableFile, AHundredThousandKeysAndAKeyNamedTwiceInAnotherCase) {
  // "dup" in small letters stands beside "Dup" (in the place of its
  // lower-cased copy); "DUP" is "Dup" named again and counts no more.
  std::string text = "[Table]\r\nDup=first\r\ndup=second\r\nDUP=third\r\n";
  for (int i = 0; i < 100000; ++i) text += "k" + std::to_string(i) + "=v\r\n";
  const TTransTable t = TableFromProfile(ProfileFile::Parse(text));
  ASSERT_EQ(t.TableCount, 1000);
  EXPECT_EQ(t.Table[0], (TCharTable{"dup", "second"}));  // the small letters' pairs first
  EXPECT_EQ(t.Table[499], (TCharTable{"k498", "v"}));
  EXPECT_EQ(t.Table[500], (TCharTable{"Dup", "first"}));
  EXPECT_EQ(t.Table[999], (TCharTable{"k498", "v"}));
}

#ifndef _WIN32
// On Windows such a file cannot even be made: its name opens the device.
TEST(LoadTables, FilesNamedAfterADeviceAreSkipped) {
  test::TempDir dir;
  for (const char* name : {"com1.table", "CON.table", "nul .table", "Lpt2.Table"})
    dir.Write(name, "[Information]\r\nFrom=D\r\n");
  dir.Write("console.table", "[Information]\r\nFrom=K\r\n");
  const auto files = ListTableFiles(dir.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].filename(), "console.table");
}

// A FIFO would block the start and a link to /dev/zero never end the read:
// only regular files (and links to them) are tables; the rest is named.
TEST(LoadTables, WhatIsNoRegularFileIsSkippedAndNamed) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  const auto real = dir.Write("real.table", "[Information]\r\nFrom=R\r\n");
  fs::create_symlink(real, dir.path() / "link.table");
  ASSERT_EQ(mkfifo((dir.path() / "fifo.table").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir.path() / "zero.table");
  fs::create_symlink(dir.path() / "nowhere", dir.path() / "dangling.table");
  fs::create_directory(dir.path() / "folder.table");
  std::vector<fs::path> skipped;
  TTableStore store;
  LoadTables(store, dir.path(), &skipped);
  ASSERT_EQ(store.StoreCount(), 2 + 4);
  EXPECT_EQ(store.Store[2].FilePath, dir.path() / "link.table");
  EXPECT_EQ(store.Store[2].From, "R");
  EXPECT_EQ(store.Store[4].FilePath, real);
  std::sort(skipped.begin(), skipped.end());
  EXPECT_EQ(skipped, (std::vector<fs::path>{dir.path() / "dangling.table", dir.path() / "fifo.table",
                                            dir.path() / "zero.table"}));

  // Named as a table of its own, such a file is refused with the reason.
  for (const char* name : {"fifo.table", "zero.table"}) {
    std::string error;
    const TTransTable t = ReadTableFile(dir.path() / name, &error);
    EXPECT_EQ(error, "it is not a regular file") << name;
    EXPECT_EQ(t.TableCount, 0) << name;
  }
}
#endif

TEST(LoadTables, EveryFileFindsASlotBeyondOneHundredAndOne) {
  test::TempDir dir;
  for (int i = 0; i < 60; ++i) dir.Write("t" + std::to_string(100 + i) + ".table", "[Information]\r\nFrom=F\r\n");
  TTableStore store;
  LoadTables(store, dir.path());
  EXPECT_EQ(store.StoreCount(), 2 + 120);
}

}  // namespace
}  // namespace velmar
