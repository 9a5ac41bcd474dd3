#pragma once
// TThreadVelmar: the worker of a conversion run. It reads only its snapshot
// and tells the window about progress and its end through two callbacks, so it
// knows nothing of windows (and is tested without one).
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "run_progress.h"
#include "tables.h"

namespace velmar {

// What a run works on, taken on the UI thread when the run starts.
struct RunSnapshot {
  std::string text;  // the source text, Windows-1251 (UTF-8 with a Unicode table)
  TTransTable table;
  bool underscore = false;
  bool hyphen = false;
  bool compress = false;
  bool capitalWords = true;
};

// The failure of a run that ran out of memory, in the words the table
// editor's test line uses too.
inline constexpr char kNotEnoughMemory[] = "Недостаточно памяти для преобразования этого текста";

class TThreadVelmar {
 public:
  // Called on the worker thread; they must only hand the news to the UI thread.
  struct Callbacks {
    std::function<void()> started;                       // first thing on the worker thread
    std::function<void(std::int64_t progress)> progress; // only when the visible value changes
    std::function<void()> done;                          // result (or failure) is ready
  };

  TThreadVelmar(RunSnapshot snapshot, std::string decimal, Callbacks callbacks);
  ~TThreadVelmar();  // asks the worker to stop early and waits for it
  TThreadVelmar(const TThreadVelmar&) = delete;
  TThreadVelmar& operator=(const TThreadVelmar&) = delete;

  void Start();
  // After done: waits for the thread to end.
  void Join();

  std::int64_t LineCount() const { return progress_.LineCount(); }
  const RunProgress& Progress() const { return progress_; }
  bool Finishing() const { return snapshot_.underscore || snapshot_.hyphen || snapshot_.compress; }
  // The run's text and result are UTF-8 (a Unicode table), not Windows-1251.
  bool Unicode() const { return snapshot_.table.IsUnicode(); }

  // Valid after done: every result line followed by CR LF, or with the
  // compress option the words of the result on one line; and the stand-ins
  // (counted in text order) that the conversion removed.
  const std::string& ResultText() const { return resultText_; }
  std::string TakeResultText() { return std::move(resultText_); }
  const std::vector<std::size_t>& RemovedStandIns() const { return removedStandIns_; }
  // Valid after done: empty when the run succeeded, else why it failed
  // (kNotEnoughMemory when memory ran out); the result is empty then.
  const std::string& Failure() const { return failure_; }

 private:
  void Execute() noexcept;
  void Convert();

  RunSnapshot snapshot_;
  RunProgress progress_;
  Callbacks callbacks_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::string resultText_;
  std::vector<std::size_t> removedStandIns_;
  std::string failure_;
};

}  // namespace velmar
