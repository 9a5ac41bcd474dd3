#pragma once
// The splash picture's pixels as a layered window takes them. No windows.h here.
#include <cstdint>
#include <span>

namespace velmar {

// Premultiplies 32-bit pixels in place, four bytes each in the order blue,
// green, red, alpha: every colour byte c becomes (c * a) >> 8 and the alpha
// stays. The shift divides by 256, so opaque white is stored as 254; a window
// drawn with per-pixel alpha wants exactly these values. A trailing part
// shorter than a pixel is left alone.
void PremultiplyForLayeredWindow(std::span<std::uint8_t> bgra);

}  // namespace velmar
