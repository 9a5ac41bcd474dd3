// The modules of our server: every table of the catalogue exists, has the
// digest the catalogue gives, and is the very file the program ships in its
// Table folder (tables/, where the tables and their samples are kept and
// tested), so a fresh install marks every module present.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "catalogue.h"
#include "sha256.h"

namespace velmar::online {
namespace {

namespace fs = std::filesystem;

const fs::path kModules = fs::path(VELMAR_SITE_DIR) / "zo_velmar" / "modules";
const fs::path kTables = VELMAR_TABLES_DIR;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<ModuleEntry> Catalogue() { return ParseModuleCatalogue(ReadAll(kModules / "dwl_modules.ini")); }

TEST(SiteCatalogue, NamesEveryModuleFileWithItsDigestAndASafeName) {
  const std::vector<ModuleEntry> modules = Catalogue();
  ASSERT_GE(modules.size(), 5u);
  for (const ModuleEntry& m : modules) {
    SCOPED_TRACE(m.FileName);
    EXPECT_FALSE(m.Name.empty());
    EXPECT_FALSE(m.Desc.empty());
    EXPECT_TRUE(IsDownloadable(m));
    EXPECT_EQ(m.URL, "http://127.0.0.1:8080/zo_velmar/modules/" + m.FileName);
    ASSERT_TRUE(fs::is_regular_file(kModules / m.FileName));
    EXPECT_EQ(Sha256HexOfFile(kModules / m.FileName).value_or(""), m.Sha256)
        << "run site/make_catalogue.py after changing a table";
  }
}

TEST(SiteModules, AreTheTablesTheProgramShipsAndAllOfThem) {
  std::vector<std::string> shipped;
  for (const auto& entry : fs::directory_iterator(kTables))
    if (entry.path().extension() == ".table") shipped.push_back(entry.path().filename().string());
  const std::vector<ModuleEntry> modules = Catalogue();
  for (const ModuleEntry& m : modules) {
    SCOPED_TRACE(m.FileName);
    EXPECT_TRUE(IsModuleDownloaded(m.FileName, shipped)) << "a fresh install would not have it";
    EXPECT_EQ(ReadAll(kModules / m.FileName), ReadAll(kTables / m.FileName)) << "run site/make_catalogue.py";
    fs::path notes = fs::path(m.FileName).replace_extension(".txt");
    EXPECT_FALSE(ReadAll(kTables / notes).empty()) << "no notes on the table";
    EXPECT_EQ(ReadAll(kModules / notes), ReadAll(kTables / notes)) << "run site/make_catalogue.py";
  }
  for (const std::string& file : shipped)
    EXPECT_TRUE(std::any_of(modules.begin(), modules.end(), [&](const ModuleEntry& m) { return m.FileName == file; }))
        << file << " is not offered by the catalogue";
  EXPECT_EQ(ReadAll(fs::path(VELMAR_SITE_DIR) / "tables.md"), ReadAll(kTables / ".." / "docs" / "tables.md"))
      << "the site's description of the table format is not the one in docs/; run site/make_catalogue.py";
}

}  // namespace
}  // namespace velmar::online
