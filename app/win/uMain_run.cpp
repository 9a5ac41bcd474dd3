// The main window's side of a conversion run: the run button's command, the
// controls while it works, the progress display and the completion. The
// worker and its bookkeeping are the ConversionRun's (conversion_run.h).
#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "run_progress.h"
#include "run_text.h"
#include "text.h"
#include "text_stats.h"
#include "uMain.h"

namespace velmar {
namespace {

void SetText(HWND control, const std::wstring& text) {
  if (!SetWindowTextW(control, text.c_str())) throw std::runtime_error("Text exceeds memo capacity");
}

}  // namespace

void TVelmarPro_Api::Button1Click() {
  if (run_.Running()) {
    // Never two runs at once: this request runs once the current run has completed.
    run_.Queue();
    return;
  }
  HWND memo1 = boxes_.Source().hwnd();
  if (GetWindowTextLengthW(memo1) < 2) return;
  const int selected = ListBox1_.Selected();
  if (selected < 0 || selected >= store_.StoreCount()) return;

  // The run takes the text as it is now: an automatic run armed by the last
  // change would only convert the same text again.
  KillTimer(hwnd_, static_cast<UINT_PTR>(TimerId::tmr_AutoVelmar));
  // The snapshot comes first: a text too large to copy ends the command
  // before anything of the window has changed.
  RunSnapshot snapshot;
  std::vector<std::wstring> standIns;
  try {
    TakeRunText(snapshot, store_.Store[static_cast<std::size_t>(selected)], ui::GetText(memo1), &standIns);
  } catch (const std::bad_alloc&) {
    ui::ShowError(hwnd_, ui::Widen(kNotEnoughMemory));
    return;
  }
  snapshot.underscore = PopupMenu2_.Options().underscore;
  snapshot.hyphen = PopupMenu2_.Options().hyphen;
  snapshot.compress = PopupMenu2_.Options().compress;
  snapshot.capitalWords = PopupMenu2_.Options().capitalWords;

  // Emptied as a change of the result box: it becomes active, the status line follows.
  SetText(boxes_.Result().hwnd(), L"");
  progressWidth_ = 0;
  Layout();
  ShowWindow(Image2_.hwnd(), SW_SHOW);
  ShowWindow(Image3_.hwnd(), SW_SHOW);
  // Painted now: the progress reports that follow come before any WM_PAINT in the queue.
  UpdateWindow(Image2_.hwnd());
  SetRunning(true);

  HWND window = hwnd_;
  const auto post = [window](ConversionRun::Report report, std::int64_t progress, std::uint64_t serial) {
    if (report == ConversionRun::Report::Progress)
      PostMessageW(window, kRunProgressMessage, static_cast<WPARAM>(progress), static_cast<LPARAM>(serial));
    else
      PostMessageW(window, kRunDoneMessage, 0, static_cast<LPARAM>(serial));
  };
  run_.Start(std::move(snapshot), std::move(standIns), ui::Narrow(decimalSeparator_), post,
             [] { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); });
  ShowProgress(0, false);
}

void TVelmarPro_Api::SetRunning(bool running) {
  // A disabled control loses the keyboard focus; it comes back after the run.
  if (running) focusBeforeRun_ = GetFocus();
  ListBox1_.Enable(!running);
  for (const ui::FlatButton* button : {&sSpeedButton1_, &sSpeedButton3_, &btn_New_, &btn_Open_, &btn_Save_, &btn_Cut_,
                                       &btn_Copy_, &btn_Paste_, &btn_Undo_, &CheckBox1_, &btn_Velmar_, &sSpeedButton2_})
    button->Enable(!running);
  boxes_.SetReadOnly(running);
  Label2_.SetLook(running ? StatusLabel::Look::Busy : StatusLabel::Look::Link);
  if (!running && !GetFocus() && GetActiveWindow() == hwnd_ && focusBeforeRun_ && IsWindow(focusBeforeRun_))
    SetFocus(focusBeforeRun_);
}

void TVelmarPro_Api::ShowProgress(std::int64_t progress, bool finishing) {
  if (!run_.Running()) return;
  const ProgressView view = run_.Progress().View(progress);
  if (view.width != progressWidth_) {
    progressWidth_ = view.width;
    HWND fill = Image3_.hwnd();
    SetWindowPos(fill, HWND_TOP, 0, 0, dpi_(progressWidth_), dpi_(10), SWP_NOMOVE | SWP_NOACTIVATE);
    InvalidateRect(fill, nullptr, TRUE);
    UpdateWindow(fill);
  }
  HWND label = Label2_.hwnd();
  SetWindowTextW(label, ui::Widen(finishing ? FinishingText() : view.text).c_str());
  UpdateWindow(label);
}

void TVelmarPro_Api::CompleteRun() {
  ShowWindow(Image2_.hwnd(), SW_HIDE);
  ShowWindow(Image3_.hwnd(), SW_HIDE);
  ShowProgress(std::max<std::int64_t>(run_.Progress().LineCount() - 1, 0), run_.Finishing());
  HWND label = Label2_.hwnd();
  SetWindowTextW(label, ui::Widen(CompletingText()).c_str());
  UpdateWindow(label);
  const ConversionRun::Outcome outcome = run_.Finish();

  HWND memo2 = boxes_.Result().hwnd();
  std::wstring failure = ui::Widen(outcome.failure);
  // The completion refreshes the status line itself, below.
  try {
    if (failure.empty() &&
        !boxes_.SetTextQuietly(TextBoxes::Box::Result, RunResultText(outcome.unicode, outcome.result, outcome.standIns)))
      failure = L"Text exceeds memo capacity";
  } catch (const std::bad_alloc&) {
    failure = ui::Widen(kNotEnoughMemory);
  }
  // The result is a change of Memo2.
  if (GetWindowTextLengthW(memo2) > 0) boxes_.SetActive(TextBoxes::Box::Result);
  SendMessageW(memo2, EM_SETSEL, 0, 0);
  SendMessageW(memo2, EM_SCROLLCARET, 0, 0);

  const std::string statusText = StatusLine(RunResultCp1251(outcome.unicode, outcome.result), ui::Narrow(decimalSeparator_));
  SetRunning(false);
  SetWindowTextW(label, ui::Widen(statusText).c_str());
  FinishQuickRun();
  SendResultToClient();
  if (!failure.empty()) ui::ShowError(hwnd_, failure);

  if (run_.TakeQueued()) Button1Click();
}

}  // namespace velmar
