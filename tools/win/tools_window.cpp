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

}  // namespace velmar::tools_win
