#pragma once
// The conversion engine for Unicode tables. It gives exactly the characters of
// ConvertLine's pair-by-pair algorithm applied to Unicode characters (code
// points; every length a count of characters), working on UTF-8 throughout:
// in well-formed UTF-8 a character's bytes match only where that character
// stands, so byte matching is character matching. It compiles the table once:
//  - runs of consecutive one-character pairs become one character map, whose
//    image of a character is composed when the character first occurs in the
//    text (never for characters the text does not hold, so a run of chained
//    pairs cannot blow up ahead of the text), and kept only while it is short;
//  - a pair is skipped when two neighbouring bytes of its source do not occur
//    side by side in the text;
//  - many lines are converted in one buffer, separated by a line feed, when
//    no pair can see or make a line feed, and until a character's image
//    turns out long: from then on lines go one at a time, so that the engine
//    never holds more than the plain algorithm would for one line.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "converter_calls.h"
#include "tables.h"

namespace velmar {

class UnicodeLineConverter : public LineConverterCalls<UnicodeLineConverter> {
 public:
  // The table's strings are read in the table's encoding (UTF-8 for a
  // Unicode table, Windows-1251 characters otherwise).
  UnicodeLineConverter(const TTransTable& table, bool underscore, bool hyphen);
  ~UnicodeLineConverter();
  UnicodeLineConverter(const UnicodeLineConverter&) = delete;
  UnicodeLineConverter& operator=(const UnicodeLineConverter&) = delete;

  // Lines are well-formed UTF-8 without line breaks.

  // Lines are gathered into buffers of about this many bytes.
  void SetBlockSize(std::size_t bytes) { blockSize_ = bytes; }

  // The most bytes the conversion of one line (or block of lines), or any
  // text on its way there, may grow to. A conversion that would make more
  // throws std::bad_alloc before it allocates it, as the pair-by-pair
  // algorithm would run out of memory on it; the converter stays usable.
  static constexpr std::size_t kDefaultResultLimit = std::size_t{1} << 30;
  void SetResultLimit(std::size_t bytes);

 private:
  friend class LineConverterCalls<UnicodeLineConverter>;
  struct Compiled;

  template <typename Emit>
  void ConvertBlocks(std::span<const std::string_view> lines, Emit emit);
  // False when the buffer's lines must be converted one at a time instead.
  bool Run();

  std::unique_ptr<Compiled> compiled_;
  char blank_ = ' ';
  std::size_t blockSize_ = 4096;
  std::string buf_, next_;
};

extern template class LineConverterCalls<UnicodeLineConverter>;

// The conversion of one line by the pair-by-pair algorithm on Unicode characters.
std::u32string ConvertLineUnicode(std::u32string_view line, const TTransTable& table, bool underscore, bool hyphen);

// CompressText on Unicode characters: separators are the blank and the control
// characters (U+0000 to U+001F and U+007F to U+009F).
bool IsUnicodeSeparator(char32_t cp);
std::u32string CompressText(std::u32string_view text);
// Streaming form on well-formed UTF-8: feed the text in pieces, in order.
struct Utf8CompressState {
  bool anyWord = false;
  bool pendingSeparator = false;
};
void CompressUtf8Append(Utf8CompressState& state, std::string_view piece, std::string& out);

}  // namespace velmar
