#pragma once
// A PNG resource decoded by the Windows Imaging Component into plain 32-bit
// pixels (blue, green, red, alpha; colours not premultiplied), for code that
// treats the alpha channel itself.
#include <cstdint>
#include <vector>

#include "dpi.h"

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

// The picture `name` for a display of `dpi`: its design size (the size of
// `name`) scaled. Drawn anew for a scale where the executable has a
// rendering of its own (NAME_150, NAME_200: 1.5 and 2 times the size), the
// nearest rendering not smaller than the scale is taken and resampled.
Pixels DecodePngResourceForDpi(const wchar_t* name, Dpi dpi, bool premultiplied);

// The picture resampled to `width` x `height`, each new pixel the average of
// the area it covers: a whole-number enlargement keeps every edge sharp, a
// reduction loses no thin line.
Pixels Resample(const Pixels& pixels, int width, int height);

}  // namespace ui
