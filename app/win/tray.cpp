#include "tray.h"

#include "control_ids.h"
#include "program_path.h"
#include "text.h"
#include "window.h"

namespace velmar {
namespace {

constexpr UINT kTrayIconId = 1;

// The message the shell broadcasts when the taskbar has been (re-)created.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

int Id(ControlId id) { return static_cast<int>(id); }


}  // namespace

void TrayArea::Create(HWND window) {
  if (!menu_) {
    menu_.Reset(CreatePopupMenu());
    HMENU menu = menu_.get();
    options_ = CreatePopupMenu();
    AppendMenuW(options_, MF_STRING, Id(ControlId::N24), L"Запускать вместе с Windows");
    AppendMenuW(options_, MF_SEPARATOR, 0, nullptr);
    // The keys after a tab, where a menu shows an item's shortcut: the only
    // place the program names its two hotkeys.
    AppendMenuW(options_, MF_STRING, Id(ControlId::N31), L"Горячие клавиши: Транслит на лету\tCtrl+Alt+Q");
    AppendMenuW(options_, MF_STRING, Id(ControlId::N32), L"Горячие клавиши: Транслит\tCtrl+Alt+T");
    AppendMenuW(menu, MF_STRING, Id(ControlId::T1), L"VelmarPro");
    SetMenuDefaultItem(menu, Id(ControlId::T1), FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, Id(ControlId::N19), L"Транслит буфера обмена...");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(options_), L"Параметры");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, Id(ControlId::N26), L"Справка");
    AppendMenuW(menu, MF_STRING, Id(ControlId::N27), L"О программе...");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, Id(ControlId::N29), L"Выход");
  }
  if (icon_.Added()) return;
  // The notification area's small icon size: 16 pixels at 100 %, 24 at 150 %, 32 at 200 %.
  const int size = GetSystemMetrics(SM_CXSMICON);
  auto* icon = static_cast<HICON>(LoadImageW(ui::Instance(), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_SHARED));
  icon_.Add(window, kTrayIconId, kTrayCallbackMessage, icon, ui::GetText(window));
}

bool TrayArea::ReaddOnTaskbarCreated(UINT message) {
  // A registered message has no constant value to switch on.
  if (message == 0 || message != TaskbarCreatedMessage()) return false;
  icon_.Readd();
  return true;
}

void TrayArea::ShowMenu(HWND window) {
  CheckMenuItem(options_, Id(ControlId::N24), autostartChecked ? MF_CHECKED : MF_UNCHECKED);
  POINT at{};
  GetCursorPos(&at);
  // Without a foreground window of its own the menu would not close when the
  // user clicks elsewhere.
  SetForegroundWindow(window);
  TrackPopupMenuEx(menu_.get(), TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_BOTTOMALIGN, at.x, at.y, window, nullptr);
  PostMessageW(window, WM_NULL, 0, 0);
}

void TrayArea::ApplyBalloon(BalloonChange change) {
  const std::wstring title = ui::Widen(kBalloonTitle);
  switch (change) {
    case BalloonChange::None:
      break;
    case BalloonChange::Hide:
      icon_.HideBalloon();
      break;
    case BalloonChange::Working:
      icon_.ShowBalloon(title, ui::Widen(kBalloonWorking), ui::TrayIcon::BalloonIcon::Info,
                        kBalloonWorkingSeconds);
      break;
    case BalloonChange::NothingCopied:
      icon_.ShowBalloon(title, ui::Widen(kBalloonNothingCopied), ui::TrayIcon::BalloonIcon::Warning,
                        kBalloonNoticeSeconds);
      break;
    case BalloonChange::ResultInWindow:
      icon_.ShowBalloon(title, ui::Widen(kBalloonResultInWindow), ui::TrayIcon::BalloonIcon::Warning,
                        kBalloonNoticeSeconds);
      break;
  }
}

bool AutostartRegistered(const wchar_t* runKey) {
  const ui::RegistryKey key = ui::RegistryKey::Open(HKEY_CURRENT_USER, runKey, KEY_QUERY_VALUE);
  if (!key) return false;
  return RegQueryValueExW(key.get(), kAutostartValueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void SetAutostart(bool on, const wchar_t* runKey) {
  if (!on) {
    if (const ui::RegistryKey key = ui::RegistryKey::Open(HKEY_CURRENT_USER, runKey, KEY_SET_VALUE))
      RegDeleteValueW(key.get(), kAutostartValueName);
  } else if (const ui::RegistryKey key = ui::RegistryKey::Create(HKEY_CURRENT_USER, runKey, KEY_SET_VALUE)) {
    const std::wstring command = AutostartCommand(ui::ProgramPath().wstring());
    RegSetValueExW(key.get(), kAutostartValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  }
}

}  // namespace velmar
