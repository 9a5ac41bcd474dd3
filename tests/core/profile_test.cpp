#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "profile.h"
#include "test_util.h"

namespace velmar {
namespace {
using test::W;

TEST(ProfileFile, ReadsKeysValuesAndSectionsLikeWindows) {
  ProfileFile f = ProfileFile::Parse(W(
      "; comment\r\n"
      "[Information]\r\n"
      "  From  =  Русский  \r\n"
      "To=\"Английский\"\r\n"
      "Description='quoted'\n"
      "Odd=\"only one\r"
      "Eq=a=b\r\n"
      "[ЯЗЫК]\r\n"
      "Ключ=1\r\n"));
  EXPECT_EQ(f.GetString("information", "FROM"), W("Русский"));
  EXPECT_EQ(f.GetString("Information", "To"), W("Английский"));
  EXPECT_EQ(f.GetString("Information", "Description"), "quoted");
  EXPECT_EQ(f.GetString("Information", "Odd"), "\"only one");
  EXPECT_EQ(f.GetString("Information", "Eq"), "a=b");
  EXPECT_EQ(f.GetString(W("язык"), W("КЛЮЧ")), "1");   // Cyrillic names compare without case
  EXPECT_EQ(f.GetString(W("язык"), "missing", "dflt"), "dflt");
  EXPECT_TRUE(f.HasSection(W("Язык")));
  EXPECT_FALSE(f.HasSection("Table"));
}

TEST(ProfileFile, KeyNamedTwiceIsListedOnceAndItsFirstValueWins) {
  ProfileFile f = ProfileFile::Parse(W("[Table]\r\nЖ=Zh\r\nа=a\r\nж=zz\r\n"));
  EXPECT_EQ(f.KeyNames("Table"), (std::vector<std::string>{W("Ж"), W("а")}));
  EXPECT_EQ(f.GetString("Table", W("ж")), "Zh");
}

TEST(ProfileFile, ASectionOfManyKeysReadsInOnePass) {
  // 50,000 keys, each named twice in another case: comparing every name with
  // every earlier one would take minutes.
  std::string text = "[Table]\r\n";
  for (int i = 0; i < 50000; ++i) text += "k" + std::to_string(i) + "=v" + std::to_string(i) + "\r\n";
  for (int i = 0; i < 50000; ++i) text += "K" + std::to_string(i) + "=other\r\n";
  const ProfileFile f = ProfileFile::Parse(text);
  const auto all = f.Entries("table");
  ASSERT_EQ(all.size(), 50000u);
  EXPECT_EQ(all[12345].key, "k12345");
  EXPECT_EQ(all[12345].value, "v12345");
  const auto kept = f.Entries("Table", 500);
  ASSERT_EQ(kept.size(), 500u);
  EXPECT_EQ(kept.back().key, "k499");
  EXPECT_EQ(f.KeyNames("Table").size(), 50000u);
}

TEST(ProfileFile, SetReplacesInPlaceAppendsAndKeepsOtherLines) {
  ProfileFile f = ProfileFile::Parse("; keep me\r\n[Velmar]\r\nModule=3\r\nOther=x\r\n\r\n[Else]\r\nk=v\r\n");
  f.Set("velmar", "MODULE", "0");
  f.Set("Velmar", "AutoTrans", "1");
  f.Set("New", "a", "b");
  EXPECT_EQ(f.Serialize(),
            "; keep me\r\n[Velmar]\r\nMODULE=0\r\nOther=x\r\nAutoTrans=1\r\n\r\n[Else]\r\nk=v\r\n[New]\r\na=b\r\n");
}

TEST(ProfileFile, SaveAndLoadRoundTripAndUnreadableFile) {
  test::TempDir dir;
  ProfileFile f;
  f.Set("Velmar", "ShowUpdate", "0");
  ASSERT_TRUE(f.Save(dir.path() / "VelmarPro.dat"));
  auto back = ProfileFile::Load(dir.path() / "VelmarPro.dat");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->GetInt("Velmar", "ShowUpdate", 1), 0);
  EXPECT_FALSE(ProfileFile::Load(dir.path() / "missing.dat"));
  EXPECT_FALSE(ProfileFile::Load(dir.path()));  // a folder is no profile file
  EXPECT_FALSE(f.Save(dir.path() / "no-such-folder" / "x.dat"));
}

// Evaluated by the compiler, which refuses any overflow on the way.
static_assert(ParseInt32("-0x80000000") == INT32_MIN);
static_assert(ParseInt32("-2147483648") == INT32_MIN);

TEST(ParseInt32, DecimalHexAndRejects) {
  struct Case { const char* text; std::optional<std::int32_t> value; };
  const Case cases[] = {
      {"244", 244}, {"-5", -5}, {"+7", 7}, {"$FF", 255}, {"0x1", 1}, {"0X1f", 31},
      {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}, {"0xFFFFFFFF", -1},
      {"-0x80000000", INT32_MIN}, {"-$80000001", INT32_MAX}, {"-0x1", -1},
      {"2147483648", std::nullopt}, {"", std::nullopt}, {"abc", std::nullopt},
      {"12a", std::nullopt}, {"0x", std::nullopt}, {" 1", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInt32(c.text), c.value) << c.text;
}


// A read-only file is refused and left exactly as it was, mark included; the
// rename would otherwise replace it (it does under Wine and on POSIX).
TEST(WriteFileAtomically, ReadOnlyTargetIsRefusedAndKept) {
  test::TempDir dir;
  const auto path = dir.path() / "locked.table";
  ASSERT_TRUE(WriteFileAtomically(path, "old"));
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  ASSERT_TRUE(IsReadOnlyFile(path));
  WriteFailure why = WriteFailure::None;
  EXPECT_FALSE(WriteFileAtomically(path, "new", &why));
  EXPECT_EQ(why, WriteFailure::ReadOnly);
  ProfileFile f;
  f.Set("Velmar", "Module", "1");
  EXPECT_FALSE(f.Save(path, &why));
  EXPECT_EQ(why, WriteFailure::ReadOnly);
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
  EXPECT_TRUE(IsReadOnlyFile(path));
  EXPECT_FALSE(fs::exists(dir.path() / "locked.table.tmp"));

  WriteFailure missing = WriteFailure::None;
  EXPECT_FALSE(WriteFileAtomically(dir.path() / "no-such-folder" / "x", "x", &missing));
  EXPECT_EQ(missing, WriteFailure::Create);
}

}  // namespace
}  // namespace velmar
