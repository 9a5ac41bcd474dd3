#include "tray_icon.h"

#include <algorithm>

namespace ui {
namespace {

constexpr UINT kBaseFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

// The shell shows what fits its fixed fields and drops the rest, in the
// middle of a word if need be: a text is fitted before it goes in.
template <std::size_t N>
void CopyTo(wchar_t (&target)[N], std::wstring_view text) {
  const std::wstring fitted = FitToField(text, N);
  std::copy(fitted.begin(), fitted.end(), target);
  target[fitted.size()] = L'\0';
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

}  // namespace

std::wstring FitToField(std::wstring_view text, std::size_t capacity) {
  if (text.size() < capacity) return std::wstring(text);
  if (capacity < 2) return {};
  constexpr wchar_t kEllipsis = L'\u2026';
  const std::size_t room = capacity - 2;  // the ellipsis and the NUL
  std::size_t end = room;
  // Back to the blank before the word that does not fit, when there is one.
  std::size_t blank = end;
  while (blank > 0 && !IsBlank(text[blank])) --blank;
  if (blank > 0) end = blank;
  else if (end > 0 && IsHighSurrogate(text[end - 1])) --end;
  while (end > 0 && (IsBlank(text[end - 1]) || text[end - 1] == L',' || text[end - 1] == L'.')) --end;
  return std::wstring(text.substr(0, end)) + kEllipsis;
}

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
