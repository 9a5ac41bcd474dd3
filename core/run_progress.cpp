#include "run_progress.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "cp1251.h"

namespace velmar {

int ProgressWidth(std::int64_t progress, std::int64_t lineCount) {
  if (lineCount <= 0) return 0;
  const std::int64_t scaled = progress * kProgressBarWidth;
  std::int64_t q = scaled / lineCount;
  const std::int64_t twiceRest = 2 * (scaled % lineCount);
  if (twiceRest > lineCount || (twiceRest == lineCount && q % 2 != 0)) ++q;
  return static_cast<int>(q);
}

std::string ProgressText(std::int64_t progress, std::int64_t lineCount, std::string_view decimal) {
  const double percent = lineCount > 0 ? static_cast<double>(progress) * 100.0 / static_cast<double>(lineCount) : 0.0;
  char number[64];
  std::snprintf(number, sizeof number, "%.1f", percent);
  std::string digits(number);
  if (const auto dot = digits.find('.'); dot != std::string::npos) digits.replace(dot, 1, decimal);
  return "Идет процесс транслитерации " + digits + "%...";
}

std::string FinishingText() { return "Обработка дополнительных комманд..."; }
std::string CompletingText() { return "Завершено, подготовка текста..."; }

RunProgress::RunProgress(std::int64_t lineCount, std::string decimal)
    : lineCount_(lineCount), decimal_(std::move(decimal)) {}

ProgressView RunProgress::View(std::int64_t progress) const {
  return {ProgressWidth(progress, lineCount_), ProgressText(progress, lineCount_, decimal_)};
}

std::int64_t RunProgress::NextChange(std::int64_t progress) const {
  const ProgressView current = View(progress);
  // Binary search for the first later progress with another view.
  std::int64_t lo = progress + 1, hi = lineCount_;
  while (lo < hi) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    if (View(mid) == current)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

TTransTable WithoutStandInPairs(TTransTable table) {
  const auto holdsStandIn = [](const TCharTable& pair) {
    const char standIn = static_cast<char>(kCp1251Undefined);
    return pair.Source.find(standIn) != std::string::npos || pair.Target.find(standIn) != std::string::npos;
  };
  int kept = 0;
  for (int i = 0; i < table.TableCount; ++i)
    if (!holdsStandIn(table.Table[i])) {
      if (kept != i) table.Table[kept] = std::move(table.Table[i]);
      ++kept;
    }
  for (int i = kept; i < table.TableCount; ++i) table.Table[i] = {};
  table.TableCount = kept;
  return table;
}

std::vector<std::size_t> RemovedStandIns(std::span<const std::string_view> lines,
                                         std::span<const std::string> results) {
  const char standIn = static_cast<char>(kCp1251Undefined);
  std::vector<std::size_t> removed;
  std::size_t seen = 0;
  for (std::size_t i = 0; i < lines.size() && i < results.size(); ++i) {
    const auto before = static_cast<std::size_t>(std::count(lines[i].begin(), lines[i].end(), standIn));
    if (before == 0) continue;
    const auto after = static_cast<std::size_t>(std::count(results[i].begin(), results[i].end(), standIn));
    if (after < before) removed.push_back(seen);
    seen += before;
  }
  return removed;
}

}  // namespace velmar
