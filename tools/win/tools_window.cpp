#include "tools_window.h"

namespace velmar::tools_win {

ui::Font MessageFont(bool bold, int scale) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTW font{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font = metrics.lfMessageFont;
  } else {
    font.lfHeight = -11;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
  }
  font.lfHeight = MulDiv(font.lfHeight, scale, 100);
  if (bold) font.lfWeight = FW_BOLD;
  return ui::Font(CreateFontIndirectW(&font));
}

}  // namespace velmar::tools_win
