// The main window in the notification area and under the global hotkeys: the
// tray icon's clicks and menu commands, showing the window again, autostart,
// and the conversion on the fly with its clipboard hand-over. The tray icon,
// the hotkeys and the copy check are classes of their own (tray.h, hotkeys.h).
#include "hotkeys.h"
#include "message_pump.h"
#include "text.h"
#include "uMain.h"

namespace velmar {

void TVelmarPro_Api::OnTrayIcon(LPARAM mouse) {
  switch (LOWORD(mouse)) {
    case WM_LBUTTONDBLCLK:
      ShowMainWindow();
      break;
    case WM_RBUTTONUP:
      tray_.ShowMenu(hwnd_);
      break;
    default:
      break;
  }
}

bool TVelmarPro_Api::TrayCommand(int id) {
  switch (static_cast<ControlId>(id)) {
    case ControlId::T1:
      ShowMainWindow();
      return true;
    case ControlId::N19:
      N19Click();
      return true;
    case ControlId::N24:
      N24Click();
      return true;
    case ControlId::N26:
      sSpeedButton4_.Click();  // help, as the button does it
      return true;
    case ControlId::N27:
      btn_About_.Click();
      return true;
    case ControlId::N29:
      SendMessageW(hwnd_, WM_CLOSE, 0, 0);
      return true;
    case ControlId::N31:
    case ControlId::N32:
      return true;  // captions only
    default:
      return false;
  }
}

void TVelmarPro_Api::ShowMainWindow() {
  if (IsIconic(hwnd_)) RestoreWindow();
  const bool hidden = !IsWindowVisible(hwnd_);
  ShowWindow(hwnd_, SW_SHOW);  // the show handler runs when the window was hidden
  if (hidden) FormShow();
  SetForegroundWindow(hwnd_);
}

// Restoring a window hidden in the tray shows it without WM_SHOWWINDOW: the
// show handler is run here then.
void TVelmarPro_Api::RestoreWindow() {
  const bool hidden = !IsWindowVisible(hwnd_);
  ShowWindow(hwnd_, SW_RESTORE);
  if (hidden && IsWindowVisible(hwnd_)) FormShow();
}

void TVelmarPro_Api::BringProgramForward() {
  // A window hidden in the tray stays hidden.
  HWND last = GetLastActivePopup(hwnd_);
  if (last && IsWindowVisible(last) && IsWindowEnabled(last)) SetForegroundWindow(last);
}

void TVelmarPro_Api::N19Click() {
  // The source box is read-only during a run: emptied, it would not take the paste.
  if (run_.Running()) return;
  PasteClipboardIntoMemo1();
  ShowMainWindow();
  BringProgramForward();
}

void TVelmarPro_Api::CheckAutostart() {
  if (AutostartRegistered()) tray_.autostartChecked = true;
}

void TVelmarPro_Api::N24Click() {
  SetAutostart(!tray_.autostartChecked);
  // The check mark follows the click, whatever the registry allowed.
  tray_.autostartChecked = !tray_.autostartChecked;
}

// Hotkeys.

void TVelmarPro_Api::OnHotKey(WPARAM id) {
  const auto hotkey = hotkeys_.ToHandle(id, onTheFly_.Busy(), run_.Running());
  if (!hotkey) return;
  const auto handling = hotkeys_.Handle();
  if (*hotkey == Hotkey::Main)
    MainHotKey();
  else
    QuickHotKey();
}

void TVelmarPro_Api::PasteClipboardIntoMemo1() {
  // Both are changes of the source box: it becomes active and automatic conversion is armed.
  HWND memo1 = boxes_.Source().hwnd();
  SetWindowTextW(memo1, L"");
  SendMessageW(memo1, WM_PASTE, 0, 0);
}

void TVelmarPro_Api::MainHotKey() {
  // With another program in front its selection must be copied afresh, or
  // the old clipboard text would land in the source box; with our own window
  // in front the clipboard's text is taken as it is.
  HWND target = CaretWindow();
  if ((target || OtherProgramInFront()) && !CopySelection(target)) {
    tray_.ApplyBalloon(BalloonChange::NothingCopied);
    return;
  }
  PasteClipboardIntoMemo1();
  BringProgramForward();
}

void TVelmarPro_Api::QuickHotKey() {
  // The hotkey handler sees the state the user left.
  ui::PumpMessages();
  HWND target = CaretWindow();
  // An old clipboard text converted and pasted over the user's document would
  // be worse than nothing: without a fresh copy the run does not start.
  if (!CopySelection(target)) {
    tray_.ApplyBalloon(BalloonChange::NothingCopied);
    return;
  }
  PasteClipboardIntoMemo1();
  quickSelectionEndsWithBreak_ = EndsWithLineBreak(boxes_.Source().Text());
  SetWindowTextW(boxes_.Result().hwnd(), L"");
  tray_.ApplyBalloon(onTheFly_.Start());
  Button1Click();
  // Too little text: no run, so nothing will end the busy state but this.
  if (!run_.Running()) tray_.ApplyBalloon(onTheFly_.Refused());
}

// The end of a run that the quick hotkey started: the result goes to the
// clipboard and is pasted into the other program.
void TVelmarPro_Api::FinishQuickRun() {
  if (!onTheFly_.Busy()) return;
  std::vector<std::wstring> standIns;
  const std::string text = ui::ToCp1251(boxes_.Result().Text(), &standIns);
  const std::string_view pasted = QuickPasteText(text, quickSelectionEndsWithBreak_);
  const OnTheFly::Finish finish = onTheFly_.Completed(PutTextToClipboard(hwnd_, pasted, standIns));
  if (finish.paste) SendPasteKeys();
  tray_.ApplyBalloon(finish.balloon);
}

}  // namespace velmar
