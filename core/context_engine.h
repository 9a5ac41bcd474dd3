#pragma once
// The conversion engine for capitals and contexts: the pair-by-pair
// algorithm in which every character of the working text remembers which
// characters of the line as the user wrote it it came from. That is what a
// pair asks about: whether the text it replaces stands in a word written in
// capitals (then its target is written in capitals, and a source written
// with a capital and small letters also matches the same letters in
// capitals), and whether its context holds (a word start or end, the letter
// before or after). It works on characters: bytes of a Windows-1251 table,
// code points of a Unicode table (whose lines are UTF-8). It compiles the
// table as the other engines do: runs of one-character pairs become one map,
// with an image of each character in and out of capitals, and a pair whose
// first character the text does not hold is skipped.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tables.h"
#include "words.h"

namespace velmar {

class ContextLineConverter {
 public:
  // capitalWords off: every pair matches and writes exactly what it says, and
  // only the contexts follow the text as written.
  ContextLineConverter(const TTransTable& table, bool underscore, bool hyphen, bool capitalWords = true);
  ~ContextLineConverter();
  ContextLineConverter(const ContextLineConverter&) = delete;
  ContextLineConverter& operator=(const ContextLineConverter&) = delete;

  // A line without line breaks, in the table's encoding.
  std::string Convert(std::string_view line);
  // Appends the conversion of the line to out.
  void ConvertTo(std::string_view line, std::string& out);

  // The most characters the working text of one line may grow to; more
  // throws std::bad_alloc (each character costs about a dozen bytes here).
  static constexpr std::size_t kDefaultResultLimit = std::size_t{1} << 27;
  void SetResultLimit(std::size_t characters) { resultLimit_ = characters; }

 private:
  struct Compiled;
  struct Step;

  void Decode(std::string_view line);
  void ApplyMap(const Step& step);
  void ApplyPair(const Step& step);
  bool ContextHolds(const PairContext& context, std::uint32_t a, std::uint32_t b) const;
  void Survey();
  bool MayOccur(char32_t c) const { return present_[c & kPresentMask]; }
  void Grow(std::size_t characters) const;

  static constexpr std::size_t kPresentMask = 4095;

  std::unique_ptr<Compiled> compiled_;
  bool Capitals(std::uint32_t a, std::uint32_t b) const { return capitalWords_ && words_.CapitalSpan(a, b); }

  bool unicode_ = false;
  bool capitalWords_ = true;
  char32_t blank_ = U' ';
  std::size_t resultLimit_ = kDefaultResultLimit;

  // The line as the user wrote it (a blank before it, the blank option
  // applied), its kinds and words; the working text with, for each of its
  // characters, the first and past-the-last character of the line it came from.
  std::u32string line_;
  std::vector<CharKind> kinds_;
  WordMap words_;
  std::u32string text_, nextText_;
  std::vector<std::uint32_t> from_, to_, nextFrom_, nextTo_;
  std::array<bool, kPresentMask + 1> present_{};  // a superset of what text_ holds, by a hash
};

}  // namespace velmar
