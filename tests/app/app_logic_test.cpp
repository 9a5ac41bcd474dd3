#include "app_logic.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace velmar {
namespace {

// The start of a VS_VERSIONINFO block: header, key, padding, then the fixed
// file information whose file version sits at bytes 48 and 52.
std::vector<std::byte> VersionResource(std::uint32_t ms, std::uint32_t ls, std::size_t size = 92) {
  std::vector<std::byte> bytes(size);
  const auto put = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::byte>((v >> (8 * i)) & 0xFF);
  };
  put(40, 0xFEEF04BD);  // signature of the fixed file information
  put(48, ms);
  put(52, ls);
  return bytes;
}

TEST(VersionResource, FourPartsFromTheFixedFileInfo) {
  const auto res = VersionResource((1u << 16) | 1, (1u << 16) | 190);
  EXPECT_EQ(VersionString(res), "1.1.1.190");
  EXPECT_EQ(BuildNumber(res), 190);
  const auto big = VersionResource(0xFFFF0000u, 0x0000FFFFu);
  EXPECT_EQ(VersionString(big), "65535.0.0.65535");
  EXPECT_EQ(BuildNumber(big), 65535);
}

TEST(VersionResource, TooShortGivesEmptyAndZero) {
  const auto res = VersionResource((2u << 16) | 3, (4u << 16) | 5, 56);
  EXPECT_EQ(VersionString(res), "2.3.4.5");
  const std::span<const std::byte> shortRes(res.data(), 55);
  EXPECT_EQ(VersionString(shortRes), "");
  EXPECT_EQ(BuildNumber(shortRes), 0);
  EXPECT_EQ(VersionString({}), "");
}

TEST(Settings, ServerAddressWithDefault) {
  EXPECT_EQ(ServerAddress(ProfileFile::Parse("")), kDefaultServer);
  EXPECT_EQ(ServerAddress(ProfileFile::Parse("[Velmar]\r\nServer=\r\n")), kDefaultServer);
  EXPECT_EQ(ServerAddress(ProfileFile::Parse("[velmar]\r\nserver = http://10.0.0.2:81 \r\n")), "http://10.0.0.2:81");
}

class CloseSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("velmar_settings_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Read() const {
    std::ifstream in(dir_ / kSettingsFileName, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::filesystem::path dir_;
};

TEST_F(CloseSettings, FirstCloseCreatesTheFile) {
  ASSERT_TRUE(WriteCloseSettings(dir_ / kSettingsFileName, 0, true));
  EXPECT_EQ(Read(), "[Velmar]\r\nModule=0\r\nAutoTrans=1\r\n");
  ASSERT_TRUE(WriteCloseSettings(dir_ / kSettingsFileName, -1, false));
  EXPECT_EQ(Read(), "[Velmar]\r\nModule=-1\r\nAutoTrans=0\r\n");
}

TEST_F(CloseSettings, OtherKeysAreKept) {
  std::ofstream(dir_ / kSettingsFileName, std::ios::binary)
      << "[Velmar]\r\nShowUpdate=0\r\nServer=http://127.0.0.1:9\r\n[Other]\r\nA=1\r\n";
  ASSERT_TRUE(WriteCloseSettings(dir_ / kSettingsFileName, 2, false));
  const ProfileFile file = ProfileFile::Parse(Read());
  EXPECT_EQ(file.GetString("Velmar", "ShowUpdate"), "0");
  EXPECT_EQ(file.GetString("Velmar", "Module"), "2");
  EXPECT_EQ(file.GetString("Velmar", "AutoTrans"), "0");
  EXPECT_EQ(file.GetString("Other", "A"), "1");
  EXPECT_EQ(ServerAddress(file), "http://127.0.0.1:9");
}

TEST_F(CloseSettings, UnwritableTargetFailsAtTheFirstKey) {
  // A folder where the file should be: nothing can be written there, whoever runs the test.
  std::filesystem::create_directory(dir_ / kSettingsFileName);
  EXPECT_FALSE(WriteCloseSettings(dir_ / kSettingsFileName, 0, true));
  EXPECT_EQ(ServerAddress(dir_ / kSettingsFileName), kDefaultServer);  // and reading it is no error
}

TEST_F(CloseSettings, CapitalWordsAreOnUnlessTheFileSaysZero) {
  const auto path = dir_ / kSettingsFileName;
  EXPECT_TRUE(CapitalWords(path));  // no file yet
  std::ofstream(path, std::ios::binary) << "[Velmar]\r\nCapitalWords=0\r\nModule=3\r\n";
  EXPECT_FALSE(CapitalWords(path));
  ASSERT_TRUE(WriteCapitalWords(path, true));
  EXPECT_TRUE(CapitalWords(path));
  EXPECT_EQ(ProfileFile::Parse(Read()).GetString("Velmar", "Module"), "3");
  ASSERT_TRUE(WriteCapitalWords(path, false));
  EXPECT_EQ(Read(), "[Velmar]\r\nCapitalWords=0\r\nModule=3\r\n");
}

TEST_F(CloseSettings, ServerReadFromTheFile) {
  EXPECT_EQ(ServerAddress(dir_ / kSettingsFileName), kDefaultServer);  // no file yet
  std::ofstream(dir_ / kSettingsFileName, std::ios::binary) << "[Velmar]\r\nServer=http://127.0.0.1:8765\r\n";
  EXPECT_EQ(ServerAddress(dir_ / kSettingsFileName), "http://127.0.0.1:8765");
}

}  // namespace
}  // namespace velmar
