#pragma once
// Words and capitals as the conversion sees them, always on the text as the
// user wrote it: which characters are letters, where words start and end,
// and which places stand in a word written in capitals.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velmar {

// Letters with a capital, letters with a small form, letters without case;
// apostrophes, which belong to a word when they stand between two letters
// ("м'ясо", "Pod”yezd"); everything else (blanks, digits, punctuation).
enum class CharKind : std::uint8_t { Other, Joiner, Caseless, Small, Capital };

// A character of a Windows-1251 table's text (a byte) or of a Unicode
// table's text (a code point). Windows-1251 letters have case only where the
// code page holds both forms.
CharKind Cp1251Kind(unsigned char b);
CharKind UnicodeKind(char32_t cp);

// The words of one line. A character is in capitals when it is a capital and
// the word goes on in capitals (the next letter with case is a capital, or,
// at the end of the word, the one before it is), or when it has no case and
// the letters with case around it in its word are capitals.
class WordMap {
 public:
  void Analyse(std::span<const CharKind> kinds);

  std::size_t size() const { return inWord_.size(); }
  bool InWord(std::size_t i) const { return inWord_[i] != 0; }
  bool InCapitals(std::size_t i) const { return capitals_[i] != 0; }
  bool AnyCapitals() const { return anyCapitals_; }
  // [a, b) holds a character of a word, and every one of them is in capitals.
  bool CapitalSpan(std::size_t a, std::size_t b) const {
    const std::uint32_t words = wordsBefore_[b] - wordsBefore_[a];
    return words > 0 && capitalsBefore_[b] - capitalsBefore_[a] == words;
  }
  bool WordStartAt(std::size_t a) const { return a == 0 || inWord_[a - 1] == 0; }
  bool WordEndAt(std::size_t b) const { return b >= inWord_.size() || inWord_[b] == 0; }

 private:
  std::vector<std::uint8_t> inWord_, capitals_;
  std::vector<std::uint32_t> wordsBefore_, capitalsBefore_;  // counts below each place
  std::vector<CharKind> around_;                             // scratch
  bool anyCapitals_ = false;
};

// Whether any character of the line stands in capitals, without keeping a map.
bool AnyCapitals(std::span<const CharKind> kinds);

}  // namespace velmar
