#pragma once
// The conversion with capitals and contexts exactly as written down: one pair
// after the other, a fresh string for every replacement, every character
// carrying the places of the line as the user wrote it that it came from, and
// every question about words answered by walking the line from scratch.
// The context engine is checked against it.
#include <string>
#include <string_view>
#include <vector>

#include "cp1251.h"
#include "tables.h"
#include "unicode_case.h"
#include "utf8.h"
#include "words.h"

namespace velmar::naive {

class ContextConversion {
 public:
  ContextConversion(const TTransTable& table, bool underscore, bool hyphen, bool capitalWords = true)
      : table_(table),
        unicode_(table.IsUnicode()),
        capitalWords_(capitalWords),
        blank_(underscore ? U'_' : hyphen ? U'-' : U' ') {}

  // A line in the table's encoding.
  std::string Convert(std::string_view line) {
    line_ = U" " + Chars(line);
    for (char32_t& c : line_)
      if (c == U' ') c = blank_;
    std::vector<Char> text;
    for (std::size_t i = 0; i < line_.size(); ++i) text.push_back({line_[i], i, i + 1});
    for (std::size_t len = 8; len >= 2; --len)
      for (int i = 0; i < table_.TableCount; ++i)
        if (Chars(table_.Table[i].Source).size() == len) text = ReplaceAll(text, table_.Table[i]);
    for (int i = 0; i < table_.TableCount; ++i) text = ReplaceAll(text, table_.Table[i]);
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
      if (unicode_) AppendUtf8(out, text[i].c);
      else out += static_cast<char>(text[i].c);
    }
    return out;
  }

 private:
  struct Char {
    char32_t c;
    std::size_t a, b;  // the places of the line it came from: [a, b)
  };

  std::u32string Chars(std::string_view s) const {
    std::u32string out;
    if (unicode_) DecodeUtf8(s, out);
    else
      for (char c : s) out += static_cast<char32_t>(static_cast<unsigned char>(c));
    return out;
  }
  CharKind Kind(std::size_t i) const {
    return unicode_ ? UnicodeKind(line_[i]) : Cp1251Kind(static_cast<unsigned char>(line_[i]));
  }
  char32_t Upper(char32_t c) const { return unicode_ ? UnicodeToUpper(c) : Cp1251ToUpper(static_cast<unsigned char>(c)); }
  char32_t Lower(char32_t c) const { return unicode_ ? UnicodeToLower(c) : Cp1251ToLower(static_cast<unsigned char>(c)); }
  bool Letter(std::size_t i) const { return Kind(i) >= CharKind::Caseless; }
  bool Cased(std::size_t i) const { return Kind(i) >= CharKind::Small; }

  // A letter, or one of a run of apostrophes with a letter on each side.
  bool InWord(std::size_t i) const {
    if (Letter(i)) return true;
    if (Kind(i) != CharKind::Joiner) return false;
    std::size_t l = i, r = i;
    while (l > 0 && Kind(l - 1) == CharKind::Joiner) --l;
    while (r + 1 < line_.size() && Kind(r + 1) == CharKind::Joiner) ++r;
    return l > 0 && Letter(l - 1) && r + 1 < line_.size() && Letter(r + 1);
  }
  // The nearest letter with case in the word, walking from i; Other: none.
  CharKind Nearest(std::size_t i, int step) const {
    for (std::ptrdiff_t k = static_cast<std::ptrdiff_t>(i) + step;
         k >= 0 && k < static_cast<std::ptrdiff_t>(line_.size()) && InWord(static_cast<std::size_t>(k)); k += step)
      if (Cased(static_cast<std::size_t>(k))) return Kind(static_cast<std::size_t>(k));
    return CharKind::Other;
  }
  bool InCapitals(std::size_t i) const {
    if (!InWord(i) || Kind(i) == CharKind::Small) return false;
    const CharKind before = Nearest(i, -1), after = Nearest(i, +1);
    if (Kind(i) == CharKind::Capital) return after != CharKind::Other ? after == CharKind::Capital : before == CharKind::Capital;
    return (before != CharKind::Other || after != CharKind::Other) && before != CharKind::Small &&
           after != CharKind::Small;
  }
  bool CapitalSpan(std::size_t a, std::size_t b) const {
    bool any = false;
    for (std::size_t i = a; i < b; ++i) {
      if (!InWord(i)) continue;
      if (!InCapitals(i)) return false;
      any = true;
    }
    return any;
  }
  bool Holds(const PairContext& c, std::size_t a, std::size_t b) const {
    if (c.Left()) {
      const bool start = a == 0 || !InWord(a - 1);
      const bool after = a > 0 && c.after.find(Lower(line_[a - 1])) != std::u32string::npos;
      if (!((c.start && start) || after)) return false;
    }
    if (c.Right()) {
      const bool end = b >= line_.size() || !InWord(b);
      const bool before = b < line_.size() && c.before.find(Lower(line_[b])) != std::u32string::npos;
      if (!((c.end && end) || before)) return false;
    }
    return true;
  }

  std::vector<Char> ReplaceAll(const std::vector<Char>& text, const TCharTable& pair) const {
    const std::u32string source = Chars(pair.Source), target = Chars(pair.Target);
    if (source.empty()) return text;
    std::u32string capital, capitalTarget;
    for (char32_t c : target) capitalTarget += Upper(c);
    bool firstCasedIsCapital = false, seenCased = false, anySmall = false;
    for (char32_t c : source) {
      const CharKind k = unicode_ ? UnicodeKind(c) : Cp1251Kind(static_cast<unsigned char>(c));
      if (k == CharKind::Small) anySmall = true;
      if (!seenCased && (k == CharKind::Small || k == CharKind::Capital)) {
        seenCased = true;
        firstCasedIsCapital = k == CharKind::Capital;
      }
    }
    if (firstCasedIsCapital && anySmall)
      for (char32_t c : source) capital += Upper(c);
    const PairContext* context = pair.Context > 0 ? &table_.Contexts[pair.Context - 1] : nullptr;

    std::vector<Char> out;
    std::size_t i = 0;
    while (i < text.size()) {
      bool literal = i + source.size() <= text.size(), inCapitals = !capital.empty() && literal;
      for (std::size_t k = 0; k < source.size() && (literal || inCapitals); ++k) {
        if (text[i + k].c != source[k]) literal = false;
        if (!capital.empty() && text[i + k].c != capital[k]) inCapitals = false;
      }
      if (literal || inCapitals) {
        const std::size_t a = text[i].a, b = text[i + source.size() - 1].b;
        const bool capitals = capitalWords_ && CapitalSpan(a, b);
        if ((literal || capitals) && (!context || Holds(*context, a, b))) {
          for (char32_t c : capitals ? capitalTarget : target) out.push_back({c, a, b});
          i += source.size();
          continue;
        }
      }
      out.push_back(text[i]);
      ++i;
    }
    return out;
  }

  const TTransTable& table_;
  bool unicode_;
  bool capitalWords_;
  char32_t blank_;
  std::u32string line_;
};

}  // namespace velmar::naive
