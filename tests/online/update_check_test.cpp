#include "update_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace velmar::online {
namespace {

std::string Catalogue(const std::string& ver, const std::string& bytes) {
  return "[Other]\r\nVer=999\r\n[VelmarPro]\r\nVer=" + ver + "\r\nFullVer=1.1.1." + ver +
         "\r\nURL=http://127.0.0.1:1/setup.exe\r\nDesc=Новое\r\nSaveName=setup.exe\r\nBytes=" + bytes + "\r\n";
}

TEST(UpdateCheck, OfferedOnlyForAHigherBuild) {
  const struct {
    const char* ver;
    bool offered;
  } cases[] = {{"191", true}, {"190", false}, {"189", false}, {"0191", true}, {"+191", true},
               {"-5", false}, {"9223372036854775807", true}};
  for (const auto& c : cases) {
    const auto offer = NewerUpdate(Catalogue(c.ver, "100"), 190, ".");
    EXPECT_EQ(offer.has_value(), c.offered) << c.ver;
  }
  const auto offer = NewerUpdate(Catalogue("0191", "100"), 190, ".");
  ASSERT_TRUE(offer);
  EXPECT_EQ(offer->Ver, 191);
  EXPECT_EQ(offer->FullVer, "1.1.1.0191");
  EXPECT_EQ(offer->SaveName, "setup.exe");
  EXPECT_EQ(offer->Bytes, 100);
  // A running program without a version resource counts as build 0.
  EXPECT_TRUE(NewerUpdate(Catalogue("1", "100"), BuildOfVersion(""), "."));
}

// A catalogue that did not arrive, is empty, is no INI text or has an
// unreadable Ver or Bytes ends the check without a word.
TEST(UpdateCheck, UnusableCataloguesOfferNothing) {
  for (const std::string& text :
       {std::string(), std::string("<html><body>404 Not Found</body></html>"), std::string("[Other]\r\nVer=500\r\n"),
        Catalogue("", "100"), Catalogue("19x", "100"), Catalogue("191", ""), Catalogue("191", "lots"),
        Catalogue("99999999999999999999", "1"), Catalogue("191", "1e400"), Catalogue("191", "nan"),
        Catalogue("0x1FF", "1"), Catalogue("191", "+-3")}) {
    EXPECT_FALSE(NewerUpdate(text, 190, ".")) << text;
  }
}

TEST(UpdateCheck, BytesRoundHalfToEvenWithTheUsersSeparator) {
  const struct {
    const char* text;
    const char* separator;
    std::int64_t expected;
  } cases[] = {{"12.5", ".", 12}, {"13.5", ".", 14}, {"12,5", ",", 12}, {"1048576", ",", 1048576},
               {"0.4", ".", 0}, {"-2.5", ".", -2}, {"2.6e3", ".", 2600}, {"+7", ".", 7}};
  for (const auto& c : cases) EXPECT_EQ(ParseBytes(c.text, c.separator), c.expected) << c.text;
  // The other separator is no part of a number.
  EXPECT_FALSE(ParseBytes("12.5", ","));
  EXPECT_FALSE(ParseBytes("12,5", "."));
}

TEST(UpdateCheck, SizesOutsideTheProgressBarsRangeAreUnknown) {
  const struct {
    std::int64_t bytes;
    bool known;
  } cases[] = {{0, false}, {-1, false}, {1, true}, {2147483647, true}, {2147483648LL, false}};
  for (const auto& c : cases) EXPECT_EQ(IsKnownSize(c.bytes), c.known) << c.bytes;
  EXPECT_EQ(DownloadSizeText(0, ","), "Размер для загрузки: неизвестен");
  EXPECT_EQ(DownloadSizeText(2147483648LL, ","), "Размер для загрузки: неизвестен");
  EXPECT_EQ(DownloadingText("setup.exe", -3, ","), "Загрузка setup.exe [неизвестен]...");
  EXPECT_EQ(DownloadProgressCaption(1536, 0, ","), "Скачивание файла (1,50 Кб)...");
}

TEST(UpdateCheck, WindowTextsKeepTheirSpacing) {
  EXPECT_EQ(CurrentVersionText("1.1.1.190"), "Текущая версия:        1.1.1.190");
  EXPECT_EQ(AvailableVersionText("2.0 \xE1\xE5\xF2\xE0"), "Доступная версия:     2.0 бета");
  EXPECT_EQ(DownloadSizeText(1048576, ","), "Размер для загрузки: 1,00 Мб");
  EXPECT_EQ(DownloadingText("VelmarPro-setup.exe", 1048576, ","), "Загрузка VelmarPro-setup.exe [1,00 Мб]...");
  EXPECT_EQ(DownloadProgressCaption(1024, 2048, "."), "Скачивание файла 50.0%...");
  EXPECT_EQ(DownloadProgressCaption(4096, 2048, ","), "Скачивание файла 100,0%...");
}

TEST(UpdateCheck, BuildOfVersionIsTheFourthPart) {
  EXPECT_EQ(BuildOfVersion("1.1.1.190"), 190);
  EXPECT_EQ(BuildOfVersion("1.1.1"), 0);
  EXPECT_EQ(BuildOfVersion(""), 0);
}

TEST(UpdateCheck, ShowUpdateSettingAndTurningItOff) {
  EXPECT_TRUE(ShowUpdateEnabled(ProfileFile{}));
  EXPECT_TRUE(ShowUpdateEnabled(ProfileFile::Parse("[Velmar]\r\nShowUpdate=1\r\n")));
  EXPECT_FALSE(ShowUpdateEnabled(ProfileFile::Parse("[velmar]\r\nshowupdate=0\r\n")));

  const auto dir = std::filesystem::temp_directory_path() / "velmar_update_check_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const auto settings = dir / "VelmarPro.dat";
  ASSERT_TRUE(TurnShowUpdateOff(settings));  // no file yet: it is created
  std::ofstream(settings, std::ios::app | std::ios::binary) << "[Other]\r\nKeep=1\r\n";
  ASSERT_TRUE(TurnShowUpdateOff(settings));
  std::stringstream text;
  text << std::ifstream(settings, std::ios::binary).rdbuf();
  EXPECT_EQ(text.str(), "[Velmar]\r\nShowUpdate=0\r\n[Other]\r\nKeep=1\r\n");
  EXPECT_FALSE(ShowUpdateEnabled(ProfileFile::Parse(text.str())));
  std::filesystem::remove_all(dir);
}

TEST(UpdateCheck, SaveNameStaysInTheTempFolder) {
  for (const char* good : {"VelmarPro-setup.exe", "setup 1.1.exe"}) EXPECT_TRUE(IsSafeSaveName(good)) << good;
  for (const char* bad : {"", "..\\x.exe", "a/b.exe", "C:x.exe", "con.exe", "NUL", ".hidden", "a*.exe", "x\ty"})
    EXPECT_FALSE(IsSafeSaveName(bad)) << bad;
}

TEST(UpdateCheck, CatalogueAddressUnderTheServer) {
  EXPECT_EQ(UpdateCatalogueUrl("http://127.0.0.1:8080/"), "http://127.0.0.1:8080/zo_velmar/versions.ini");
  EXPECT_EQ(UpdateCatalogueUrl("http://h"), "http://h/zo_velmar/versions.ini");
}

}  // namespace
}  // namespace velmar::online
