// The main window in the notification area: the tray icon and its menu, the
// two global hotkeys, the conversion on the fly with its clipboard hand-over,
// and the autostart value under the Run key.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "text.h"
#include "uMain.h"

namespace velmar {
namespace {

constexpr UINT kTrayIconId = 1;
// How long the program waits for the user to let go of Ctrl, Alt, Shift and
// Win before it types its own keys, and for another program to copy.
constexpr auto kModifierWait = std::chrono::milliseconds(2000);
constexpr auto kCopyWait = std::chrono::milliseconds(1500);
constexpr auto kPoll = std::chrono::milliseconds(15);
constexpr UINT kCopyTimeoutMs = 5000;

int Id(ControlId id) { return static_cast<int>(id); }

// The message the shell broadcasts when the taskbar has been (re-)created.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

class RegKey {
 public:
  RegKey() = default;
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY* Put() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

class ClipboardOpen {
 public:
  // Another program may hold the clipboard for a moment: a few short tries.
  explicit ClipboardOpen(HWND owner) {
    for (int i = 0; i < 10 && !open_; ++i) {
      open_ = OpenClipboard(owner) != FALSE;
      if (!open_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  ~ClipboardOpen() {
    if (open_) CloseClipboard();
  }
  ClipboardOpen(const ClipboardOpen&) = delete;
  ClipboardOpen& operator=(const ClipboardOpen&) = delete;
  explicit operator bool() const { return open_; }

 private:
  bool open_ = false;
};

// Puts a copy of the bytes on the open clipboard in the given format.
bool SetClipboardBytes(UINT format, const void* bytes, std::size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return false;
  if (void* target = GlobalLock(memory)) {
    std::memcpy(target, bytes, size);
    GlobalUnlock(memory);
    if (SetClipboardData(format, memory)) return true;  // the clipboard owns it now
  }
  GlobalFree(memory);
  return false;
}

std::wstring ExePath() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

bool ModifiersDown() {
  for (int key : {VK_CONTROL, VK_MENU, VK_SHIFT, VK_LWIN, VK_RWIN})
    if (GetAsyncKeyState(key) & 0x8000) return true;
  return false;
}

// The hotkey's own Ctrl and Alt may still be held: keys typed now would reach
// the other program as Ctrl+Alt+V, which pastes nothing. Waits a little for
// them to be released; after that the keys are typed anyway.
void WaitForModifiersReleased() {
  const auto end = std::chrono::steady_clock::now() + kModifierWait;
  while (ModifiersDown() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(kPoll);
}

// Ctrl+key as key strokes into the input stream, in one piece.
void TypeCtrlChord(WORD key) {
  INPUT inputs[4]{};
  const WORD keys[4] = {VK_CONTROL, key, key, VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = keys[i];
    inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  SendInput(4, inputs, sizeof(INPUT));
}

bool OtherProgramInFront() {
  HWND front = GetForegroundWindow();
  return front && GetWindowThreadProcessId(front, nullptr) != GetCurrentThreadId();
}

void DispatchWaitingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

void TVelmarPro_Api::CreateTray() {
  if (!PopupMenu4_) {
    PopupMenu4_.reset(CreatePopupMenu());
    HMENU menu = PopupMenu4_.get();
    N21_ = CreatePopupMenu();
    AppendMenuW(N21_, MF_STRING, Id(ControlId::N24), L"Запускать вместе с Windows");
    AppendMenuW(N21_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(N21_, MF_STRING, Id(ControlId::N31), L"Горячие клавиши: Транслит на лету");
    AppendMenuW(N21_, MF_STRING, Id(ControlId::N32), L"Горячие клавиши: Транслит");
    AppendMenuW(menu, MF_STRING, Id(ControlId::T1), L"VelmarPro");
    SetMenuDefaultItem(menu, Id(ControlId::T1), FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, Id(ControlId::N19), L"Транслит буфера обмена...");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(N21_), L"Параметры");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, Id(ControlId::N26), L"Справка");
    AppendMenuW(menu, MF_STRING, Id(ControlId::N27), L"О программе...");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, Id(ControlId::N29), L"Выход");
  }
  if (CoolTrayIcon1_.Added()) return;
  auto* icon = static_cast<HICON>(LoadImageW(ui::Instance(), MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, LR_SHARED));
  CoolTrayIcon1_.Add(hwnd_, kTrayIconId, kTrayCallbackMessage, icon, ui::GetText(hwnd_));
}

bool TVelmarPro_Api::HandleTrayMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  if (message == WM_HOTKEY) {
    OnHotKey(wParam);
    return true;
  }
  if (message == kTrayCallbackMessage) {
    switch (LOWORD(lParam)) {
      case WM_LBUTTONDBLCLK:
        ShowMainWindow();
        break;
      case WM_RBUTTONUP:
        ShowTrayMenu();
        break;
      default:
        break;
    }
    return true;
  }
  if (message == TaskbarCreatedMessage() && message != 0) {
    CoolTrayIcon1_.Readd();
    return true;
  }
  switch (message) {
    case WM_SIZE:
      // Minimised, the window and its taskbar button go: only the tray icon
      // stays. Without a notification area there is no icon to bring it back.
      if (wParam == SIZE_MINIMIZED && CoolTrayIcon1_.Added()) ShowWindow(hwnd_, SW_HIDE);
      return false;
    case WM_COMMAND:
      return HIWORD(wParam) == 0 && lParam == 0 && TrayCommand(LOWORD(wParam));
    case WM_DESTROY:
      CoolTrayIcon1_.Remove();
      return false;
    default:
      return false;
  }
}

bool TVelmarPro_Api::TrayCommand(int id) {
  const auto click = [this](ControlId button) {
    if (ui::FlatButton* b = Button(Id(button))) b->Click();
  };
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
      click(ControlId::sSpeedButton4);  // help, as the button does it
      return true;
    case ControlId::N27:
      click(ControlId::btn_About);
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

void TVelmarPro_Api::ShowTrayMenu() {
  CheckMenuItem(N21_, Id(ControlId::N24), N24_ ? MF_CHECKED : MF_UNCHECKED);
  POINT at{};
  GetCursorPos(&at);
  // Without a foreground window of its own the menu would not close when the
  // user clicks elsewhere.
  SetForegroundWindow(hwnd_);
  TrackPopupMenuEx(PopupMenu4_.get(), TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_BOTTOMALIGN, at.x, at.y, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void TVelmarPro_Api::SetTrayTip(const std::wstring& caption) { CoolTrayIcon1_.SetTip(caption); }

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
  if (run_) return;
  PasteClipboardIntoMemo1();
  ShowMainWindow();
  BringProgramForward();
}

// Autostart.

void TVelmarPro_Api::CheckAutostart() {
  RegKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return;
  if (RegQueryValueExW(key.get(), kAutostartValueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
    N24_ = true;
}

void TVelmarPro_Api::N24Click() {
  RegKey key;
  if (N24_) {
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, key.Put()) == ERROR_SUCCESS)
      RegDeleteValueW(key.get(), kAutostartValueName);
  } else if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(),
                             nullptr) == ERROR_SUCCESS) {
    const std::wstring command = AutostartCommand(ExePath());
    RegSetValueExW(key.get(), kAutostartValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  }
  N24_ = !N24_;  // the check mark follows the click, whatever the registry allowed
}

// Hotkeys.

void TVelmarPro_Api::RegisterHotkeys() {
  // A table reload registers again; the keys are this window's already.
  if (mainHotkeyId_ || quickHotkeyId_) return;
  // A combination another program holds never arrives; nothing is said.
  mainHotkeyId_ = GlobalAddAtomA(kMainHotkeyAtom);
  RegisterHotKey(hwnd_, mainHotkeyId_, kHotkeyModifiers, kMainHotkeyKey);
  quickHotkeyId_ = GlobalAddAtomA(kQuickHotkeyAtom);
  RegisterHotKey(hwnd_, quickHotkeyId_, kHotkeyModifiers, kQuickHotkeyKey);
}

void TVelmarPro_Api::UnregisterHotkeys() {
  for (ATOM* id : {&mainHotkeyId_, &quickHotkeyId_}) {
    if (!*id) continue;
    UnregisterHotKey(hwnd_, *id);
    GlobalDeleteAtom(*id);
    *id = 0;
  }
}

void TVelmarPro_Api::OnHotKey(WPARAM id) {
  const auto hotkey = HotkeyToHandle(static_cast<unsigned>(id), mainHotkeyId_, quickHotkeyId_,
                                     onTheFly_.Busy() || inHotkey_, run_ != nullptr);
  if (!hotkey) return;
  struct Handling {
    bool& flag;
    explicit Handling(bool& f) : flag(f) { flag = true; }
    ~Handling() { flag = false; }
  } handling(inHotkey_);
  if (*hotkey == Hotkey::Main)
    MainHotKey();
  else
    QuickHotKey();
}

HWND TVelmarPro_Api::CaretWindow() const {
  HWND front = GetForegroundWindow();
  if (!front) return nullptr;
  const DWORD other = GetWindowThreadProcessId(front, nullptr);
  const DWORD self = GetCurrentThreadId();
  if (other == self) return nullptr;
  if (!AttachThreadInput(self, other, TRUE)) return nullptr;
  HWND found = nullptr;
  // With the input attached, focus and caret are those of the other program.
  if (HWND focus = GetFocus()) {
    POINT caret{};
    if (GetCaretPos(&caret)) {
      ClientToScreen(focus, &caret);
      found = WindowFromPoint(caret);
    }
  }
  AttachThreadInput(self, other, FALSE);
  return found;
}

void TVelmarPro_Api::PasteClipboardIntoMemo1() {
  // Both are changes of the source box: it becomes active and automatic conversion is armed.
  HWND memo1 = Control(ControlId::Memo1);
  SetWindowTextW(memo1, L"");
  SendMessageW(memo1, WM_PASTE, 0, 0);
}

void TVelmarPro_Api::MainHotKey() {
  // With another program in front its selection must be copied afresh, or
  // the old clipboard text would land in the source box; with our own window
  // in front the clipboard's text is taken as it is.
  HWND target = CaretWindow();
  if ((target || OtherProgramInFront()) && !CopySelection(target)) {
    ApplyBalloon(BalloonChange::NothingCopied);
    return;
  }
  PasteClipboardIntoMemo1();
  BringProgramForward();
}

bool TVelmarPro_Api::CopySelection(HWND target) {
  const DWORD before = GetClipboardSequenceNumber();
  if (target) {
    SetFocus(target);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(target, WM_COPY, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kCopyTimeoutMs, &ignored);
  }
  bool keysTried = false;
  while (true) {
    switch (NextCopyStep(GetClipboardSequenceNumber() != before, keysTried, OtherProgramInFront())) {
      case CopyStep::UseClipboard:
        return true;
      case CopyStep::NothingCopied:
        return false;
      case CopyStep::PressCtrlC: {
        // Many programs (browsers, word processors) ignore WM_COPY but copy on Ctrl+C.
        keysTried = true;
        WaitForModifiersReleased();
        TypeCtrlChord('C');
        const auto end = std::chrono::steady_clock::now() + kCopyWait;
        while (GetClipboardSequenceNumber() == before && std::chrono::steady_clock::now() < end)
          std::this_thread::sleep_for(kPoll);
        break;
      }
    }
  }
}

void TVelmarPro_Api::QuickHotKey() {
  DispatchWaitingMessages();
  HWND target = CaretWindow();
  // An old clipboard text converted and pasted over the user's document would
  // be worse than nothing: without a fresh copy the run does not start.
  if (!CopySelection(target)) {
    ApplyBalloon(BalloonChange::NothingCopied);
    return;
  }
  PasteClipboardIntoMemo1();
  quickSelectionEndsWithBreak_ = EndsWithLineBreak(ui::GetText(Control(ControlId::Memo1)));
  SetWindowTextW(Control(ControlId::Memo2), L"");
  ApplyBalloon(onTheFly_.Start());
  Button1Click();
  // Too little text: no run, so nothing will end the busy state but this.
  if (!run_) ApplyBalloon(onTheFly_.Refused());
}

void TVelmarPro_Api::ApplyBalloon(BalloonChange change) {
  const std::wstring title = ui::Widen(kBalloonTitle);
  switch (change) {
    case BalloonChange::None:
      break;
    case BalloonChange::Hide:
      CoolTrayIcon1_.HideBalloon();
      break;
    case BalloonChange::Working:
      CoolTrayIcon1_.ShowBalloon(title, ui::Widen(kBalloonWorking), ui::TrayIcon::BalloonIcon::Info,
                                 kBalloonWorkingSeconds);
      break;
    case BalloonChange::NothingCopied:
      CoolTrayIcon1_.ShowBalloon(title, ui::Widen(kBalloonNothingCopied), ui::TrayIcon::BalloonIcon::Warning,
                                 kBalloonNoticeSeconds);
      break;
    case BalloonChange::ResultInWindow:
      CoolTrayIcon1_.ShowBalloon(title, ui::Widen(kBalloonResultInWindow), ui::TrayIcon::BalloonIcon::Warning,
                                 kBalloonNoticeSeconds);
      break;
  }
}

// The hand-over of an on-the-fly result.

bool TVelmarPro_Api::PutTextToClipboard(std::string_view text, std::span<const std::wstring> standIns) {
  ClipboardOpen clipboard(hwnd_);
  if (!clipboard || !EmptyClipboard()) return false;
  const std::string bytes = ClipboardTextBytes(text);
  // The Unicode text as well: the 8-bit text alone would be read with the
  // code page of the user's language, which garbles it unless that is Russian.
  const std::wstring unicode = ui::FromCp1251(text, standIns);
  const auto locale = LocaleBytes(GetUserDefaultLangID());
  return SetClipboardBytes(CF_TEXT, bytes.data(), bytes.size()) &&
         SetClipboardBytes(CF_UNICODETEXT, unicode.c_str(), (unicode.size() + 1) * sizeof(wchar_t)) &&
         SetClipboardBytes(CF_LOCALE, locale.data(), locale.size());
}

void TVelmarPro_Api::SendPasteKeys() {
  WaitForModifiersReleased();
  TypeCtrlChord('V');
}

void TVelmarPro_Api::FinishQuickRun() {
  if (!onTheFly_.Busy()) return;
  std::vector<std::wstring> standIns;
  const std::string text = ui::ToCp1251(ui::GetText(Control(ControlId::Memo2)), &standIns);
  const std::string_view pasted = QuickPasteText(text, quickSelectionEndsWithBreak_);
  const OnTheFly::Finish finish = onTheFly_.Completed(PutTextToClipboard(pasted, standIns));
  if (finish.paste) SendPasteKeys();
  ApplyBalloon(finish.balloon);
}

}  // namespace velmar
