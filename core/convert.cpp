#include "convert.h"

#include "engine.h"

namespace velmar {

std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find(pattern, pos)) != std::string_view::npos;
       pos = hit + pattern.size()) {
    out.append(text, pos, hit - pos);
    out.append(replacement);
  }
  out.append(text, pos);
  return out;
}

std::string ConvertLine(std::string_view line, const TTransTable& table, bool underscore, bool hyphen) {
  return LineConverter(table, underscore, hyphen).Convert(line);
}

std::string CompressText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  CompressState state;
  CompressAppend(state, text, out);
  return out;
}

}  // namespace velmar
