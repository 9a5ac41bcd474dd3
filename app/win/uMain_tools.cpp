// The text tools of the main window: the looks of the status label, the
// statistics run it starts, and the amount in words on a selection.
#include <windows.h>

#include <algorithm>
#include <exception>
#include <string_view>
#include <utility>

#include "statistics_run.h"
#include "text.h"
#include "text_box_tools.h"
#include "uMain.h"
#include "window.h"

namespace velmar {

// The status label's looks are its own (status_label.h); the window decides
// when they change: the hover look only comes on the link, a running
// conversion keeps its own look.
void TVelmarPro_Api::Label2MouseMove() {
  Label2_.TrackLeave();
  if (Label2_.CurrentLook() == StatusLabel::Look::Link) Label2_.SetLook(StatusLabel::Look::Hover);
}

void TVelmarPro_Api::Label2MouseLeave() {
  if (Label2_.CurrentLook() == StatusLabel::Look::Hover) Label2_.SetLook(StatusLabel::Look::Link);
}

// Only the lit link starts a run: a click during a conversion run does nothing.
void TVelmarPro_Api::Label2Click() {
  if (Label2_.CurrentLook() != StatusLabel::Look::Hover) return;
  StartStatistics();
}

void TVelmarPro_Api::N17Click() { StartStatistics(); }

// The statistics of the active text box, or of its selection. The wait window
// shows while a worker counts; the main window is disabled until the
// statistics window appears.
void TVelmarPro_Api::StartStatistics() {
  if (boxes_.Active() == TextBoxes::Box::None) return;
  HWND box = boxes_.Target().hwnd();
  if (GetWindowTextLengthW(box) == 0) return;  // an empty box
  try {
    // The lines are read once the wait window shows: on a large box that takes a while.
    const auto readLines = [box] { return StatisticsLinesOf(box).value_or(std::vector<std::string>{}); };
    StartStatisticsRun(hwnd_, readLines, ui::Narrow(decimalSeparator_), [this] {
      // The refresh of the status line makes the result box the active one.
      boxes_.SetActive(TextBoxes::Box::Result);
      // A conversion run still working owns the label; its completion refreshes it.
      if (run_.Running()) return;
      Memo2Change();
      Label2_.SetLook(StatusLabel::Look::Link);
    });
  } catch (const std::exception& e) {
    ui::ShowError(hwnd_, ui::Widen(e.what()));
  }
}

// The amount replaces the selection without an undo step. A read-only box
// (during a conversion run) is left alone.
void TVelmarPro_Api::AmountToWords(Currency currency) {
  if (boxes_.Active() == TextBoxes::Box::None) return;
  HWND box = boxes_.Target().hwnd();
  if (boxes_.Target().ReadOnly()) return;
  // A number the amount commands will not guess at (more than two decimals,
  // two separators, a minus sign) is refused with a message.
  DWORD start = 0, end = 0;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (start > end) std::swap(start, end);
  const std::wstring text = ui::GetText(box);
  const std::wstring_view selection = std::wstring_view(text).substr(std::min<std::size_t>(start, text.size()),
                                                                     end - start);
  if (ReadAmount(ui::ToCp1251(selection)).status == AmountReading::Status::kRefused) {
    MessageBoxW(hwnd_, ui::Widen(kAmountRefusedMessage).c_str(), L"VelmarPro", MB_OK);
    return;
  }
  ReplaceSelectionWithAmount(hwnd_, box, currency);
}

}  // namespace velmar
