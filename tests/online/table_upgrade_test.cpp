// The standard tables an update brings into a Table folder: what the user
// never changed is replaced, what the user changed stays and gets the new
// version beside it.
#include "table_upgrade.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "profile.h"
#include "sha256.h"
#include "test_util.h"

namespace velmar::online {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string Read(const fs::path& path) { return ReadWholeFile(path).value_or("<missing>"); }

TEST(TableUpgrade, ReplacesOnlyWhatWeShippedAndKeepsTheUsersEdit) {
  TempDir dir;
  const fs::path fresh = dir.path() / "new", folder = dir.path() / "Table";
  fs::create_directories(fresh);
  fs::create_directories(folder);
  const std::string oldVersion = "[Table]\r\nІ=ı\r\n", edited = "[Table]\r\nІ=ı\r\nЩ=X\r\n";
  for (const char* name : {"added.table", "current.table", "shipped.table", "edited.table"})
    dir.Write("new/" + std::string(name), std::string("[Table]\r\nі=ı\r\nІ=I\r\n") + name);
  dir.Write("Table/current.table", Read(fresh / "current.table"));
  dir.Write("Table/shipped.table", oldVersion);
  dir.Write("Table/edited.table", edited);
  dir.Write("Table/mine.table", "mine");

  const auto steps = UpgradeStandardTables(fresh, folder, {Sha256Hex(oldVersion)});
  struct Expected {
    const char* name;
    TableUpgrade action;
  };
  const Expected expected[] = {{"added.table", TableUpgrade::Added},
                               {"current.table", TableUpgrade::Current},
                               {"edited.table", TableUpgrade::KeptBeside},
                               {"shipped.table", TableUpgrade::Replaced}};
  ASSERT_EQ(steps.size(), std::size(expected));
  for (std::size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].name, expected[i].name);
    EXPECT_EQ(steps[i].action, expected[i].action) << expected[i].name;
  }
  for (const char* name : {"added.table", "current.table", "shipped.table"})
    EXPECT_EQ(Read(folder / name), Read(fresh / name)) << name;
  EXPECT_EQ(Read(folder / "edited.table"), edited);
  EXPECT_EQ(Read(folder / "edited.table.new"), Read(fresh / "edited.table"));
  EXPECT_EQ(Read(folder / "mine.table"), "mine");
  EXPECT_FALSE(fs::exists(folder / "shipped.table.new"));
  EXPECT_EQ(UpgradeLogLine(steps[2]),
            L"Таблица edited.table: изменена вами и оставлена как есть; новая версия записана рядом как "
            L"edited.table.new");

  // A second run finds everything current, and the user's edit still kept.
  for (const TableUpgradeStep& step : UpgradeStandardTables(fresh, folder, {Sha256Hex(oldVersion)}))
    EXPECT_EQ(step.action, step.name == "edited.table" ? TableUpgrade::KeptBeside : TableUpgrade::Current);
  EXPECT_EQ(Read(folder / "edited.table"), edited);
}

TEST(TableUpgrade, UninstallTakesOnlyUnchangedStandardTables) {
  TempDir dir;
  const fs::path folder = dir.path() / "Table";
  fs::create_directories(folder);
  const std::string shipped = "[Table]\r\nЖ=Zh\r\n", edited = "[Table]\r\nЖ=Ž\r\n";
  dir.Write("Table/plain.table", shipped);
  dir.Write("Table/edited.table", edited);
  dir.Write("Table/edited.table.new", shipped);
  dir.Write("Table/copy.table", shipped);  // the user's copy under a name of its own
  dir.Write("Table/mine.table", "mine");
  const std::string list = "# comment\n" + Sha256Hex(shipped) + "  plain.table\n" + Sha256Hex(shipped) +
                           "  edited.table\r\n" + Sha256Hex(shipped) + "  gone.table\n";

  const auto removed = RemoveUnchangedStandardTables(folder, list);
  EXPECT_EQ(removed, (std::vector<fs::path>{"edited.table.new", "plain.table"}));
  EXPECT_FALSE(fs::exists(folder / "plain.table"));
  EXPECT_EQ(Read(folder / "edited.table"), edited);
  EXPECT_EQ(Read(folder / "copy.table"), shipped);
  EXPECT_EQ(Read(folder / "mine.table"), "mine");
}

TEST(TableUpgrade, TheDigestListNamesEveryTableWeShipNow) {
  const std::set<std::string> digests = ReadShippedDigests(Read(VELMAR_INSTALLER_DIR "/shipped_tables.sha256"));
  for (const auto& entry : fs::directory_iterator(VELMAR_TABLES_DIR)) {
    if (entry.path().extension() != ".table") continue;
    EXPECT_TRUE(digests.contains(Sha256Hex(Read(entry.path()))))
        << entry.path().filename() << " changed: add its digest to installer/shipped_tables.sha256";
  }

  const std::string upper(64, 'A');
  EXPECT_EQ(ReadShippedDigests("# comment " + upper + "\r\n" + upper + "  x.table\r\nshort  y.table\n"),
            (std::set<std::string>{std::string(64, 'a')}));
}

}  // namespace
}  // namespace velmar::online
