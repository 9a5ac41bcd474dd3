#pragma once
// Counting words, spaces and characters of a Windows-1251 text, for the status
// line under the result box and the statistics window.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text_lines.h"  // SplitLines

namespace velmar {

// Number of maximal runs of bytes outside the word separators: TAB, LF, CR,
// space, "!", ",", "-", ".", ":", ";", "?", "_". Quotes, apostrophes,
// brackets, "/" and the no-break space belong to words.
std::size_t WordCount(std::string_view text);

// Number of space bytes (32); TAB, the no-break space and line breaks are not spaces.
std::size_t SpaceCount(std::string_view text);


// The nine values of the statistics window.
struct TextStatistics {
  std::size_t words = 0;
  std::size_t chars_without_spaces = 0;
  std::size_t chars_with_spaces = 0;
  std::size_t spaces = 0;
  std::size_t lines = 0;
  std::size_t digits = 0;
  std::size_t cyrillic = 0;  // small letters а..я only
  std::size_t latin = 0;     // small letters a..z only
  std::size_t size = 0;      // bytes; equal to chars_with_spaces

  bool operator==(const TextStatistics&) const = default;
};

// Statistics of a list of lines, each taken as followed by CR LF (the last
// one too), fed line by line so that a large text needs no joined copy.
class StatisticsCounter {
 public:
  void AddLine(std::string_view line);
  const TextStatistics& Result() const { return result_; }

 private:
  TextStatistics result_;
};

TextStatistics AnalyseLines(std::span<const std::string_view> lines);
TextStatistics AnalyseLines(std::span<const std::string> lines);

// The status line of a text box holding `text` (its lines joined by CR LF):
// "Символов 11, слов 2, пробелов 1, Размер: 11 Байт", in UTF-8 (the text
// counted is Windows-1251; `decimal` is UTF-8).
std::string StatusLine(std::string_view text, std::string_view decimal);

}  // namespace velmar
