#include "image.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <stdexcept>
#include <string>

namespace ui {
namespace {

using Microsoft::WRL::ComPtr;

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw std::runtime_error(std::string("Cannot decode picture: ") + what);
}

}  // namespace

ComApartment::ComApartment() { initialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
ComApartment::~ComApartment() {
  if (initialised_) CoUninitialize();
}

Image Image::FromResource(const wchar_t* name) {
  HRSRC info = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!info) throw std::runtime_error("Missing picture resource");
  HGLOBAL loaded = LoadResource(nullptr, info);
  const auto* data = static_cast<BYTE*>(LockResource(loaded));
  const DWORD size = SizeofResource(nullptr, info);
  if (!data || size == 0) throw std::runtime_error("Empty picture resource");

  ComPtr<IWICImagingFactory> factory;
  Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)),
        "factory");
  ComPtr<IWICStream> stream;
  Check(factory->CreateStream(&stream), "stream");
  Check(stream->InitializeFromMemory(const_cast<BYTE*>(data), size), "stream");
  ComPtr<IWICBitmapDecoder> decoder;
  Check(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad, &decoder), "decoder");
  ComPtr<IWICBitmapFrameDecode> frame;
  Check(decoder->GetFrame(0, &frame), "frame");
  ComPtr<IWICFormatConverter> converter;
  Check(factory->CreateFormatConverter(&converter), "converter");
  Check(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                              WICBitmapPaletteTypeCustom),
        "conversion");
  UINT width = 0, height = 0;
  Check(converter->GetSize(&width, &height), "size");

  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = static_cast<LONG>(width);
  bi.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down rows, as WIC gives them
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) throw std::runtime_error("Cannot create a bitmap");
  Image image;
  image.bitmap_.Reset(bitmap);
  image.width_ = static_cast<int>(width);
  image.height_ = static_cast<int>(height);
  Check(converter->CopyPixels(nullptr, width * 4, width * height * 4, static_cast<BYTE*>(bits)), "pixels");
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

}  // namespace ui
