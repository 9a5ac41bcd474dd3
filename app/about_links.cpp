#include "about_links.h"

namespace velmar {

AboutLinks MakeAboutLinks(std::string_view server) {
  std::string base(server);
  while (!base.empty() && base.back() == '/') base.pop_back();
  AboutLinks links;
  links.web = base + "/";
  links.mail = "velmarpro@example.org";
  links.mailUrl = "mailto:" + links.mail;
  links.community = base + "/community.html";
  return links;
}

std::string VersionLine(std::string_view version) { return "Версия: " + std::string(version); }

}  // namespace velmar
