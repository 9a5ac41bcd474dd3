#include "tray_icon.h"

#include <algorithm>

namespace ui {
namespace {

constexpr UINT kBaseFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

template <std::size_t N>
void CopyTo(wchar_t (&target)[N], std::wstring_view text) {
  const std::size_t n = std::min(text.size(), N - 1);
  std::copy_n(text.data(), n, target);
  target[n] = L'\0';
}

}  // namespace

bool TrayIcon::Add(HWND owner, UINT id, UINT callbackMessage, HICON icon, std::wstring_view tip) {
  data_ = {};
  data_.cbSize = sizeof data_;
  data_.hWnd = owner;
  data_.uID = id;
  data_.uFlags = kBaseFlags;
  data_.uCallbackMessage = callbackMessage;
  data_.hIcon = icon;
  CopyTo(data_.szTip, tip);
  return Readd();
}

bool TrayIcon::Readd() {
  if (!data_.hWnd) return false;
  data_.uFlags = kBaseFlags;
  data_.szInfo[0] = L'\0';
  added_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
  return added_;
}

bool TrayIcon::Modify(UINT flags) {
  if (!data_.hWnd) return false;
  data_.uFlags = flags;
  const bool ok = Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
  data_.uFlags = kBaseFlags;
  return ok;
}

void TrayIcon::SetTip(std::wstring_view tip) {
  CopyTo(data_.szTip, tip);
  Modify(kBaseFlags);
}

void TrayIcon::ShowBalloon(std::wstring_view title, std::wstring_view text, BalloonIcon icon,
                           unsigned timeoutSeconds) {
  HideBalloon();
  CopyTo(data_.szInfo, text);
  CopyTo(data_.szInfoTitle, title);
  data_.uTimeout = timeoutSeconds * 1000;
  data_.dwInfoFlags = static_cast<DWORD>(icon);
  Modify(kBaseFlags | NIF_INFO);
}

void TrayIcon::HideBalloon() {
  data_.szInfo[0] = L'\0';
  Modify(kBaseFlags | NIF_INFO);
}

void TrayIcon::Remove() {
  if (data_.hWnd && added_) Shell_NotifyIconW(NIM_DELETE, &data_);
  added_ = false;
}

}  // namespace ui
