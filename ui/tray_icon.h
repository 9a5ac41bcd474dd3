#pragma once
// One notification-area icon of a window, with its tooltip and balloon tip.
#include <windows.h>

// commctrl.h first: it settles _WIN32_IE, which the balloon fields of shellapi.h need.
#include <commctrl.h>
#include <shellapi.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace ui {

// `text` fitted into a field of `capacity` characters, its closing NUL
// included: whole when it fits, else cut after the last whole word that
// leaves room for an ellipsis ("…"); a first word longer than the field is cut
// inside, never between the two halves of a surrogate pair.
std::wstring FitToField(std::wstring_view text, std::size_t capacity);

class TrayIcon {
 public:
  enum class BalloonIcon : DWORD { None = NIIF_NONE, Info = NIIF_INFO, Warning = NIIF_WARNING, Error = NIIF_ERROR, User = NIIF_USER };

  TrayIcon() = default;
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon; its mouse events arrive at owner as callbackMessage with
  // the mouse message in lParam. False when the shell refused it.
  bool Add(HWND owner, UINT id, UINT callbackMessage, HICON icon, std::wstring_view tip);
  // Adds the icon again after the taskbar was re-created ("TaskbarCreated").
  bool Readd();
  // The tooltip; the shell shows at most 127 characters (FitToField).
  void SetTip(std::wstring_view tip);
  // Hides a balloon that may be showing, then shows this one (title at most
  // 63 characters, text at most 255, each fitted by FitToField).
  void ShowBalloon(std::wstring_view title, std::wstring_view text, BalloonIcon icon, unsigned timeoutSeconds);
  void HideBalloon();
  void Remove();

  bool Added() const { return added_; }
  // The text and title of the balloon shown last; the text is empty once hidden.
  std::wstring_view BalloonText() const { return data_.szInfo; }
  std::wstring_view BalloonTitle() const { return data_.szInfoTitle; }
  std::wstring_view Tip() const { return data_.szTip; }

 private:
  bool Modify(UINT flags);

  NOTIFYICONDATAW data_{};
  bool added_ = false;
};

}  // namespace ui
