#include "statistics_run.h"

#include <stdexcept>
#include <thread>

#include "stat_form.h"
#include "tools_window.h"
#include "wait_form.h"

namespace velmar {

void TThreadInfo::Start(std::unique_ptr<TThreadInfo> worker, std::shared_ptr<StatisticsHandOver> handOver,
                        HWND receiver, UINT message) {
  std::thread([worker = std::move(worker), handOver = std::move(handOver), receiver, message] {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    handOver->result = AnalyseLines(worker->lines_);
    handOver->ready.store(true, std::memory_order_release);
    // A closed receiver loses the message; the hand-over is freed with its last owner.
    PostMessageW(receiver, message, 0, 0);
  }).detach();
}

namespace {

constexpr wchar_t kClassName[] = L"VelmarStatisticsRun";
constexpr UINT kCounted = WM_APP + 41;

// One run: a hidden window owned by the main window receives the worker's
// message, and the run's windows live as long as it does. Closing the main
// window destroys it (owned windows go with their owner), which ends the run.
class StatisticsRun : public tools_win::ToolWindow {
 public:
  StatisticsRun(HWND owner, std::string decimal, std::function<void()> onCounted)
      : owner_(owner), decimal_(std::move(decimal)), onCounted_(std::move(onCounted)) {
    RegisterClassOnce(kClassName, nullptr);
    Create(kClassName, L"", WS_POPUP, WS_EX_TOOLWINDOW, {0, 0}, owner);
  }

  void Start(std::vector<std::string> lines) {
    wait_ = std::make_unique<TWaitForm>(owner_);
    wait_->StartMarquee();
    EnableWindow(owner_, FALSE);
    try {
      wait_->Show(tools_win::WideFromUtf8("Разбор свойств текста..."));
      stat_ = std::make_unique<TStatForm>(owner_);
      handOver_ = std::make_shared<StatisticsHandOver>();
      TThreadInfo::Start(std::make_unique<TThreadInfo>(std::move(lines)), handOver_, hwnd(), kCounted);
    } catch (...) {
      EnableWindow(owner_, TRUE);
      throw;
    }
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kCounted && handOver_ && handOver_->ready.load(std::memory_order_acquire)) {
      Complete();
      return 0;  // `this` may be gone
    }
    return ToolWindow::HandleMessage(message, wParam, lParam);
  }

  void OnFinalMessage() override {
    if (completing_) {
      destroyedWhileCompleting_ = true;
    } else {
      delete this;
    }
  }

 private:
  void Complete() {
    completing_ = true;
    try {
      stat_->SetValues(handOver_->result, decimal_);
      handOver_.reset();
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

  // Destroys the run's windows and the run.
  void Finish() {
    if (IsWindow(owner_)) EnableWindow(owner_, TRUE);
    wait_.reset();
    stat_.reset();
    completing_ = false;
    if (destroyedWhileCompleting_) {
      delete this;
    } else {
      DestroyWindow(hwnd());  // deletes the run in its final message
    }
  }

  HWND owner_;
  std::string decimal_;
  std::function<void()> onCounted_;
  std::unique_ptr<TWaitForm> wait_;
  std::unique_ptr<TStatForm> stat_;
  std::shared_ptr<StatisticsHandOver> handOver_;
  bool completing_ = false;
  bool destroyedWhileCompleting_ = false;
};

}  // namespace

void StartStatisticsRun(HWND owner, std::vector<std::string> lines, std::string decimal,
                        std::function<void()> onCounted) {
  auto run = std::make_unique<StatisticsRun>(owner, std::move(decimal), std::move(onCounted));
  run->Start(std::move(lines));
  run.release();  // from here the run's window owns it
}

}  // namespace velmar
