#pragma once
// Pictures: PNG resources decoded by the Windows Imaging Component into
// 32-bit premultiplied bitmaps, drawn with their alpha channel.
#include <windows.h>

#include <initializer_list>
#include <map>
#include <string>

#include "png_pixels.h"
#include "window.h"

namespace ui {

class Image {
 public:
  Image() = default;
  // Decodes the RCDATA resource `name` of the executable; throws on failure.
  static Image FromResource(const wchar_t* name);
  // The same at its design size scaled to `dpi` (see DecodePngResourceForDpi).
  static Image FromResource(const wchar_t* name, Dpi dpi);

  int Width() const { return width_; }
  int Height() const { return height_; }
  explicit operator bool() const { return static_cast<bool>(bitmap_); }

  // Draws the part (sx, sy, w, h) of the picture at (x, y); alpha 0..255
  // fades the whole picture (disabled buttons).
  void Draw(HDC dc, int x, int y, int sx, int sy, int w, int h, BYTE alpha = 255) const;
  void Draw(HDC dc, int x, int y, BYTE alpha = 255) const { Draw(dc, x, y, 0, 0, width_, height_, alpha); }

 private:
  static Image FromPixels(const Pixels& pixels);

  GdiObject<HBITMAP> bitmap_;
  int width_ = 0;
  int height_ = 0;
};

// A button's picture and the one it shows under the mouse.
struct IconPair {
  Image normal, hot;
};
// The pairs of the resources ICON_<name> and ICON_<name>_HOT, by name, at `dpi`.
std::map<std::wstring, IconPair> LoadIconPairs(std::initializer_list<const wchar_t*> names, Dpi dpi = Dpi());

// COM for WIC on the UI thread, for the life of the object.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_ = false;
};

}  // namespace ui
