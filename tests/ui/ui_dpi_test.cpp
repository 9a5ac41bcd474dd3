// The display scale helpers: lengths, the DPI of a window with and without
// the per-monitor functions, fixed layouts at another scale, and pictures
// picked or resampled for a scale. Windows only (runs under Wine).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "dpi.h"
#include "image.h"
#include "png_pixels.h"

namespace {

TEST(Dpi, LengthsScaleToTheNearestPixelAwayFromZero) {
  struct Case {
    int length, dpi, expected;
  } cases[] = {
      {0, 144, 0},      {1, 96, 1},       {11, 144, 17},    {-11, 144, -17},  {-11, 192, -22},
      {217, 144, 326},  {1, 120, 1},      {2, 120, 3},      {-2, 120, -3},    {3, 168, 5},
      {668, 192, 1336}, {60, 120, 75},    {1, 72, 1},       {16, 144, 24},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ui::ScaleLength(c.length, c.dpi), c.expected) << c.length << " at " << c.dpi;
  EXPECT_EQ(ui::Dpi(144)(30), 45);
  EXPECT_EQ(ui::Dpi(0).Value(), 96);  // no answer is the design scale, not a zero that hides everything
}

UINT WINAPI Answers192(HWND) { return 192; }
UINT WINAPI AnswersNothing(HWND) { return 0; }

TEST(Dpi, WindowDpiFallsBackToTheDeviceContext) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  HDC screen = GetDC(nullptr);
  const int logPixels = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(ui::WindowDpi(window, Answers192), 192);
  // Windows 7 has no GetDpiForWindow; a function that does not answer is no answer either.
  EXPECT_EQ(ui::WindowDpi(window, nullptr), logPixels);
  EXPECT_EQ(ui::WindowDpi(window, AnswersNothing), logPixels);
  EXPECT_EQ(ui::WindowDpi(nullptr, Answers192), logPixels);
  EXPECT_EQ(ui::ScaleForWindow(window).Value(), logPixels);
  DestroyWindow(window);
}

RECT PlaceOf(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST(Dpi, AFixedLayoutIsPlacedFromItsDesignAtEveryScale) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1000, 1000, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(parent);
  auto child = [&] {
    return CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
  };
  HWND left = child(), right = child();
  ui::DesignLayout layout;
  // Two controls that touch at 96 DPI: 8..83 and 83..158.
  layout.Place(left, 8, 5, 75, 25, ui::Dpi(120));
  layout.Place(right, 83, 5, 75, 25, ui::Dpi(120));
  EXPECT_EQ(PlaceOf(left).right, PlaceOf(right).left) << "a gap or an overlap where the design has none";
  // 125 %, then 200 %, then 125 % again: the places come from the design, not
  // from the last ones, so nothing drifts.
  layout.PlaceAll(ui::Dpi(192));
  const RECT at200 = PlaceOf(right);
  EXPECT_EQ(at200.left, 166);
  EXPECT_EQ(at200.top, 10);
  EXPECT_EQ(at200.right - at200.left, 150);
  EXPECT_EQ(at200.bottom - at200.top, 50);
  layout.PlaceAll(ui::Dpi(120));
  const RECT again = PlaceOf(right);
  EXPECT_EQ(again.left, 104);  // 83 * 1.25 = 103.75
  EXPECT_EQ(again.right, 198);  // 158 * 1.25 = 197.5
  DestroyWindow(parent);
}

ui::Pixels Checker() {
  // 2 x 2: black, white / white, transparent.
  ui::Pixels p;
  p.width = 2;
  p.height = 2;
  p.bgra = {0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0, 0};
  return p;
}

TEST(Pictures, AWholeNumberEnlargementKeepsEveryEdgeSharp) {
  const ui::Pixels big = ui::Resample(Checker(), 4, 4);
  ASSERT_EQ(big.bgra.size(), 4u * 4u * 4u);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      for (int c = 0; c < 4; ++c)
        EXPECT_EQ(big.bgra[(y * 4 + x) * 4 + c], Checker().bgra[((y / 2) * 2 + x / 2) * 4 + c]) << x << "," << y;
}

