#include "about_links.h"

#include <gtest/gtest.h>

namespace velmar {
namespace {

TEST(AboutWindow, LinksLeadToTheServersPagesWithOrWithoutATrailingSlash) {
  for (const char* server : {"http://127.0.0.1:8080", "http://127.0.0.1:8080/", "http://127.0.0.1:8080//"}) {
    const AboutLinks links = MakeAboutLinks(server);
    EXPECT_EQ(links.web, "http://127.0.0.1:8080/") << server;
    EXPECT_EQ(links.community, "http://127.0.0.1:8080/community.html") << server;
  }
  const AboutLinks links = MakeAboutLinks("http://example.org");
  EXPECT_EQ(links.mailUrl, "mailto:" + links.mail);
  EXPECT_NE(links.mail.find('@'), std::string::npos);
}

}  // namespace
}  // namespace velmar
