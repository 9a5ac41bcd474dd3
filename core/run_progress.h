#pragma once
// What a conversion run shows while it works, and the bookkeeping that lets
// characters outside Windows-1251 pass through a run unchanged.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tables.h"

namespace velmar {

// Width of the progress bar's frame and of its fill at 100 %.
inline constexpr int kProgressBarWidth = 60;

// The progress display after `progress` (zero-based index of the line done
// last) of `lineCount` lines: the fill width and the status text.
struct ProgressView {
  int width = 0;
  std::string text;  // UTF-8

  friend bool operator==(const ProgressView&, const ProgressView&) = default;
};

// progress * 60 / lineCount to the nearest pixel, halves to the even neighbour.
int ProgressWidth(std::int64_t progress, std::int64_t lineCount);

// "Идет процесс транслитерации 37,5%..." with one digit after `decimal`.
std::string ProgressText(std::int64_t progress, std::int64_t lineCount, std::string_view decimal);

// The text shown after the last line when an output option is on.
std::string FinishingText();
// The text shown while the result is put in place.
std::string CompletingText();

class RunProgress {
 public:
  RunProgress(std::int64_t lineCount, std::string decimal);

  std::int64_t LineCount() const { return lineCount_; }
  ProgressView View(std::int64_t progress) const;
  // The first progress after `progress` whose view differs from View(progress),
  // or LineCount() when the view stays as it is up to the last line. The view
  // only ever grows with the progress, so a run reports at most a few thousand
  // times however long its text is.
  std::int64_t NextChange(std::int64_t progress) const;

 private:
  std::int64_t lineCount_;
  std::string decimal_;
};

// A copy of the table without the pairs that hold the stand-in byte: then no
// pair can match, make or split a stand-in, and only the removal of a line's
// first character can drop one (a pair that deletes the added blank).
TTransTable WithoutStandInPairs(TTransTable table);

// Indices, counted over the whole text in order, of the stand-ins that the
// conversion of `lines` into `results` removed: the first stand-in of every
// line whose result holds one stand-in less than the line.
std::vector<std::size_t> RemovedStandIns(std::span<const std::string_view> lines,
                                         std::span<const std::string> results);

}  // namespace velmar
