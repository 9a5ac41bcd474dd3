#pragma once
// What the about window shows and opens. No windows.h here.
#include <string>
#include <string_view>

namespace velmar {

struct AboutLinks {
  std::string web;      // the program's web page: the index of the maker's server
  std::string mail;     // the address shown; the link opens "mailto:" with it
  std::string mailUrl;
  std::string community;  // the program's community page on the same server
};

// From the base address of the maker's server ("http://host:port", with or
// without a trailing slash).
AboutLinks MakeAboutLinks(std::string_view server);

// "Версия: 1.1.1.190" (UTF-8); "Версия: " when the version is unknown.
std::string VersionLine(std::string_view version);

}  // namespace velmar
