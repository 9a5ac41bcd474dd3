#include "edit_rules.h"

#include <system_error>

namespace velmar {

std::string NormaliseLineBreaks(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 16);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r') {
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      text += "\r\n";
    } else if (c == '\n') {
      text += "\r\n";
    } else {
      text += c;
    }
  }
  return text;
}

OutputOptions ToggleOutputOption(OutputOptions options, OutputOption picked) {
  switch (picked) {
    case OutputOption::Underscore:
      options.underscore = !options.underscore;
      options.hyphen = false;
      break;
    case OutputOption::Hyphen:
      options.hyphen = !options.hyphen;
      options.underscore = false;
      break;
    case OutputOption::Compress:
      options.compress = !options.compress;
      break;
    case OutputOption::CapitalWords:
      options.capitalWords = !options.capitalWords;
      break;
  }
  return options;
}

HelpTarget FindHelp(const std::filesystem::path& programFolder) {
  // A name that is a folder is no file to open.
  const auto isFile = [](const std::filesystem::path& p) {
    std::error_code error;
    return std::filesystem::is_regular_file(p, error);
  };
  if (const auto chm = programFolder / "Help.chm"; isFile(chm)) return {HelpSource::HelpFile, chm};
  if (const auto readMe = programFolder / "ReadMe.txt"; isFile(readMe)) return {HelpSource::ReadMe, readMe};
  return {};
}

std::wstring FillPathInsert(std::wstring_view message, std::wstring_view path) {
  std::wstring out;
  for (std::size_t at = 0; at < message.size();) {
    const std::size_t insert = message.find(L"%1", at);
    // "%10" is the tenth insert, not the first followed by a zero.
    if (insert == std::wstring_view::npos) {
      out += message.substr(at);
      break;
    }
    out += message.substr(at, insert - at);
    const bool first = insert + 2 >= message.size() || message[insert + 2] < L'0' || message[insert + 2] > L'9';
    if (first)
      out += path;
    else
      out += message.substr(insert, 2);
    at = insert + 2;
  }
  return out;
}

}  // namespace velmar
