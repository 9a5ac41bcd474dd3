#include "words.h"

#include <array>

#include "cp1251.h"
#include "unicode_case.h"

namespace velmar {
namespace {

bool IsLetter(CharKind k) { return k >= CharKind::Caseless; }
bool HasCase(CharKind k) { return k >= CharKind::Small; }

bool IsApostrophe(char32_t cp) {
  switch (cp) {
    case U'\'': case U'`': case U'"': case U'\u00B4': case U'\u2019': case U'\u201D': case U'\u02BC':
      return true;
    default:
      return false;
  }
}

CharKind KindOf(char32_t cp, char32_t lower, char32_t upper) {
  if (lower != cp) return CharKind::Capital;
  if (upper != cp) return CharKind::Small;
  if (IsUnicodeLetter(cp)) return CharKind::Caseless;
  return IsApostrophe(cp) ? CharKind::Joiner : CharKind::Other;
}

struct Cp1251Kinds {
  std::array<CharKind, 256> kind{};
  Cp1251Kinds() {
    for (int b = 0; b < 256; ++b) {
      const auto c = static_cast<unsigned char>(b);
      const char32_t cp = Cp1251ToUnicode(c);
      kind[b] = KindOf(cp, Cp1251ToLower(c) != c ? cp + 1 : cp, Cp1251ToUpper(c) != c ? cp + 1 : cp);
    }
  }
};

// Most text is in the first 2048 code points: their kinds looked up once.
struct LowKinds {
  std::array<CharKind, 0x800> kind{};
  LowKinds() {
    for (char32_t cp = 0; cp < 0x800; ++cp) kind[cp] = KindOf(cp, UnicodeToLower(cp), UnicodeToUpper(cp));
  }
};

// Marks the places of the line that belong to words; calls word(first, end)
// for each word.
template <typename Word>
void ForEachWord(std::span<const CharKind> kinds, std::vector<std::uint8_t>* inWord, Word word) {
  const std::size_t n = kinds.size();
  std::size_t i = 0;
  while (i < n) {
    if (!IsLetter(kinds[i])) {
      if (inWord) (*inWord)[i] = 0;
      ++i;
      continue;
    }
    const std::size_t first = i;
    for (;;) {
      while (i < n && IsLetter(kinds[i])) ++i;
      // Apostrophes between two letters belong to the word.
      std::size_t j = i;
      while (j < n && kinds[j] == CharKind::Joiner) ++j;
      if (j == i || j >= n || !IsLetter(kinds[j])) break;
      i = j;
    }
    if (inWord)
      for (std::size_t k = first; k < i; ++k) (*inWord)[k] = 1;
    word(first, i);
  }
}

// Whether place i of the word [first, end) is in capitals, given the kinds of
// the nearest letters with case before and after it (Other: none).
bool CapitalAt(CharKind self, CharKind before, CharKind after) {
  if (self == CharKind::Small) return false;
  if (self == CharKind::Capital) return after != CharKind::Other ? after == CharKind::Capital : before == CharKind::Capital;
  if (before == CharKind::Other && after == CharKind::Other) return false;
  return before != CharKind::Small && after != CharKind::Small;
}

}  // namespace

CharKind Cp1251Kind(unsigned char b) {
  static const Cp1251Kinds kinds;
  return kinds.kind[b];
}

CharKind UnicodeKind(char32_t cp) {
  static const LowKinds low;
  if (cp < 0x800) return low.kind[cp];
  return KindOf(cp, UnicodeToLower(cp), UnicodeToUpper(cp));
}

void WordMap::Analyse(std::span<const CharKind> kinds) {
  const std::size_t n = kinds.size();
  inWord_.assign(n, 0);
  capitals_.assign(n, 0);
  around_.assign(n, CharKind::Other);
  anyCapitals_ = false;
  ForEachWord(kinds, &inWord_, [&](std::size_t first, std::size_t end) {
    // around_: the nearest letter with case before each place, then after.
    CharKind last = CharKind::Other;
    for (std::size_t k = first; k < end; ++k) {
      around_[k] = last;
      if (HasCase(kinds[k])) last = kinds[k];
    }
    CharKind next = CharKind::Other;
    for (std::size_t k = end; k-- > first;) {
      if (CapitalAt(kinds[k], around_[k], next)) {
        capitals_[k] = 1;
        anyCapitals_ = true;
      }
      if (HasCase(kinds[k])) next = kinds[k];
    }
  });
  wordsBefore_.resize(n + 1);
  capitalsBefore_.resize(n + 1);
  wordsBefore_[0] = capitalsBefore_[0] = 0;
  for (std::size_t i = 0; i < n; ++i) {
    wordsBefore_[i + 1] = wordsBefore_[i] + inWord_[i];
    capitalsBefore_[i + 1] = capitalsBefore_[i] + capitals_[i];
  }
}

bool AnyCapitals(std::span<const CharKind> kinds) {
  // The same judgement as WordMap, walking each word once: a capital after a
  // capital puts both in capitals; letters without case are judged when the
  // next letter with case (or the word's end) comes.
  bool any = false;
  ForEachWord(kinds, nullptr, [&](std::size_t first, std::size_t end) {
    CharKind last = CharKind::Other;
    bool caselessSince = false;
    for (std::size_t k = first; k < end && !any; ++k) {
      const CharKind kind = kinds[k];
      if (!HasCase(kind)) {
        caselessSince = true;
        continue;
      }
      if (caselessSince && CapitalAt(CharKind::Caseless, last, kind)) any = true;
      if (kind == CharKind::Capital && last == CharKind::Capital) any = true;
      last = kind;
      caselessSince = false;
    }
    if (caselessSince && CapitalAt(CharKind::Caseless, last, CharKind::Other)) any = true;
  });
  return any;
}

}  // namespace velmar
