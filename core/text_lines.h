#pragma once
// Lines of a text: breaks are CR LF, a lone CR or a lone LF.
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmar {

// Splits a text into lines. A break at the very end does not start another
// line, and an empty text has no lines. The views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

// The same for a text that comes in pieces: a line may span any number of
// pieces, and a CR LF may be cut between two. The work is linear in the text,
// however long its lines are.
class LineSplitter {
 public:
  // Calls onLines(std::span<const std::string_view>) with the lines completed
  // by this piece (the views live until onLines returns).
  template <typename OnLines>
  void Feed(std::string_view piece, OnLines&& onLines) {
    if (Split(piece)) onLines(std::span<const std::string_view>(lines_));
    Keep(piece);
  }
  // Calls onLines with the last line when the text did not end with a break.
  template <typename OnLines>
  void Finish(OnLines&& onLines) {
    if (!pending_.empty()) {
      lines_.assign(1, pending_);
      onLines(std::span<const std::string_view>(lines_));
    }
    *this = LineSplitter();
  }

 private:
  // Fills lines_ with the lines the piece completes; true when there are any.
  bool Split(std::string_view piece);
  // Keeps the unfinished end of the piece for the next one.
  void Keep(std::string_view piece);

  std::string pending_;     // the start of a line not yet ended
  std::size_t restAt_ = 0;  // where in the piece the unfinished line starts
  std::vector<std::string_view> lines_;
  bool skipLineFeed_ = false;  // the last piece ended with CR
};

}  // namespace velmar
