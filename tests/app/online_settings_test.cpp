#include <gtest/gtest.h>

#include "app_logic.h"

namespace velmar {
namespace {

ProfileFile Settings(const char* text) { return ProfileFile::Parse(text); }

TEST(SiteAddress, IsTheSiteKeyOrTheServersStartPage) {
  EXPECT_EQ(SiteAddress(Settings("[Velmar]\r\nSite=https://example.org/velmar\r\n")), "https://example.org/velmar");
  EXPECT_EQ(SiteAddress(Settings("[Velmar]\r\nServer=http://10.0.0.1:81\r\n")), "http://10.0.0.1:81/");
  EXPECT_EQ(SiteAddress(Settings("[Velmar]\r\nServer=http://10.0.0.1:81/\r\n")), "http://10.0.0.1:81/");
  EXPECT_EQ(SiteAddress(Settings("")), std::string(kDefaultServer) + "/");
}

TEST(NetTimeoutMs, TakesASensibleNumberAndFallsBackTo15Seconds) {
  EXPECT_EQ(NetTimeoutMs(Settings("[Velmar]\r\nNetTimeout=2000\r\n")), 2000u);
  for (const char* text : {"", "[Velmar]\r\nNetTimeout=abc\r\n", "[Velmar]\r\nNetTimeout=0\r\n",
                           "[Velmar]\r\nNetTimeout=-5\r\n", "[Velmar]\r\nNetTimeout=99999999\r\n"})
    EXPECT_EQ(NetTimeoutMs(Settings(text)), 15000u) << text;
}

}  // namespace
}  // namespace velmar
