#pragma once
// The statistics run: the lines of a text box are counted on a worker thread
// while the wait window shows, and the result appears in the statistics window.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "text_stats.h"

namespace velmar {

// The worker of a statistics run. It owns its copy of the lines and touches
// no window: it counts at below-normal priority on a thread of its own and
// then calls `done` on that thread (which must only hand the news on). The
// owner destroys it: that stops the count early and waits for the thread.
class TThreadInfo {
 public:
  // How the lines are counted; tests put a failing one in.
  using Analyse = std::function<void(const std::vector<std::string>& lines, StatisticsCounter& counter,
                                     const std::atomic<bool>& stop)>;
  static void CountLines(const std::vector<std::string>& lines, StatisticsCounter& counter,
                         const std::atomic<bool>& stop);

  TThreadInfo(std::vector<std::string> lines, std::function<void()> done, Analyse analyse = CountLines);
  ~TThreadInfo();
  TThreadInfo(const TThreadInfo&) = delete;
  TThreadInfo& operator=(const TThreadInfo&) = delete;

  // Valid after done: the counts, or why the count failed (then non-empty).
  const TextStatistics& Result() const { return counter_.Result(); }
  const std::string& Failure() const { return failure_; }

 private:
  void Execute() noexcept;

  std::vector<std::string> lines_;
  std::function<void()> done_;
  Analyse analyse_;
  StatisticsCounter counter_;
  std::string failure_;
  std::atomic<bool> stop_{false};
  std::thread thread_;  // last: it starts when everything else is ready
};

// Starts a statistics run for the main window `owner` and returns at once. In
// this order: the wait window is created with its marquee running, the owner
// is disabled, the wait window shows "Разбор свойств текста...", the lines
// are read with `readLines` (Windows-1251, see StatisticsLinesOf: on a large
// box this takes a while, and the user sees the wait window meanwhile), the
// statistics window is created hidden, and the worker starts with the lines.
//
// When the worker is done, on the UI thread (from the message loop of the
// caller), in this order: the nine values are written into the statistics
// window (the size formatted with `decimal`, UTF-8), `onCounted` runs
// (the main window refreshes its status line and gives the status label its
// link look there), the owner is enabled, the wait window is destroyed, and
// the statistics window is shown modally; when the user closes it, it is
// destroyed and the run is over. A count that failed ends the run with the
// failure in the program's error box instead. Closing the owner during the
// run destroys the run's windows and its worker and ends it quietly.
//
// Throws when a window or the thread cannot be created, or reading the lines
// fails; the owner is enabled again then.
void StartStatisticsRun(HWND owner, std::function<std::vector<std::string>()> readLines, std::string decimal,
                        std::function<void()> onCounted = {});
// The same for lines at hand.
void StartStatisticsRun(HWND owner, std::vector<std::string> lines, std::string decimal,
                        std::function<void()> onCounted = {});

}  // namespace velmar
