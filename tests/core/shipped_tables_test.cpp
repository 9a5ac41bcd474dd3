// The standard tables shipped in tables/ against the sample texts kept beside
// them (X.samples: names, places and sentences of each standard's own
// documents, in mixed case and in capitals), converted through the engine
// exactly as the program converts them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "table_converter.h"
#include "table_file.h"
#include "unicode_case.h"
#include "unicode_table.h"
#include "utf8.h"

namespace velmar {
namespace {

namespace fs = std::filesystem;

const fs::path kTables = VELMAR_TABLES_DIR;

struct Sample {
  bool reverse;
  std::string text, expected;
};

std::vector<Sample> ReadSamples(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<Sample> samples;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::size_t a = line.find('\t'), b = line.find('\t', a + 1);
    EXPECT_TRUE(a == 1 && b != std::string::npos && (line[0] == '>' || line[0] == '<')) << path << ": " << line;
    if (b == std::string::npos) continue;
    samples.push_back({line[0] == '<', line.substr(a + 1, b - a - 1), line.substr(b + 1)});
  }
  return samples;
}

// One line of UTF-8 text converted with a table of either encoding; the
// result in UTF-8.
std::string Convert(const TTransTable& table, std::string_view utf8) {
  std::string text(utf8);
  if (!table.IsUnicode()) {
    text.clear();
    EXPECT_EQ(Utf8ToCp1251(utf8, text, nullptr), std::nullopt) << "not a Windows-1251 text: " << utf8;
  }
  TableLineConverter converter(table, false, false);
  std::vector<std::string> out;
  std::string_view line = text;
  converter.ConvertLines({&line, 1}, out);
  return table.IsUnicode() ? out.at(0) : Cp1251ToUtf8(out.at(0));
}

TTransTable Load(const std::string& name) {
  std::string error;
  TTransTable table = ReadTableFile(kTables / (name + ".table"), &error);
  EXPECT_EQ(error, "") << name;
  return table;
}

std::vector<std::string> ShippedTableNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kTables))
    if (entry.path().extension() == ".table") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A text of at least two letters, all of them capitals.
bool InCapitals(std::string_view utf8) {
  std::u32string cps;
  DecodeUtf8(utf8, cps);
  int letters = 0;
  for (char32_t c : cps) {
    if (c >= U'а' && c <= U'я') return false;
    if ((c >= U'А' && c <= U'Я') || c == U'Ё' || c == U'Є' || c == U'І' || c == U'Ї' || c == U'Ў' || c == U'Ґ') ++letters;
  }
  return letters >= 2;
}

TEST(ShippedTables, EveryStandardIsShippedWithSamplesAndNotes) {
  const std::vector<std::string> names = ShippedTableNames();
  for (const char* standard : {"ru-gost-7.79-b", "ru-icao-9303", "ru-bgn-pcgn", "ua-2010", "bg-2009", "ru-iso-9",
                               "ru-scientific", "by-2007", "serbian-latin", "kazakh-latin-2021", "ru-ala-lc",
                               "ru-english"})
    EXPECT_NE(std::find(names.begin(), names.end(), standard), names.end()) << standard;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(fs::is_regular_file(kTables / (name + ".txt"))) << "no notes on the table";
    const std::vector<Sample> samples = ReadSamples(kTables / (name + ".samples"));
    const bool capitals = std::any_of(samples.begin(), samples.end(), [](const Sample& s) {
      return !s.reverse && InCapitals(s.text);
    });
    EXPECT_TRUE(capitals) << "no sample in capitals";
  }
}

TEST(ShippedTables, SampleTextsConvertAsTheirStandardWritesThem) {
  for (const std::string& name : ShippedTableNames()) {
    SCOPED_TRACE(name);
    const TTransTable table = Load(name);
    ASSERT_GT(table.TableCount, 0);
    const TTransTable reverse = MakeReverseTable(table);
    for (const Sample& s : ReadSamples(kTables / (name + ".samples")))
      EXPECT_EQ(Convert(s.reverse ? reverse : table, s.text), s.expected) << (s.reverse ? "reverse: " : "") << s.text;
  }
}

