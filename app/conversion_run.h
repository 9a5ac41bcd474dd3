#pragma once
// The conversion run of the main window, without the window: at most one
// worker at a time, a request that came during a run, and the characters
// outside Windows-1251 that go back into the result. The worker's reports
// reach the window through `post`, tagged with the run's serial number, so
// the report of a run that has ended is known and dropped. No windows.h here.
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "thread_velmar.h"

namespace velmar {

class ConversionRun {
 public:
  enum class Report { Progress, Done };
  // Called on the worker thread: it must only hand the report to the UI thread.
  using Post = std::function<void(Report report, std::int64_t progress, std::uint64_t serial)>;

  ConversionRun() = default;
  ~ConversionRun() = default;  // a run still working is stopped
  ConversionRun(const ConversionRun&) = delete;
  ConversionRun& operator=(const ConversionRun&) = delete;

  bool Running() const { return worker_ != nullptr; }
  // A run asked for during a run follows once the current one has completed.
  void Queue() { queued_ = true; }
  // Whether a run was asked for meanwhile; asks only once.
  bool TakeQueued() { return std::exchange(queued_, false); }

  // Starts the worker on `snapshot`; `standIns` are the characters the
  // snapshot's text holds as stand-in bytes, in text order. `started` runs
  // first thing on the worker thread.
  void Start(RunSnapshot snapshot, std::vector<std::wstring> standIns, std::string decimal, Post post,
             std::function<void()> started = {});
  // Whether a report with this serial number is of the run in progress.
  bool IsCurrent(std::uint64_t serial) const { return worker_ && serial == serial_; }
  // While running: the progress display, and whether an output option is on.
  const RunProgress& Progress() const { return worker_->Progress(); }
  bool Finishing() const { return worker_->Finishing(); }

  struct Outcome {
    std::string result;                  // Windows-1251 (UTF-8 when `unicode`); empty when the run failed
    bool unicode = false;                // the run's table was a Unicode table
    std::string failure;                 // why the run failed, or empty
    std::vector<std::wstring> standIns;  // those the conversion kept, in order
  };
  // After the done report: the worker's thread has ended, and the run with it.
  Outcome Finish();
  // Ends a run still working without its result.
  void Stop() { worker_.reset(); }

 private:
  std::unique_ptr<TThreadVelmar> worker_;
  std::vector<std::wstring> standIns_;
  std::uint64_t serial_ = 0;
  bool queued_ = false;
};

}  // namespace velmar
