#include "statistics_run.h"

#include <stdexcept>
#include <thread>

#include "stat_form.h"
#include "text.h"
#include "window.h"
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
// The run deletes itself with its window, which the widget layer's window
// base cannot do, so this window has a procedure of its own.
class StatisticsRun {
 public:
  StatisticsRun(HWND owner, std::string decimal, std::function<void()> onCounted)
      : owner_(owner), decimal_(std::move(decimal)), onCounted_(std::move(onCounted)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), kClassName, &wc)) {
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = kClassName;
      if (!RegisterClassExW(&wc)) throw std::runtime_error("Cannot register a window class");
    }
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, owner, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) throw std::runtime_error("Cannot create a window");
  }

  ~StatisticsRun() {
    if (hwnd_) {
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      DestroyWindow(hwnd_);
    }
  }

  StatisticsRun(const StatisticsRun&) = delete;
  StatisticsRun& operator=(const StatisticsRun&) = delete;

  void Start(std::vector<std::string> lines) {
    wait_ = std::make_unique<TWaitForm>(owner_);
    wait_->StartMarquee();
    EnableWindow(owner_, FALSE);
    try {
      wait_->Show(ui::Widen("Разбор свойств текста..."));
      stat_ = std::make_unique<TStatForm>(owner_);
      handOver_ = std::make_shared<StatisticsHandOver>();
      TThreadInfo::Start(std::make_unique<TThreadInfo>(std::move(lines)), handOver_, hwnd_, kCounted);
    } catch (...) {
      EnableWindow(owner_, TRUE);
      throw;
    }
  }

  // From here the run's window owns the run.
  static void Release(std::unique_ptr<StatisticsRun> run) {
    SetWindowLongPtrW(run->hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(run.get()));
    run.release();
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* run = reinterpret_cast<StatisticsRun*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (run && message == kCounted && run->handOver_ && run->handOver_->ready.load(std::memory_order_acquire)) {
      try {
        run->Complete();  // `run` is gone afterwards
      } catch (const std::exception& e) {
        ui::ShowError(nullptr, ui::Widen(e.what()));
      }
      return 0;
    }
    if (run && message == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      run->hwnd_ = nullptr;
      if (run->completing_) {
        run->destroyedWhileCompleting_ = true;
      } else {
        delete run;
      }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

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
      DestroyWindow(hwnd_);  // deletes the run in its last message
    }
  }

  HWND hwnd_ = nullptr;
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
  StatisticsRun::Release(std::move(run));
}

}  // namespace velmar
