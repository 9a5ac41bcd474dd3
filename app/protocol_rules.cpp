#include "protocol_rules.h"

#include <charconv>

namespace velmar {

std::optional<std::int32_t> ParseTableIndex(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  text.remove_prefix(i);
  // from_chars takes a minus sign but no plus sign.
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  std::int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || at != end || text.empty()) return std::nullopt;
  return value;
}

std::string NotAnIntegerMessage(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

}  // namespace velmar
