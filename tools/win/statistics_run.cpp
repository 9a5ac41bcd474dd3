#include "statistics_run.h"

#include "stat_form.h"
#include "text.h"
#include "window.h"
#include "wait_form.h"
#include "worker_failure.h"

namespace velmar {

void TThreadInfo::CountLines(const std::vector<std::string>& lines, StatisticsCounter& counter,
                             const std::atomic<bool>& stop) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    // A look at the stop request now and then: a destroyed run must not wait for a whole large text.
    if (i % 4096 == 0 && stop.load(std::memory_order_relaxed)) return;
    counter.AddLine(lines[i]);
  }
}

TThreadInfo::TThreadInfo(std::vector<std::string> lines, std::function<void()> done, Analyse analyse)
    : lines_(std::move(lines)), done_(std::move(done)), analyse_(std::move(analyse)), thread_([this] { Execute(); }) {}

TThreadInfo::~TThreadInfo() {
  stop_ = true;
  thread_.join();
}

// Whatever goes wrong ends the count, never the program.
void TThreadInfo::Execute() noexcept {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
  failure_ = FailureOf([&] { analyse_(lines_, counter_, stop_); }, "Недостаточно памяти для подсчёта статистики этого текста");
  if (stop_) return;
  NotifyQuietly(done_);
}

namespace {

constexpr wchar_t kClassName[] = L"VelmarStatisticsRun";
constexpr UINT kCounted = WM_APP + 41;

// One run: a hidden window owned by the main window receives the worker's
// message, and the run's windows live as long as it does. Closing the main
// window destroys it (owned windows go with their owner), which ends the run.
// The run's window owns the run: the run is deleted once its window is gone
// and the handler of the worker's message has returned.
class StatisticsRun : public ui::Window {
 public:
  StatisticsRun(HWND owner, std::string decimal, std::function<void()> onCounted)
      : owner_(owner), decimal_(std::move(decimal)), onCounted_(std::move(onCounted)) {
    Register(kClassName, nullptr, nullptr, nullptr);
    CreateWindowOf(kClassName, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0, owner, nullptr);
  }

  void Start(const std::function<std::vector<std::string>()>& readLines) {
    wait_ = std::make_unique<TWaitForm>(owner_);
    wait_->StartMarquee();
    EnableWindow(owner_, FALSE);
    try {
      wait_->Show(ui::Widen("Разбор свойств текста..."));
      std::vector<std::string> lines = readLines();
      stat_ = std::make_unique<TStatForm>(owner_);
      HWND receiver = hwnd_;
      // A destroyed run's window no longer exists: the message goes nowhere.
      worker_ = std::make_unique<TThreadInfo>(std::move(lines), [receiver] { PostMessageW(receiver, kCounted, 0, 0); });
    } catch (...) {
      EnableWindow(owner_, TRUE);
      throw;
    }
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kCounted && worker_) {
      try {
        Complete();
      } catch (const std::exception& e) {
        ui::ShowError(IsWindow(owner_) ? owner_ : nullptr, ui::Widen(e.what()));
      }
      return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }

 private:
  void Complete() {
    try {
      const TextStatistics result = worker_->Result();
      const std::string failure = worker_->Failure();
      worker_.reset();  // joined: the thread has reported its end
      if (!failure.empty()) throw std::runtime_error(failure);
      stat_->SetValues(result, decimal_);
      if (onCounted_) onCounted_();
    } catch (...) {
      Finish();
      throw;
    }
    EnableWindow(owner_, TRUE);
    wait_.reset();
    stat_->ShowModal();
    Finish();
  }

  // Destroys the run's windows; the run goes with its own window.
  void Finish() {
    if (IsWindow(owner_)) EnableWindow(owner_, TRUE);
    wait_.reset();
    stat_.reset();
    // Closing the main window meanwhile has destroyed the run's window already.
    if (hwnd_) DestroyWindow(hwnd_);
  }

  HWND owner_;
  std::string decimal_;
  std::function<void()> onCounted_;
  std::unique_ptr<TWaitForm> wait_;
  std::unique_ptr<TStatForm> stat_;
  std::unique_ptr<TThreadInfo> worker_;  // destroyed before the windows it reports to
};

}  // namespace

void StartStatisticsRun(HWND owner, std::function<std::vector<std::string>()> readLines, std::string decimal,
                        std::function<void()> onCounted) {
  auto run = std::make_unique<StatisticsRun>(owner, std::move(decimal), std::move(onCounted));
  run->Start(readLines);
  ui::OwnedByItsWindow(std::move(run));
}

void StartStatisticsRun(HWND owner, std::vector<std::string> lines, std::string decimal,
                        std::function<void()> onCounted) {
  StartStatisticsRun(
      owner, [&lines] { return std::move(lines); }, std::move(decimal), std::move(onCounted));
}

}  // namespace velmar
