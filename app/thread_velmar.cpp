#include "thread_velmar.h"

#include <algorithm>
#include <span>

#include "convert.h"
#include "cp1251.h"
#include "engine.h"
#include "table_converter.h"
#include "text_lines.h"

namespace velmar {

TThreadVelmar::TThreadVelmar(RunSnapshot snapshot, std::string decimal, Callbacks callbacks)
    : snapshot_(std::move(snapshot)),
      lines_(SplitLines(snapshot_.text)),
      progress_(static_cast<std::int64_t>(lines_.size()), std::move(decimal)),
      callbacks_(std::move(callbacks)) {}

TThreadVelmar::~TThreadVelmar() {
  stop_ = true;
  Join();
}

void TThreadVelmar::Start() { thread_ = std::thread([this] { Execute(); }); }

void TThreadVelmar::Join() {
  if (thread_.joinable()) thread_.join();
}

void TThreadVelmar::Execute() {
  if (callbacks_.started) callbacks_.started();
  const std::span<const std::string_view> lines(lines_);
  const auto n = static_cast<std::int64_t>(lines.size());
  callbacks_.progress(0);

  // Lines are converted in batches that end where the display would change:
  // the progress after line i is i, and it is shown only when it looks different.
  TableLineConverter converter(snapshot_.table, snapshot_.underscore, snapshot_.hyphen);
  std::vector<std::string> results;
  results.reserve(lines.size());
  std::int64_t shown = 0;
  std::int64_t next = 0;
  while (next < n && !stop_) {
    const std::int64_t change = progress_.NextChange(shown);
    const std::int64_t end = std::min(change + 1, n);
    converter.ConvertLines(lines.subspan(static_cast<std::size_t>(next), static_cast<std::size_t>(end - next)),
                           results);
    next = end;
    if (change < n) {
      shown = change;
      callbacks_.progress(shown);
    }
  }
  if (stop_) return;

  // The UTF-8 text of a Unicode table holds every character itself.
  const char standIn = static_cast<char>(kCp1251Undefined);
  if (!snapshot_.table.IsUnicode() && snapshot_.text.find(standIn) != std::string::npos)
    removedStandIns_ = velmar::RemovedStandIns(lines, results);

  std::size_t size = 0;
  for (const std::string& line : results) size += line.size() + 2;
  std::string joined;
  joined.reserve(size);
  for (const std::string& line : results) {
    joined += line;
    joined += "\r\n";
  }
  resultText_ = snapshot_.compress ? CompressText(snapshot_.table, joined) : std::move(joined);
  callbacks_.done();
}

}  // namespace velmar
