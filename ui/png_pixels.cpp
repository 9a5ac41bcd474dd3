#include "png_pixels.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace ui {
namespace {

using Microsoft::WRL::ComPtr;

// `what` names the step for whoever reads the code; the user is given the code.
void Check(HRESULT hr, [[maybe_unused]] const char* what) {
  if (FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    throw std::runtime_error(std::string("Не удалось прочитать картинку (код ошибки ") + code + ")");
  }
}

Pixels Decode(const wchar_t* name, const GUID& format) {
  HRSRC info = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!info) throw std::runtime_error("Картинка не найдена в ресурсах программы");
  const auto* data = static_cast<BYTE*>(LockResource(LoadResource(nullptr, info)));
  const DWORD size = SizeofResource(nullptr, info);
  if (!data || size == 0) throw std::runtime_error("Картинка в ресурсах программы пуста");

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
  Check(converter->Initialize(frame.Get(), format, WICBitmapDitherTypeNone, nullptr, 0.0,
                              WICBitmapPaletteTypeCustom),
        "conversion");
  UINT width = 0, height = 0;
  Check(converter->GetSize(&width, &height), "size");
  Pixels pixels;
  pixels.width = static_cast<int>(width);
  pixels.height = static_cast<int>(height);
  pixels.bgra.resize(std::size_t{width} * height * 4);
  Check(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.bgra.size()), pixels.bgra.data()),
        "pixels");
  return pixels;
}

}  // namespace

Pixels DecodePngResource(const wchar_t* name) { return Decode(name, GUID_WICPixelFormat32bppBGRA); }

Pixels DecodePngResourcePremultiplied(const wchar_t* name) { return Decode(name, GUID_WICPixelFormat32bppPBGRA); }

}  // namespace ui
