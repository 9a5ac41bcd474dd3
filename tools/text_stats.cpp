#include "text_stats.h"

#include <array>

#include "size_format.h"

namespace velmar {
namespace {

constexpr std::array<bool, 256> MakeSeparators() {
  std::array<bool, 256> table{};
  for (unsigned char c : {'\t', '\n', '\r', ' ', '!', ',', '-', '.', ':', ';', '?', '_'}) table[c] = true;
  return table;
}
constexpr std::array<bool, 256> kSeparator = MakeSeparators();

bool IsSeparator(char c) { return kSeparator[static_cast<unsigned char>(c)]; }

}  // namespace

std::size_t WordCount(std::string_view text) {
  std::size_t words = 0;
  bool in_word = false;
  for (char c : text) {
    const bool separator = IsSeparator(c);
    if (!separator && !in_word) ++words;
    in_word = !separator;
  }
  return words;
}

std::size_t SpaceCount(std::string_view text) {
  std::size_t spaces = 0;
  for (char c : text) spaces += c == ' ';
  return spaces;
}

void StatisticsCounter::AddLine(std::string_view line) {
  // The CR LF after the line separates words and holds no space, so counting
  // the line alone gives the same words and spaces as counting the joined text.
  const std::size_t spaces = SpaceCount(line);
  const std::size_t length = line.size() + 2;
  result_.words += WordCount(line);
  result_.spaces += spaces;
  result_.chars_with_spaces += length;
  result_.chars_without_spaces += length - spaces;
  result_.size += length;
  ++result_.lines;
  for (char ch : line) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= '0' && c <= '9') ++result_.digits;
    else if (c >= 'a' && c <= 'z') ++result_.latin;
    else if (c >= 0xE0) ++result_.cyrillic;
  }
}

TextStatistics AnalyseLines(std::span<const std::string_view> lines) {
  StatisticsCounter counter;
  for (std::string_view line : lines) counter.AddLine(line);
  return counter.Result();
}

TextStatistics AnalyseLines(std::span<const std::string> lines) {
  StatisticsCounter counter;
  for (const std::string& line : lines) counter.AddLine(line);
  return counter.Result();
}

std::string StatusLine(std::string_view text, std::string_view decimal) {
  return "Символов " + std::to_string(text.size()) + ", слов " + std::to_string(WordCount(text)) + ", пробелов " +
         std::to_string(SpaceCount(text)) + ", Размер: " + FormatSize(static_cast<double>(text.size()), decimal);
}

}  // namespace velmar
