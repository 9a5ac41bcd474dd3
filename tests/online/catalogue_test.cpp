#include "catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sha256.h"

namespace velmar::online {
namespace {

TEST(CatalogueUrl, JoinsTheServerAddressWithTheCataloguePath) {
  EXPECT_EQ(CatalogueUrl("http://127.0.0.1:8080"), "http://127.0.0.1:8080/zo_velmar/modules/dwl_modules.ini");
  EXPECT_EQ(CatalogueUrl("http://example.org/"), "http://example.org/zo_velmar/modules/dwl_modules.ini");
}

TEST(CatalogueFileText, SplitsAtEveryLineBreakAndStopsAtNul) {
  EXPECT_EQ(CatalogueFileText("[a]\rName=x\nDesc=y\r\nURL=z"), "[a]\r\nName=x\r\nDesc=y\r\nURL=z\r\n");
  EXPECT_EQ(CatalogueFileText(std::string("[a]\nName=x\0[b]\nName=y", 21)), "[a]\r\nName=x\r\n");
  EXPECT_EQ(CatalogueFileText(""), "");
}

TEST(ParseModuleCatalogue, ReadsSectionsInFileOrderWithMissingKeysEmpty) {
  const std::string text =
      "; the maker's modules\r\n"
      "[zeta]\r\nName=Zeta\r\nDesc=Last letter\r\nFileName=zeta.table\r\nURL=http://h/zeta.table\r\n"
      "[alpha]\r\nName = Alpha \r\nFileName=\"alpha.table\"\r\nURL=http://h/alpha.table\r\nSHA256=ab12\r\n"
      "[ZETA]\r\nName=Again\r\n"
      "[empty]\r\n";
  const std::vector<ModuleEntry> modules = ParseModuleCatalogue(text);
  ASSERT_EQ(modules.size(), 3u);
  EXPECT_EQ(modules[0].Name, "Zeta");
  EXPECT_EQ(modules[0].Desc, "Last letter");
  EXPECT_EQ(modules[0].FileName, "zeta.table");
  EXPECT_EQ(modules[0].URL, "http://h/zeta.table");
  EXPECT_EQ(modules[1].Name, "Alpha");
  EXPECT_EQ(modules[1].Desc, "");
  EXPECT_EQ(modules[1].FileName, "alpha.table");
  EXPECT_EQ(modules[1].Sha256, "ab12");
  EXPECT_EQ(modules[2].Name, "");
  EXPECT_EQ(modules[2].URL, "");
}

TEST(ParseModuleCatalogue, AnHtmlPageOrNothingGivesNoModules) {
  EXPECT_TRUE(ParseModuleCatalogue("").empty());
  EXPECT_TRUE(ParseModuleCatalogue("<html><body><h1>404 Not Found</h1></body></html>").empty());
}

TEST(ParseModuleCatalogue, ACutBodyLosesItsLastPossiblyHalfSection) {
  const std::string text = "[a]\r\nName=A\r\nURL=http://h/a.table\r\n[b]\r\nName=B\r\nURL=http://h/b.ta";
  EXPECT_EQ(ParseModuleCatalogue(text, false).size(), 2u);
  const std::vector<ModuleEntry> cut = ParseModuleCatalogue(text, true);
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].Name, "A");
}

TEST(IsModuleDownloaded, EveryLetterMatchesInAnyCaseOtherBytesExactly) {
  // Windows-1251: "\xC0"/"\xE0" capital and small A, "\xCC\xEE\xE9"/"\xEC\xEE\xE9" "Мой"/"мой",
  // "\xA8"/"\xB8" Ё/ё, "\xB2"/"\xB3" Ukrainian І/і; Windows takes each pair for one file name.
  const std::vector<std::string> loaded = {"", "", "Ru-Lat.TABLE", "\xC0z.table", "\xCC\xEE\xE9.table",
                                           "\xA8\xB2.table"};
  EXPECT_TRUE(IsModuleDownloaded("ru-lat.table", loaded));
  EXPECT_TRUE(IsModuleDownloaded("\xC0Z.table", loaded));
  EXPECT_TRUE(IsModuleDownloaded("\xE0z.table", loaded));
  EXPECT_TRUE(IsModuleDownloaded("\xEC\xEE\xE9.table", loaded));
  EXPECT_TRUE(IsModuleDownloaded("\xEC\xCE\xC9.TABLE", loaded));
  EXPECT_TRUE(IsModuleDownloaded("\xB8\xB3.table", loaded));
  EXPECT_FALSE(IsModuleDownloaded("\xE5\xB3.table", loaded));  // е is not ё
  EXPECT_FALSE(IsModuleDownloaded("ru-lat.tab", loaded));
  EXPECT_FALSE(IsModuleDownloaded("\xEC\xEE\xE9.table ", loaded));
  // The built-in tables have no file: their empty name equals an empty FileName.
  EXPECT_TRUE(IsModuleDownloaded("", loaded));
  EXPECT_FALSE(IsModuleDownloaded("", std::vector<std::string>{"a.table"}));
}

