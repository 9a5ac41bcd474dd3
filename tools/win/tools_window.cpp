#include "tools_window.h"

namespace velmar::tools_win {

ui::Font MessageFont(bool bold, int scale, ui::Dpi dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTW font{};
  // At the window's scale where Windows has the function for it; otherwise
  // the system's one scale is every window's.
  using ForDpi = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
  static const auto forDpi = reinterpret_cast<ForDpi>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi")));
  if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi.Value()))) {
    font = metrics.lfMessageFont;
  } else if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font = metrics.lfMessageFont;
  } else {
    font.lfHeight = dpi(-11);
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
  }
  font.lfHeight = MulDiv(font.lfHeight, scale, 100);
  if (bold) font.lfWeight = FW_BOLD;
  return ui::Font(CreateFontIndirectW(&font));
}

SIZE WindowSizeForClient(DWORD style, DWORD exStyle, int width, int height, ui::Dpi dpi) {
  return ui::OuterSize({dpi(width), dpi(height)}, style, exStyle, dpi);
}

void CentreOnOwner(HWND window, HWND owner) {
  RECT self{};
  GetWindowRect(window, &self);
  const int width = self.right - self.left;
  const int height = self.bottom - self.top;
  RECT area{};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(MonitorFromWindow(owner ? owner : window, MONITOR_DEFAULTTONEAREST), &info)) area = info.rcWork;
  RECT around = area;
  if (owner) GetWindowRect(owner, &around);
  int x = around.left + (around.right - around.left - width) / 2;
  int y = around.top + (around.bottom - around.top - height) / 2;
  if (area.right > area.left) {
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
  }
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace velmar::tools_win
