#pragma once
// A PNG resource decoded by the Windows Imaging Component into plain 32-bit
// pixels (blue, green, red, alpha; colours not premultiplied), for code that
// treats the alpha channel itself.
#include <cstdint>
#include <vector>

namespace ui {

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bgra;  // top-down rows of width * 4 bytes
};

// Decodes the RCDATA resource `name` of the executable; throws on failure.
Pixels DecodePngResource(const wchar_t* name);
// The same with the colours premultiplied by alpha, as AlphaBlend wants them.
Pixels DecodePngResourcePremultiplied(const wchar_t* name);

}  // namespace ui
