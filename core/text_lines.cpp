#include "text_lines.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace velmar {
namespace {

// The first CR or LF at or after `from`, eight bytes at a time: a byte that
// equals CR or LF makes a zero byte in one of the two XORs below.
std::size_t FindBreak(std::string_view text, std::size_t from) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  std::size_t i = from;
  while (i + 8 <= text.size()) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    const std::uint64_t cr = word ^ (kOnes * '\r'), lf = word ^ (kOnes * '\n');
    if ((((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs) break;
    i += 8;
  }
  while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
  return i;
}

// The end of the line starting at `from` and where the next one starts
// (npos, npos when the line has no break in `text`).
std::pair<std::size_t, std::size_t> NextBreak(std::string_view text, std::size_t from) {
  const std::size_t end = FindBreak(text, from);
  if (end == text.size()) return {std::string_view::npos, std::string_view::npos};
  const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
  return {end, end + (crlf ? 2 : 1)};
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto [end, next] = NextBreak(text, start);
    lines.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (next == std::string_view::npos) break;
    start = next;
  }
  return lines;
}

bool LineSplitter::Split(std::string_view piece) {
  lines_.clear();
  std::size_t start = 0;
  if (skipLineFeed_ && !piece.empty()) {
    if (piece.front() == '\n') start = 1;
    skipLineFeed_ = false;
  }
  while (start < piece.size()) {
    const auto [end, next] = NextBreak(piece, start);
    if (end == std::string_view::npos) break;
    if (lines_.empty() && !pending_.empty()) {
      // Only the piece up to the break joins the pending start of the line,
      // so a long line is copied once, not once per piece.
      pending_.append(piece, start, end - start);
      lines_.push_back(pending_);
    } else {
      lines_.push_back(piece.substr(start, end - start));
    }
    // A CR at the very end may be the first half of a CR LF.
    if (piece[end] == '\r' && end + 1 == piece.size()) skipLineFeed_ = true;
    start = next;
  }
  restAt_ = start;
  return !lines_.empty();
}

void LineSplitter::Keep(std::string_view piece) {
  if (!lines_.empty()) pending_.clear();
  if (restAt_ < piece.size()) pending_.append(piece, restAt_, piece.size() - restAt_);
  lines_.clear();
}

}  // namespace velmar
