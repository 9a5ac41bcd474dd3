#pragma once
// The program in the notification area: its icon with the tip and the
// balloons of the conversion on the fly, re-added when the taskbar comes
// back, and its menu with the autostart check mark; and the autostart value
// under the current user's Run key.
#include <windows.h>

#include <string>

#include "handles.h"
#include "on_the_fly.h"
#include "tray_icon.h"

namespace velmar {

class TrayArea {
 public:
  // The menu (once) and the icon (unless it is there) for `window`; the icon
  // has the window's caption as its tip.
  void Create(HWND window);
  // Without a notification area there is no icon, and nothing to come back from.
  bool HasIcon() const { return icon_.Added(); }
  // The shell's word that the taskbar was (re-)created, with every icon
  // gone: the icon is added again. False for any other message.
  bool ReaddOnTaskbarCreated(UINT message);
  void Remove() { icon_.Remove(); }
  void SetTip(const std::wstring& tip) { icon_.SetTip(tip); }
  void ApplyBalloon(BalloonChange change);

  // The menu at the mouse; its commands come to the window as WM_COMMAND.
  void ShowMenu(HWND window);
  // The check mark of "Запускать вместе с Windows".
  bool autostartChecked = false;
  // The menu (PopupMenu4); null before Create.
  HMENU Menu() const { return menu_.get(); }

 private:
  ui::TrayIcon icon_;
  ui::Menu menu_;
  HMENU options_ = nullptr;  // the submenu "Параметры", owned by menu_
};

// Whether the Run key (a key under HKEY_CURRENT_USER) holds the program's
// value, whatever its data.
bool AutostartRegistered(const wchar_t* runKey = kRunKey);
// Writes the value (the quoted executable and "-autorun") or deletes it;
// a registry that refuses is not reported.
void SetAutostart(bool on, const wchar_t* runKey = kRunKey);

}  // namespace velmar
