#include "thread_velmar.h"

#include <algorithm>
#include <span>

#include "cp1251.h"
#include "engine.h"
#include "table_converter.h"
#include "text_lines.h"
#include "worker_failure.h"

namespace velmar {
namespace {

// The text is split into lines a piece at a time, so a run holds the views of
// one piece, never one per line of the whole text.
constexpr std::size_t kPieceBytes = 64 * 1024;

// The end of the piece of `text` that starts at `from`: about kPieceBytes
// long and ending just after a line break (a CR LF is never cut in two).
std::size_t PieceEnd(std::string_view text, std::size_t from) {
  const std::size_t at = std::min(from + kPieceBytes, text.size());
  if (at == text.size()) return at;
  const std::size_t brk = text.find_first_of("\r\n", at);
  if (brk == std::string_view::npos) return text.size();
  return brk + (text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n' ? 2 : 1);
}

std::int64_t CountLines(std::string_view text) {
  std::int64_t count = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = PieceEnd(text, at);
    count += static_cast<std::int64_t>(SplitLines(text.substr(at, end - at)).size());
    at = end;
  }
  return count;
}

// Hands out the lines of a text in order, a piece at a time.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : text_(text) {}

  // Up to `count` further lines, all from one piece (so maybe fewer).
  std::span<const std::string_view> Next(std::size_t count) {
    if (used_ == lines_.size()) {
      const std::size_t end = PieceEnd(text_, at_);
      lines_ = SplitLines(text_.substr(at_, end - at_));
      used_ = 0;
      at_ = end;
    }
    const std::size_t n = std::min(count, lines_.size() - used_);
    const std::span<const std::string_view> out(lines_.data() + used_, n);
    used_ += n;
    return out;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  std::vector<std::string_view> lines_;
  std::size_t used_ = 0;
};

std::size_t CountStandIns(std::span<const std::string_view> lines) {
  const char standIn = static_cast<char>(kCp1251Undefined);
  std::size_t n = 0;
  for (std::string_view line : lines) n += static_cast<std::size_t>(std::count(line.begin(), line.end(), standIn));
  return n;
}

}  // namespace

TThreadVelmar::TThreadVelmar(RunSnapshot snapshot, std::string decimal, Callbacks callbacks)
    : snapshot_(std::move(snapshot)),
      progress_(CountLines(snapshot_.text), std::move(decimal)),
      callbacks_(std::move(callbacks)) {}

TThreadVelmar::~TThreadVelmar() {
  stop_ = true;
  Join();
}

void TThreadVelmar::Start() { thread_ = std::thread([this] { Execute(); }); }

void TThreadVelmar::Join() {
  if (thread_.joinable()) thread_.join();
}

// Whatever goes wrong ends the run, never the program: the window learns of
// it with the done report.
void TThreadVelmar::Execute() noexcept {
  failure_ = FailureOf(
      [&] {
        if (callbacks_.started) callbacks_.started();
        Convert();
      },
      kNotEnoughMemory);
  if (failure_.empty() && stop_) return;
  if (!failure_.empty()) {
    resultText_.clear();
    resultText_.shrink_to_fit();
    removedStandIns_.clear();
  }
  NotifyQuietly(callbacks_.done);
}

void TThreadVelmar::Convert() {
  const std::int64_t n = progress_.LineCount();
  callbacks_.progress(0);

  // Lines are converted in batches that end where the display would change:
  // the progress after line i is i, and it is shown only when it looks
  // different. Each batch goes straight into the result; only with stand-ins
  // in the text are a batch's lines kept one by one, to see which it lost.
  // The UTF-8 text of a Unicode table holds every character itself: no stand-ins.
  TableLineConverter converter(snapshot_.table,
                               ConversionOptions{snapshot_.underscore, snapshot_.hyphen, snapshot_.capitalWords});
  const bool standIns = !snapshot_.table.IsUnicode() &&
                        snapshot_.text.find(static_cast<char>(kCp1251Undefined)) != std::string::npos;
  LineCursor cursor(snapshot_.text);
  TableCompressState compressState;
  compressState.unicode = snapshot_.table.IsUnicode();
  std::string piece;
  std::vector<std::string> results;
  std::size_t standInsBefore = 0;
  std::int64_t shown = 0;
  std::int64_t next = 0;
  while (next < n && !stop_) {
    const std::int64_t change = progress_.NextChange(shown);
    const std::int64_t end = std::min(change + 1, n);
    while (next < end) {
      const auto lines = cursor.Next(static_cast<std::size_t>(end - next));
      piece.clear();
      if (standIns) {
        results.clear();
        converter.ConvertLines(lines, results);
        for (std::size_t removed : velmar::RemovedStandIns(lines, results))
          removedStandIns_.push_back(standInsBefore + removed);
        standInsBefore += CountStandIns(lines);
        for (const std::string& line : results) {
          piece += line;
          piece += "\r\n";
        }
      } else {
        converter.ConvertLinesTo(lines, "\r\n", piece);
      }
      if (snapshot_.compress)
        CompressAppend(compressState, piece, resultText_);
      else
        resultText_ += piece;
      next += static_cast<std::int64_t>(lines.size());
    }
    if (change < n) {
      shown = change;
      callbacks_.progress(shown);
    }
  }
}

}  // namespace velmar