TEST(IsSafeModuleFileName, RefusesNamesThatWouldLeaveTheTableFolder) {
  for (const char* good : {"ru-gost.table", "UA 2010.TABLE", "\xC1\xE3-lat.table", "a.b.table"})
    EXPECT_TRUE(IsSafeModuleFileName(good)) << good;
  for (const char* bad :
       {"", ".table", "..\\evil.table", "../evil.table", "sub/evil.table", "sub\\evil.table", "C:evil.table",
        "C:\\Windows\\evil.table", "\\\\server\\share\\evil.table", "..table", "a..table", "evil.exe",
        "evil.table.exe", "evil.table ", "evil.table.", "evil.tab", "con.table", "CON.table", "nul.table",
        "Com1.table", "lpt9.table", "aux .table", "prn.x.table", "conin$.table", "ev?l.table", "ev*l.table",
        "a|b.table", "a<b.table", "a\"b.table", "a\tb.table", " lead.table", ".hidden.table"})
    EXPECT_FALSE(IsSafeModuleFileName(bad)) << bad;
  EXPECT_FALSE(IsSafeModuleFileName(std::string(250, 'a') + ".table"));
}

TEST(IsWebUrl, OnlyAbsoluteHttpAndHttpsWithAHost) {
  for (const char* good : {"http://127.0.0.1:8080/zo_velmar/modules/a.table", "HTTPS://example.org/a.table",
                           "http://example.org"})
    EXPECT_TRUE(IsWebUrl(good)) << good;
  for (const char* bad : {"", "ftp://example.org/a.table", "file:///C:/Windows/win.ini", "C:\\a.table",
                          "\\\\server\\share\\a.table", "http://", "http:///a.table", "http://:80/a",
                          "http://exa mple.org/a", "/zo_velmar/modules/a.table", "javascript:alert(1)"})
    EXPECT_FALSE(IsWebUrl(bad)) << bad;
}

TEST(IsDownloadable, NeedsBothASafeNameAndAWebUrl) {
  EXPECT_TRUE(IsDownloadable({"N", "D", "a.table", "http://h/a.table", ""}));
  EXPECT_FALSE(IsDownloadable({"N", "D", "..\\a.table", "http://h/a.table", ""}));
  EXPECT_FALSE(IsDownloadable({"N", "D", "a.table", "file:///c:/a.table", ""}));
}

TEST(DownloadCaption, OneDecimalWithTheUsersSeparatorStoppingAtTheMaximum) {
  EXPECT_EQ(DownloadCaption(1024, 2048, "."), "Скачивание файла 50.0%...");
  EXPECT_EQ(DownloadCaption(2048, 2048, "."), "Скачивание файла 100.0%...");
  EXPECT_EQ(DownloadCaption(1024, 2048, ","), "Скачивание файла 50,0%...");
  EXPECT_EQ(DownloadCaption(1, 3, "."), "Скачивание файла 33.3%...");
  EXPECT_EQ(DownloadCaption(5000, 2048, "."), "Скачивание файла 100.0%...");
  EXPECT_EQ(DownloadCaption(0, 0, "."), "Скачивание файла 100.0%...");
}

TEST(Sha256, KnownDigests) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, ChunksOfAnySizeGiveTheSameDigest) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += static_cast<char>(i * 7 + i / 13);
  const std::string whole = Sha256Hex(text);
  for (std::size_t step : {1u, 55u, 56u, 63u, 64u, 65u, 1024u}) {
    Sha256 sha;
    for (std::size_t i = 0; i < text.size(); i += step) sha.Update(std::string_view(text).substr(i, step));
    EXPECT_EQ(ToHex(sha.Finish()), whole) << step;
  }
}

TEST(DigestMatches, ComparesHexInEitherCase) {
  Sha256 sha;
  sha.Update("abc");
  const Sha256::Digest digest = sha.Finish();
  EXPECT_TRUE(DigestMatches(digest, "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"));
  EXPECT_FALSE(DigestMatches(digest, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ae"));
  EXPECT_FALSE(DigestMatches(digest, "ba7816bf"));
  EXPECT_FALSE(DigestMatches(digest, ""));
}

}  // namespace
}  // namespace velmar::online
