#include "catalogue.h"

#include <algorithm>
#include <cstdio>

#include "cp1251.h"
#include "profile.h"
#include "text_lines.h"

namespace velmar::online {
namespace {

char LatinLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsLatinNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

std::string CatalogueUrl(std::string_view server) {
  while (!server.empty() && server.back() == '/') server.remove_suffix(1);
  return std::string(server) + kCataloguePath;
}

std::string CatalogueFileText(std::string_view body) {
  body = body.substr(0, body.find('\0'));
  std::string text;
  for (std::string_view line : SplitLines(body)) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> SectionNames(std::string_view text) {
  std::vector<std::string> names;
  for (std::string_view line : SplitLines(text)) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[') continue;
    const std::size_t close = line.find(']');
    std::string name(TrimBlanks(line.substr(1, close == std::string_view::npos ? close : close - 1)));
    bool known = false;
    for (const std::string& n : names) known = known || EqualsNoCase(n, name);
    if (!known) names.push_back(std::move(name));
  }
  return names;
}

std::vector<ModuleEntry> ParseModuleCatalogue(std::string_view text, bool cut) {
  const ProfileFile file = ProfileFile::Parse(text);
  std::vector<std::string> sections = SectionNames(text);
  if (cut && !sections.empty()) sections.pop_back();
  std::vector<ModuleEntry> modules;
  for (const std::string& s : sections) {
    modules.push_back({file.GetString(s, "Name"), file.GetString(s, "Desc"), file.GetString(s, "FileName"),
                       file.GetString(s, "URL"), file.GetString(s, "SHA256")});
  }
  return modules;
}

bool EqualsLatinNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LatinLower(a[i]) != LatinLower(b[i])) return false;
  return true;
}

bool EqualsFileNameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Cp1251ToLower(static_cast<unsigned char>(a[i])) != Cp1251ToLower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool IsModuleDownloaded(std::string_view fileName, std::span<const std::string> loadedFileNames) {
  bool found = false;
  for (const std::string& name : loadedFileNames) found = found || EqualsFileNameNoCase(name, fileName);
  return found;
}

bool IsSafeModuleFileName(std::string_view fileName) {
  constexpr std::string_view kExtension = ".table";
  if (fileName.size() <= kExtension.size() || fileName.size() > 200) return false;
  if (!EqualsLatinNoCase(fileName.substr(fileName.size() - kExtension.size()), kExtension)) return false;
  if (fileName.find("..") != std::string_view::npos || fileName.front() == ' ' || fileName.front() == '.')
    return false;
  for (char c : fileName) {
    if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
      return false;
  }
  return !IsReservedDeviceName(fileName);
}

bool IsWebUrl(std::string_view url) {
  std::string_view rest;
  if (StartsWithNoCase(url, "http://")) rest = url.substr(7);
  else if (StartsWithNoCase(url, "https://")) rest = url.substr(8);
  else return false;
  for (char c : url)
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) return false;
  const std::size_t hostEnd = rest.find_first_of("/?#");
  const std::string_view authority = rest.substr(0, hostEnd);
  return !authority.empty() && authority.front() != ':' && authority.front() != '@';
}

bool IsDownloadable(const ModuleEntry& entry) { return IsSafeModuleFileName(entry.FileName) && IsWebUrl(entry.URL); }

std::string DownloadCaption(std::uint64_t position, std::uint64_t maximum, std::string_view decimalSeparator) {
  const double percent =
      maximum == 0 ? 100.0 : static_cast<double>(std::min(position, maximum)) / static_cast<double>(maximum) * 100.0;
  char number[32];
  std::snprintf(number, sizeof number, "%.1f", percent);
  std::string text(number);
  if (const std::size_t dot = text.find('.'); dot != std::string::npos) text.replace(dot, 1, decimalSeparator);
  return "Скачивание файла " + text + "%...";
}

}  // namespace velmar::online