TEST(Pictures, AReductionAveragesWhatEachPixelCovers) {
  // A one-pixel white line in black, four pixels wide, made half as wide: the
  // line is not lost between the samples but greys its pixel.
  ui::Pixels line;
  line.width = 4;
  line.height = 1;
  line.bgra = {0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255};
  const ui::Pixels half = ui::Resample(line, 2, 1);
  ASSERT_EQ(half.bgra.size(), 8u);
  EXPECT_EQ(half.bgra[0], 0);
  EXPECT_EQ(half.bgra[4], 128);
  EXPECT_EQ(half.bgra[7], 255);
  // 150 %: 2 pixels become 3, the middle one shared half and half.
  ui::Pixels two;
  two.width = 2;
  two.height = 1;
  two.bgra = {0, 0, 0, 255, 200, 200, 200, 255};
  const ui::Pixels three = ui::Resample(two, 3, 1);
  EXPECT_EQ(three.bgra[0], 0);
  EXPECT_EQ(three.bgra[4], 100);
  EXPECT_EQ(three.bgra[8], 200);
}

TEST(Pictures, APictureWithRenderingsIsTakenAsDrawnForTheScale) {
  ui::ComApartment com;
  const ui::Pixels at100 = ui::DecodePngResource(L"ABOUT_BANNER");
  const ui::Pixels drawn150 = ui::DecodePngResource(L"ABOUT_BANNER_150");
  const ui::Pixels drawn200 = ui::DecodePngResource(L"ABOUT_BANNER_200");
  ASSERT_EQ(at100.width, 129);
  struct Case {
    int dpi, width, height;
    const ui::Pixels* exactly;  // the rendering it must be, byte for byte
  } cases[] = {
      {96, 129, 32, &at100},   {144, 194, 48, &drawn150}, {192, 258, 64, &drawn200},
      {120, 161, 40, nullptr},  // 125 %: the 150 % rendering made smaller
      {168, 226, 56, nullptr},  // 175 %: the 200 % one made smaller
      {288, 387, 96, nullptr},  // 300 %: the biggest, enlarged
  };
  for (const Case& c : cases) {
    const ui::Pixels p = ui::DecodePngResourceForDpi(L"ABOUT_BANNER", ui::Dpi(c.dpi), false);
    EXPECT_EQ(p.width, c.width) << c.dpi;
    EXPECT_EQ(p.height, c.height) << c.dpi;
    if (c.exactly) {
      EXPECT_TRUE(p.bgra == c.exactly->bgra) << "stretched, not the rendering, at " << c.dpi;
    }
  }
  // A 125 % picture from the 150 % one, not from the 100 % one enlarged: its
  // rounded corner stays transparent and its middle opaque.
  const ui::Pixels p = ui::DecodePngResourceForDpi(L"ABOUT_BANNER", ui::Dpi(120), false);
  EXPECT_EQ(p.bgra[3], 0);
  EXPECT_EQ(p.bgra[(20 * p.width + 80) * 4 + 3], 255);
}

TEST(Pictures, APictureWithoutRenderingsIsEnlargedInWholeBlocks) {
  ui::ComApartment com;
  const ui::Pixels strip = ui::DecodePngResourcePremultiplied(L"FLAGS16");
  const ui::Pixels at200 = ui::DecodePngResourceForDpi(L"FLAGS16", ui::Dpi(192), true);
  ASSERT_EQ(at200.width, 2 * strip.width);
  ASSERT_EQ(at200.height, 32);
  int differing = 0;
  for (int y = 0; y < at200.height; ++y)
    for (int x = 0; x < at200.width; ++x)
      for (int c = 0; c < 4; ++c)
        differing += at200.bgra[(std::size_t(y) * at200.width + x) * 4 + c] !=
                     strip.bgra[(std::size_t(y / 2) * strip.width + x / 2) * 4 + c];
  EXPECT_EQ(differing, 0);
  const ui::Image image = ui::Image::FromResource(L"FLAGS16", ui::Dpi(144));
  EXPECT_EQ(image.Height(), 24);
  EXPECT_EQ(image.Width(), 24 * 261);
}

}  // namespace
