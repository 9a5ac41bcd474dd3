#pragma once
// The conversion exactly as written down, one pair after the other, a fresh
// string for every replacement. The fast engine is checked against it.
#include <string>
#include <string_view>

#include "tables.h"

namespace velmar::naive {

inline std::string ReplaceAll(const std::string& text, const std::string& pattern,
                              const std::string& replacement) {
  if (pattern.empty()) return text;
  std::string out;
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = text.find(pattern, pos);
    if (hit == std::string::npos) break;
    out += text.substr(pos, hit - pos);
    out += replacement;
    pos = hit + pattern.size();
  }
  out += text.substr(pos);
  return out;
}

inline std::string ConvertLine(std::string_view line, const TTransTable& table, bool underscore,
                               bool hyphen) {
  std::string text = " " + std::string(line);
  if (underscore) text = ReplaceAll(text, " ", "_");
  if (hyphen) text = ReplaceAll(text, " ", "-");
  for (std::size_t len = 8; len >= 2; --len)
    for (int i = 0; i < table.TableCount; ++i)
      if (table.Table[i].Source.size() == len)
        text = ReplaceAll(text, table.Table[i].Source, table.Table[i].Target);
  for (int i = 0; i < table.TableCount; ++i)
    text = ReplaceAll(text, table.Table[i].Source, table.Table[i].Target);
  return text.empty() ? text : text.substr(1);
}

}  // namespace velmar::naive
