#include "text_lines.h"

#include <utility>

namespace velmar {
namespace {

// The end of the line starting at `from` and where the next one starts
// (npos, npos when the line has no break in `text`).
std::pair<std::size_t, std::size_t> NextBreak(std::string_view text, std::size_t from) {
  const std::size_t end = text.find_first_of("\r\n", from);
  if (end == std::string_view::npos) return {end, end};
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