// A word of the standard's letters written with a capital converts as the
// same word in small letters with its converted first letter made a capital:
// "Іле" is "Ile" as "іле" is "ıle". The capital of a letter is the one the
// table's own alphabet has: where its targets hold "İ", that is the capital
// of "i" (Kazakh, Turkish), and "I" that of "ı". Every key of every table, as
// the first letter of a word of two and alone, but the signs ъ and ь, which
// begin no word. (Reverse tables read Latin text that several letters
// share, and make no such promise.)
TEST(ShippedTables, ACapitalisedWordConvertsAsItsSmallLettersWithACapital) {
  for (const std::string& name : ShippedTableNames()) {
    SCOPED_TRACE(name);
    const TTransTable table = Load(name);
    bool dottedCapital = false;
    for (int i = 0; i < table.TableCount; ++i)
      dottedCapital = dottedCapital || TableTextToUtf8(table, table.Table[i].Target).find("İ") != std::string::npos;
    const auto capitalised = [&](std::string_view utf8) {
      std::u32string text;
      DecodeUtf8(utf8, text);
      if (!text.empty()) text[0] = dottedCapital && text[0] == U'i' ? U'İ' : UnicodeToUpper(text[0]);
      return EncodeUtf8(text);
    };
    // The pairs as written are the second half; their sources, in small letters.
    std::set<std::string> smallKeys;
    for (int i = table.TableCount / 2; i < table.TableCount; ++i) {
      const std::string key = Utf8ToLower(TableTextToUtf8(table, table.Table[i].Source));
      if (key.empty() || key.find(' ') != std::string::npos || capitalised(key) == key) continue;
      if (!key.starts_with("ъ") && !key.starts_with("ь")) smallKeys.insert(key);
    }
    ASSERT_FALSE(smallKeys.empty());
    for (const std::string& key : smallKeys)
      for (const std::string& word : {key, key + key})
        EXPECT_EQ(Convert(table, capitalised(word)), capitalised(Convert(table, word))) << capitalised(word);
  }
}

// Windows-1251 tables stay readable by a program that knows no other
// encoding; a table needs Unicode only for letters the code page lacks.
TEST(ShippedTables, EncodingsAreTheOnesTheirLettersNeed) {
  for (const char* name : {"ru-gost-7.79-b", "ru-icao-9303", "bg-2009", "ru-english"})
    EXPECT_EQ(Load(name).Encoding, TableEncoding::Cp1251) << name;
  for (const char* name : {"ru-bgn-pcgn", "ua-2010", "ru-iso-9", "ru-scientific", "by-2007", "serbian-latin",
                           "kazakh-latin-2021", "ru-ala-lc"})
    EXPECT_EQ(Load(name).Encoding, TableEncoding::Utf8) << name;
}

// ISO 9 writes one Latin letter for every Cyrillic one, so a Russian text
// comes back from its reverse as it was: every letter in every case pattern
// a text has (small, capitalised, in capitals, one-letter words), and the
// signs ъ ь, whose marks have no case, inside words in capitals. (A sign
// never begins a Russian word, nor follows its first letter alone, where
// "Дь" and "ДЬ" would both be "Dʹ".)
TEST(ShippedTables, Iso9ReadBackGivesTheRussianTextAgain) {
  const TTransTable iso = Load("ru-iso-9");
  const TTransTable back = MakeReverseTable(iso);
  const std::u32string small = U"абвгдеёжзийклмнопрстуфхцчшщъыьэюя";
  const std::u32string capital = U"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ";
  const std::u32string separators = U" ,.-«(\"!";
  std::mt19937 random(18);
  for (int round = 0; round < 300; ++round) {
    std::u32string text;
    const int words = 1 + static_cast<int>(random() % 6);
    for (int w = 0; w < words; ++w) {
      if (w) text += std::u32string{separators[random() % separators.size()], U' '};
      const std::size_t length = 1 + random() % 9;
      const int shape = static_cast<int>(random() % 3);  // small, capitalised, capitals
      for (std::size_t i = 0; i < length; ++i) {
        std::size_t letter;
        do letter = random() % small.size();
        while (i < 2 && (small[letter] == U'ъ' || small[letter] == U'ь'));
        text += (shape == 2 || (shape == 1 && i == 0)) ? capital[letter] : small[letter];
      }
    }
    const std::string russian = EncodeUtf8(text);
    const std::string latin = Convert(iso, russian);
    EXPECT_EQ(Convert(back, latin), russian) << latin;
  }
  const std::vector<std::string> texts = {"ЛЕЖАТЬ", "ПОДЪЕЗД И ОБЪЁМ", "Я, Ю И Ё", "СЪЕЗД", "ВЬЮГА",
                                          "Щука, ЩУКА, щука", EncodeUtf8(capital), EncodeUtf8(small)};
  for (const std::string& text : texts) EXPECT_EQ(Convert(back, Convert(iso, text)), text);
}

}  // namespace
}  // namespace velmar
