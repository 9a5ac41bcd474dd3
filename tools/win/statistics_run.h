#pragma once
// The statistics run: the lines of a text box are counted on a worker thread
// while the wait window shows, and the result appears in the statistics window.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "text_stats.h"

namespace velmar {

// Where a worker leaves its result; shared with the UI thread, so it stays
// valid until the completion has read it even if the windows are gone.
struct StatisticsHandOver {
  TextStatistics result;
  std::atomic<bool> ready = false;
};

// The worker of a statistics run. It owns its copy of the lines and touches
// no window: it counts at below-normal priority on a thread of its own,
// leaves the result in the hand-over, posts `message` to `receiver` and ends
// together with its lines.
class TThreadInfo {
 public:
  explicit TThreadInfo(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  static void Start(std::unique_ptr<TThreadInfo> worker, std::shared_ptr<StatisticsHandOver> handOver,
                    HWND receiver, UINT message);

 private:
  std::vector<std::string> lines_;
};

// Starts a statistics run of `lines` (Windows-1251, see StatisticsLinesOf)
// for the main window `owner` and returns at once. In this order: the wait
// window is created with its marquee running, the owner is disabled, the
// wait window shows "Разбор свойств текста...", the statistics window is
// created hidden, and the worker starts with the lines.
//
// When the worker is done, on the UI thread (from the message loop of the
// caller), in this order: the nine values are written into the statistics
// window (the size formatted with `decimal`, Windows-1251), `onCounted` runs
// (the main window refreshes its status line and gives the status label its
// link look there), the owner is enabled, the wait window is destroyed, and
// the statistics window is shown modally; when the user closes it, it is
// destroyed and the run is over. Closing the owner during the run destroys
// the run's windows and ends it quietly.
//
// Throws when a window or the thread cannot be created; the owner is enabled
// again then.
void StartStatisticsRun(HWND owner, std::vector<std::string> lines, std::string decimal,
                        std::function<void()> onCounted = {});

}  // namespace velmar
