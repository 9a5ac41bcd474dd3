// The text tools of the main window: the looks of the status label, the
// statistics run it starts, and the amount in words on a selection.
#include <windows.h>
#include <commctrl.h>

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

// The status label is a link outside runs (underlined, workspace colour), lit
// while the mouse is over it (menu highlight colour) and plain green while a
// conversion run writes its progress into it.
void TVelmarPro_Api::SetLabel2Look(LabelLook look) {
  if (look == label2Look_) return;
  const bool underlined = look != LabelLook::Busy;
  const bool wasUnderlined = label2Look_ != LabelLook::Busy;
  label2Look_ = look;
  HWND label = Control(ControlId::Label2);
  if (underlined != wasUnderlined)
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(underlined ? label2Font_.get() : label2RunFont_.get()),
                 FALSE);
  InvalidateRect(label, nullptr, TRUE);  // the colour comes with WM_CTLCOLORSTATIC
}

LRESULT CALLBACK TVelmarPro_Api::Label2Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                                DWORD_PTR self) noexcept {
  auto* window = reinterpret_cast<TVelmarPro_Api*>(self);
  switch (message) {
    case WM_MOUSEMOVE:
      window->Label2MouseMove();
      break;
    case WM_MOUSELEAVE:
      window->Label2MouseLeave();
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, Label2Subclass, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// Asking for the leave message on every move is cheap and keeps it asked for
// even when the system dropped the request (the window was disabled meanwhile).
void TVelmarPro_Api::Label2MouseMove() {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = Control(ControlId::Label2);
  TrackMouseEvent(&track);
  if (label2Look_ == LabelLook::Link) SetLabel2Look(LabelLook::Hover);
}

void TVelmarPro_Api::Label2MouseLeave() {
  if (label2Look_ == LabelLook::Hover) SetLabel2Look(LabelLook::Link);
}

// Only the lit link starts a run: a click during a conversion run does nothing.
void TVelmarPro_Api::Label2Click() {
  if (label2Look_ != LabelLook::Hover) return;
  StartStatistics();
}

void TVelmarPro_Api::N17Click() { StartStatistics(); }

// The statistics of the active text box, or of its selection. The wait window
// shows while a worker counts; the main window is disabled until the
// statistics window appears.
void TVelmarPro_Api::StartStatistics() {
  if (activeBox_ == ActiveBox::None) return;
  auto lines = StatisticsLinesOf(EditTarget());
  if (!lines) return;  // an empty box
  try {
    StartStatisticsRun(hwnd_, std::move(*lines), ui::ToCp1251(decimalSeparator_), [this] {
      // The refresh of the status line makes the result box the active one.
      SetActiveBox(ActiveBox::Memo2);
      // A conversion run still working owns the label; its completion refreshes it.
      if (run_) return;
      Memo2Change();
      SetLabel2Look(LabelLook::Link);
    });
  } catch (const std::exception& e) {
    ui::ShowError(hwnd_, ui::Widen(e.what()));
  }
}

// The amount replaces the selection without an undo step. A read-only box
// (during a conversion run) is left alone.
void TVelmarPro_Api::AmountToWords(Currency currency) {
  if (activeBox_ == ActiveBox::None) return;
  HWND box = EditTarget();
  if (GetWindowLongPtrW(box, GWL_STYLE) & ES_READONLY) return;
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
