// The modules of our server: every table of the catalogue exists, has the
// digest the catalogue gives, and converts its sample words as its standard
// says (the samples are kept beside each table, "word<TAB>expected" in UTF-8;
// a Unicode table's samples may also be "><TAB>word<TAB>expected", or "<" for
// its reverse table, as the shipped tables keep them, with "#" comment lines).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "catalogue.h"
#include "convert.h"
#include "sha256.h"
#include "table_file.h"
#include "test_util.h"
#include "text_lines.h"
#include "unicode_engine.h"

namespace velmar::online {
namespace {

namespace fs = std::filesystem;

const fs::path kModules = fs::path(VELMAR_SITE_DIR) / "zo_velmar" / "modules";

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

TEST(SiteModules, ConvertTheirSampleWordsAsTheirStandardSays) {
  for (const ModuleEntry& m : Catalogue()) {
    SCOPED_TRACE(m.FileName);
    const TTransTable table = ReadTableFile(kModules / m.FileName);
    EXPECT_FALSE(table.From.empty());
    EXPECT_GE(table.TableCount, 60);  // the Serbian alphabet has 30 letters
    fs::path samples = kModules / m.FileName;
    samples.replace_extension(".samples");
    const std::string text = ReadAll(samples);
    int count = 0;
    for (std::string_view line : SplitLines(text)) {
      if (line.empty() || line.front() == '#') continue;
      bool reverse = false;
      if (table.IsUnicode() && line.size() > 2 && (line[0] == '>' || line[0] == '<') && line[1] == '\t') {
        reverse = line[0] == '<';
        line.remove_prefix(2);
      }
      const std::size_t tab = line.find('\t');
      ASSERT_NE(tab, std::string_view::npos) << line;
      if (table.IsUnicode()) {
        UnicodeLineConverter converter(reverse ? MakeReverseTable(table) : table, false, false);
        std::vector<std::string> out;
        std::string_view word = line.substr(0, tab);
        converter.ConvertLines({&word, 1}, out);
        ASSERT_EQ(out.size(), 1u) << line;
        EXPECT_EQ(out[0], line.substr(tab + 1)) << line;
      } else {
        EXPECT_EQ(ConvertLine(test::W(line.substr(0, tab)), table, false, false), test::W(line.substr(tab + 1)))
            << line;
      }
      ++count;
    }
    EXPECT_GE(count, 10) << "too few samples in " << samples;
    fs::path notes = samples;
    EXPECT_TRUE(fs::is_regular_file(notes.replace_extension(".txt"))) << "no description of the table";
  }
}

}  // namespace
}  // namespace velmar::online
