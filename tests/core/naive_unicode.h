#pragma once
// The conversion exactly as written down, on Unicode characters: one pair
// after the other, a fresh string for every replacement, every length a count
// of characters. The Unicode engine is checked against it.
#include <string>
#include <string_view>

#include "tables.h"
#include "unicode_table.h"

namespace velmar::naive {

inline std::u32string ReplaceAll(const std::u32string& text, const std::u32string& pattern,
                                 const std::u32string& replacement) {
  if (pattern.empty()) return text;
  std::u32string out;
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = text.find(pattern, pos);
    if (hit == std::u32string::npos) break;
    out += text.substr(pos, hit - pos);
    out += replacement;
    pos = hit + pattern.size();
  }
  out += text.substr(pos);
  return out;
}

// The table's pairs as code points, decoded once.
struct UnicodePairs {
  std::vector<std::u32string> sources, targets;
  explicit UnicodePairs(const TTransTable& table) {
    for (int i = 0; i < table.TableCount; ++i) {
      sources.push_back(TableTextToCodePoints(table, table.Table[i].Source));
      targets.push_back(TableTextToCodePoints(table, table.Table[i].Target));
    }
  }
};

inline std::u32string ConvertLineUnicode(std::u32string_view line, const UnicodePairs& table, bool underscore,
                                         bool hyphen) {
  std::u32string text = U" " + std::u32string(line);
  if (underscore) text = ReplaceAll(text, U" ", U"_");
  if (hyphen) text = ReplaceAll(text, U" ", U"-");
  for (std::size_t len = 8; len >= 2; --len)
    for (std::size_t i = 0; i < table.sources.size(); ++i)
      if (table.sources[i].size() == len) text = ReplaceAll(text, table.sources[i], table.targets[i]);
  for (std::size_t i = 0; i < table.sources.size(); ++i)
    text = ReplaceAll(text, table.sources[i], table.targets[i]);
  return text.empty() ? text : text.substr(1);
}

}  // namespace velmar::naive
