#include "splash_render.h"

namespace velmar {

void PremultiplyForLayeredWindow(std::span<std::uint8_t> bgra) {
  const std::size_t pixels = bgra.size() / 4;
  for (std::size_t i = 0; i < pixels; ++i) {
    std::uint8_t* p = bgra.data() + i * 4;
    const unsigned a = p[3];
    for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((p[c] * a) >> 8);
  }
}

}  // namespace velmar
