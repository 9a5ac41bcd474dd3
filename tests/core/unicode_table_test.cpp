#include <gtest/gtest.h>

#include "table_file.h"
#include "test_util.h"
#include "unicode_case.h"
#include "unicode_table.h"
#include "utf8.h"

namespace velmar {
namespace {

TEST(UnicodeCase, SimpleLowerCaseMapping) {
  struct Case {
    char32_t upper, lower;
  } cases[] = {
      {U'A', U'a'},         {U'z', U'z'},           {U'7', U'7'},
      {U'\u0416', U'\u0436'},  // Ж
      {U'\u0402', U'\u0452'},  // Ђ, outside the contiguous Cyrillic block
      {U'\u04D8', U'\u04D9'},  // Ә, every other code point
      {U'\u0130', U'i'},       // İ: its simple mapping, not the two-character full one
      {U'I', U'i'},            // no Turkish rule without a locale
      {U'\u01C5', U'\u01C6'},  // ǅ, title case
      {U'\u00DF', U'\u00DF'},  // ß has no simple upper or lower form of its own
      {U'\u1E9E', U'\u00DF'},  // ẞ
      {U'\U00010400', U'\U00010428'},  // Deseret, beyond 16 bits
      {U'\u2160', U'\u2170'},          // Roman numeral one
  };
  for (const auto& c : cases) EXPECT_EQ(UnicodeToLower(c.upper), c.lower) << std::hex << static_cast<std::uint32_t>(c.upper);
  EXPECT_EQ(Utf8ToLower("\xD0\x89\xD0\xA3\xD0\x91\xD0\x90\xD0\x92 Dž"), "\xD1\x99\xD1\x83\xD0\xB1\xD0\xB0\xD0\xB2 dž");
}

// One small table, written as Windows-1251, UTF-8 and UTF-16.
const char* const kTableUtf8 =
    "[Information]\r\nFrom=Русский\r\nTo=Latin\r\nFromIcon=189\r\n"
    "[Table]\r\nЖ=Zh\r\n_Е=_Ye\r\nЩ=Shch\r\n";

// UTF-16 little-endian bytes swapped into big-endian.
std::string BigEndian(std::string bytes) {
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
  return bytes;
}

std::string Utf16Le(std::string_view utf8) {
  std::u32string cps;
  DecodeUtf8(utf8, cps);
  std::string out;
  for (char32_t c : cps) {
    auto unit = [&](char32_t u) {
      out += static_cast<char>(u & 0xFF);
      out += static_cast<char>(u >> 8);
    };
    if (c < 0x10000) {
      unit(c);
    } else {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

TEST(UnicodeTableFile, TheSameTableInAllThreeEncodings) {
  test::TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
    TableEncoding encoding;
  } cases[] = {
      {"cp1251.table", test::W(kTableUtf8), TableEncoding::Cp1251},
      {"utf8.table", std::string("\xEF\xBB\xBF") + kTableUtf8, TableEncoding::Utf8},
      {"utf16.table", "\xFF\xFE" + Utf16Le(kTableUtf8), TableEncoding::Utf16Le},
  };
  for (const auto& c : cases) {
    std::string error = "untouched";
    TTransTable t = ReadTableFile(dir.Write(c.name, c.bytes), &error);
    EXPECT_EQ(error, "untouched") << c.name;
    EXPECT_EQ(t.Encoding, c.encoding) << c.name;
    EXPECT_EQ(TableTextToUtf8(t, t.From), "Русский") << c.name;
    EXPECT_EQ(t.FromIcon, 189) << c.name;
    ASSERT_EQ(t.TableCount, 6) << c.name;
    const std::pair<const char*, const char*> pairs[] = {{"ж", "zh"}, {" е", " ye"}, {"щ", "shch"},
                                                         {"Ж", "Zh"}, {" Е", " Ye"}, {"Щ", "Shch"}};
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(TableTextToUtf8(t, t.Table[i].Source), pairs[i].first) << c.name << " " << i;
      EXPECT_EQ(TableTextToUtf8(t, t.Table[i].Target), pairs[i].second) << c.name << " " << i;
    }
    TTransTable reverse = MakeReverseTable(t);
    EXPECT_EQ(reverse.Encoding, c.encoding) << c.name;
  }
}

TEST(UnicodeTableFile, WithoutAByteOrderMarkAFileIsWindows1251AsItStands) {
  test::TempDir dir;
  // UTF-8 bytes without the mark are read as Windows-1251 characters, as always.
  TTransTable t = ReadTableFile(dir.Write("plain.table", "[Table]\r\n\xC5\xA1=s\r\n"));
  EXPECT_FALSE(t.IsUnicode());
  ASSERT_EQ(t.TableCount, 2);
  EXPECT_EQ(t.Table[1].Source, "\xC5\xA1");
  EXPECT_EQ(t.Table[0].Source, "\xE5\xA2");  // Windows-1251 capitals Е and Ў, lower-cased
}

TEST(UnicodeTableFile, MalformedTextAfterAByteOrderMarkIsAnErrorNotATable) {
  test::TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
    const char* error;
  } cases[] = {
      {"stray.table", "\xEF\xBB\xBF[Table]\r\n\xD0=x\r\n", "malformed UTF-8 at byte offset 12"},
      {"cut.table", "\xEF\xBB\xBF[Table]\r\nx=\xE2\x82", "malformed UTF-8 at byte offset 14"},
      {"latin1.table", "\xEF\xBB\xBF[Table]\r\n\xE9=e\r\n", "malformed UTF-8 at byte offset 12"},
      {"odd.table", "\xFF\xFE" + Utf16Le("[Table]") + "x", "malformed UTF-16 at byte offset 16"},
      {"surrogate.table", "\xFF\xFE" + Utf16Le("[Table]\r\n") + std::string("\x00\xD8x\x00", 4),
       "malformed UTF-16 at byte offset 20"},
      // Files that would read as a silent empty table.
      {"doubled-utf8.table", "\xEF\xBB\xBF\xEF\xBB\xBF[Table]\r\nx=y\r\n", "byte order mark twice"},
      {"doubled-utf16.table", "\xFF\xFE\xFF\xFE" + Utf16Le("[Table]\r\nx=y\r\n"), "byte order mark twice"},
      {"big-endian.table", "\xFE\xFF" + BigEndian(Utf16Le("[Table]\r\nx=y\r\n")), "UTF-16 big-endian"},
      {"utf32.table", std::string("\xFF\xFE\0\0[\0\0\0", 8), "UTF-32"},
  };
  for (const auto& c : cases) {
    std::string error;
    TTransTable t = ReadTableFile(dir.Write(c.name, c.bytes), &error);
    EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
    EXPECT_EQ(t.TableCount, 0) << c.name;
    EXPECT_EQ(t.From, "") << c.name;
    EXPECT_EQ(t.FilePath, dir.path() / c.name) << c.name;
  }
}

TEST(UnicodeTableFile, KeysCompareByUnicodeCase) {
  // Њ and К differ only in a byte that Windows-1251 case folding would merge.
  TTransTable t = TableFromProfile(
      ProfileFile::Parse("[Table]\r\nЊ=Nj\r\nК=K\r\nж=zh\r\nЖ=ZH\r\nǄ=DŽ\r\n"), TableEncoding::Utf8);
  ASSERT_EQ(t.TableCount, 8);
  const std::pair<const char*, const char*> pairs[] = {{"њ", "nj"}, {"к", "k"}, {"ж", "zh"}, {"ǆ", "dž"},
                                                       {"Њ", "Nj"}, {"К", "K"}, {"Ж", "ZH"}, {"Ǆ", "DŽ"}};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(t.Table[i], (TCharTable{pairs[i].first, pairs[i].second})) << i;
}

TEST(UnicodeTableFile, StringsCrossToOtherEncodings) {
  TTransTable t;
  t.Encoding = TableEncoding::Utf8;
  EXPECT_EQ(TableTextToCp1251(t, "Šabac Шабац"), test::W("?abac Шабац"));
  EXPECT_EQ(TableTextToCodePoints(t, "Šš😀"), U"Šš😀");
  TTransTable bytes;
  EXPECT_EQ(TableTextToUtf8(bytes, test::W("Шабац")), "Шабац");
  EXPECT_EQ(TableTextToCodePoints(bytes, test::W("Ша")), U"Ша");
}

}  // namespace
}  // namespace velmar
