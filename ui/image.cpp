#include "image.h"

#include <objbase.h>

#include <cstring>
#include <stdexcept>

#include "png_pixels.h"

namespace ui {

ComApartment::ComApartment() { initialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
ComApartment::~ComApartment() {
  if (initialised_) CoUninitialize();
}

Image Image::FromResource(const wchar_t* name) { return FromPixels(DecodePngResourcePremultiplied(name)); }

Image Image::FromResource(const wchar_t* name, Dpi dpi) {
  return FromPixels(DecodePngResourceForDpi(name, dpi, true));
}

Image Image::FromPixels(const Pixels& pixels) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = pixels.width;
  bi.bmiHeader.biHeight = -pixels.height;  // top-down rows, as the decoder gives them
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) throw std::runtime_error("Не удалось создать растровое изображение");
  Image image;
  image.bitmap_.Reset(bitmap);
  image.width_ = pixels.width;
  image.height_ = pixels.height;
  std::memcpy(bits, pixels.bgra.data(), pixels.bgra.size());
  return image;
}

void Image::Draw(HDC dc, int x, int y, int sx, int sy, int w, int h, BYTE alpha) const {
  if (!bitmap_ || w <= 0 || h <= 0) return;
  const MemoryDc memory(CreateCompatibleDC(dc));
  if (!memory) return;
  const SelectIn select(memory.get(), bitmap_.get());
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
  AlphaBlend(dc, x, y, w, h, memory.get(), sx, sy, w, h, blend);
}

std::map<std::wstring, IconPair> LoadIconPairs(std::initializer_list<const wchar_t*> names, Dpi dpi) {
  std::map<std::wstring, IconPair> pairs;
  for (const wchar_t* name : names) {
    const std::wstring resource = std::wstring(L"ICON_") + name;
    IconPair& pair = pairs[name];
    pair.normal = Image::FromResource(resource.c_str(), dpi);
    pair.hot = Image::FromResource((resource + L"_HOT").c_str(), dpi);
  }
  return pairs;
}

}  // namespace ui
