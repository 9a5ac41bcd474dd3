// The tables shipped in tables/ against the sample words kept beside them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "table_file.h"
#include "unicode_engine.h"

namespace velmar {
namespace {

const std::filesystem::path kTables = VELMAR_TABLES_DIR;

struct Sample {
  bool reverse;
  std::string text, expected;
};

std::vector<Sample> ReadSamples(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<Sample> samples;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::size_t a = line.find('\t'), b = line.find('\t', a + 1);
    EXPECT_TRUE(a == 1 && b != std::string::npos && (line[0] == '>' || line[0] == '<')) << line;
    if (b == std::string::npos) continue;
    samples.push_back({line[0] == '<', line.substr(a + 1, b - a - 1), line.substr(b + 1)});
  }
  return samples;
}

TEST(ShippedTables, SampleWordsConvertAsListed) {
  for (const char* name : {"serbian-latin", "kazakh-latin-2021"}) {
    std::string error;
    TTransTable table = ReadTableFile(kTables / (std::string(name) + ".table"), &error);
    ASSERT_EQ(error, "") << name;
    EXPECT_EQ(table.Encoding, TableEncoding::Utf8) << name;
    ASSERT_GT(table.TableCount, 0) << name;
    UnicodeLineConverter forward(table, false, false);
    UnicodeLineConverter backward(MakeReverseTable(table), false, false);
    auto samples = ReadSamples(kTables / (std::string(name) + ".samples"));
    EXPECT_GE(samples.size(), 10u) << name;
    for (const Sample& s : samples) {
      std::vector<std::string> out;
      std::string_view line = s.text;
      (s.reverse ? backward : forward).ConvertLines({&line, 1}, out);
      EXPECT_EQ(out.at(0), s.expected) << name << (s.reverse ? " reverse: " : ": ") << s.text;
    }
  }
}

}  // namespace
}  // namespace velmar
