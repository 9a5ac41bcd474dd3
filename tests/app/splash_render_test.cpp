#include "splash_render.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace velmar {
namespace {

struct PixelCase {
  std::array<std::uint8_t, 4> in;   // blue, green, red, alpha as decoded
  std::array<std::uint8_t, 4> out;  // as the layered window takes them
};

TEST(SplashRender, PremultipliesEachPixelByItsAlphaShiftedBy8) {
  const PixelCase cases[] = {
      {{50, 100, 200, 128}, {25, 50, 100, 128}},  // red 200, green 100, blue 50 at half alpha
      {{255, 255, 255, 255}, {254, 254, 254, 255}},  // opaque white: the shift divides by 256
      {{255, 17, 90, 0}, {0, 0, 0, 0}},              // fully transparent whatever its colour
      {{0, 0, 0, 255}, {0, 0, 0, 255}},              // opaque black
      {{255, 128, 1, 1}, {0, 0, 0, 1}},              // nearly transparent: colour rounds down to 0
      {{255, 2, 3, 254}, {253, 1, 2, 254}},
  };
  for (const PixelCase& c : cases) {
    std::array<std::uint8_t, 4> pixel = c.in;
    PremultiplyForLayeredWindow(pixel);
    EXPECT_EQ(pixel, c.out) << int(c.in[0]) << "," << int(c.in[1]) << "," << int(c.in[2]) << " a=" << int(c.in[3]);
  }
}

TEST(SplashRender, EveryPixelOfARowUsesItsOwnAlphaAndAShortTailStaysAlone) {
  std::vector<std::uint8_t> row = {200, 200, 200, 0, 200, 200, 200, 255, 200, 200, 200, 64, 77, 77};
  PremultiplyForLayeredWindow(row);
  const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 199, 199, 199, 255, 50, 50, 50, 64, 77, 77};
  EXPECT_EQ(row, expected);
  std::vector<std::uint8_t> empty;
  PremultiplyForLayeredWindow(empty);
  EXPECT_TRUE(empty.empty());
}

}  // namespace
}  // namespace velmar
