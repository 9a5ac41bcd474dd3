#include "unicode_case.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "utf8.h"

namespace velmar {
namespace {

// Every stride-th code point from first to last maps to itself plus delta.
struct CaseRange {
  char32_t first;
  char32_t last;
  std::int32_t stride;
  std::int32_t delta;
};

constexpr CaseRange kLowerRanges[] = {
#include "unicode_lower_data.inc"
};
constexpr CaseRange kUpperRanges[] = {
#include "unicode_upper_data.inc"
};

struct LetterRange {
  char32_t first;
  char32_t last;
};
constexpr LetterRange kLetterRanges[] = {
#include "unicode_letter_data.inc"
};

template <std::size_t N>
char32_t MapByRanges(const CaseRange (&ranges)[N], char32_t cp) {
  const auto* end = std::end(ranges);
  const auto* r = std::upper_bound(std::begin(ranges), end, cp,
                                   [](char32_t c, const CaseRange& range) { return c < range.first; });
  if (r == std::begin(ranges)) return cp;
  --r;
  if (cp > r->last || (cp - r->first) % static_cast<char32_t>(r->stride) != 0) return cp;
  return static_cast<char32_t>(static_cast<std::int32_t>(cp) + r->delta);
}

}  // namespace

char32_t UnicodeToLower(char32_t cp) {
  if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
  return MapByRanges(kLowerRanges, cp);
}

char32_t UnicodeToUpper(char32_t cp) {
  if (cp < 0x80) return (cp >= 'a' && cp <= 'z') ? cp - 32 : cp;
  return MapByRanges(kUpperRanges, cp);
}

bool IsUnicodeLetter(char32_t cp) {
  if (cp < 0x80) return (cp | 0x20) >= 'a' && (cp | 0x20) <= 'z';
  const auto* r = std::upper_bound(std::begin(kLetterRanges), std::end(kLetterRanges), cp,
                                   [](char32_t c, const LetterRange& range) { return c < range.first; });
  return r != std::begin(kLetterRanges) && cp <= (r - 1)->last;
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
