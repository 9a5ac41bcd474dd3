#include "unicode_case.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "utf8.h"

namespace velmar {
namespace {

// Every stride-th code point from first to last lower-cases to itself plus delta.
struct LowerRange {
  char32_t first;
  char32_t last;
  std::int32_t stride;
  std::int32_t delta;
};

constexpr LowerRange kLowerRanges[] = {
#include "unicode_lower_data.inc"
};

}  // namespace

char32_t UnicodeToLower(char32_t cp) {
  if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
  const auto* end = std::end(kLowerRanges);
  const auto* r = std::upper_bound(std::begin(kLowerRanges), end, cp,
                                   [](char32_t c, const LowerRange& range) { return c < range.first; });
  if (r == std::begin(kLowerRanges)) return cp;
  --r;
  if (cp > r->last || (cp - r->first) % static_cast<char32_t>(r->stride) != 0) return cp;
  return static_cast<char32_t>(static_cast<std::int32_t>(cp) + r->delta);
}

std::u32string UnicodeToLower(std::u32string_view text) {
  std::u32string out(text);
  for (char32_t& c : out) c = UnicodeToLower(c);
  return out;
}

std::string Utf8ToLower(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    char32_t cp;
    int n = DecodeUtf8Sequence(utf8, cp);
    if (n <= 0) {
      out += utf8.front();
      utf8.remove_prefix(1);
      continue;
    }
    AppendUtf8(out, UnicodeToLower(cp));
    utf8.remove_prefix(static_cast<std::size_t>(n));
  }
  return out;
}

bool Utf8EqualsNoCase(std::string_view a, std::string_view b) { return Utf8ToLower(a) == Utf8ToLower(b); }

}  // namespace velmar
