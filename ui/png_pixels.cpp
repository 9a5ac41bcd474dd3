#include "png_pixels.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
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

Pixels DecodePngResourceForDpi(const wchar_t* name, Dpi dpi, bool premultiplied) {
  const GUID& format = premultiplied ? GUID_WICPixelFormat32bppPBGRA : GUID_WICPixelFormat32bppBGRA;
  int percent = 100;
  std::wstring chosen = name;
  for (const int rendered : {150, 200}) {
    const std::wstring candidate = std::wstring(name) + L"_" + std::to_wstring(rendered);
    if (!FindResourceW(nullptr, candidate.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */)) continue;
    percent = rendered;
    chosen = candidate;
    if (rendered * kDesignDpi >= dpi.Value() * 100) break;
  }
  if (dpi.Value() <= kDesignDpi) {
    percent = 100;
    chosen = name;
  }
  Pixels pixels = Decode(chosen.c_str(), format);
  // The design size, from the rendering's own.
  const int designWidth = (pixels.width * 100 + percent / 2) / percent;
  const int designHeight = (pixels.height * 100 + percent / 2) / percent;
  const int width = dpi(designWidth), height = dpi(designHeight);
  if (width == pixels.width && height == pixels.height) return pixels;
  if (premultiplied) return Resample(pixels, width, height);
  // Averaged with their alpha as weight: a transparent pixel's colour leaves no fringe.
  Pixels resampled = Resample(Decode(chosen.c_str(), GUID_WICPixelFormat32bppPBGRA), width, height);
  for (std::size_t i = 0; i + 3 < resampled.bgra.size(); i += 4) {
    const unsigned alpha = resampled.bgra[i + 3];
    for (std::size_t c = 0; c < 3; ++c)
      resampled.bgra[i + c] =
          alpha ? static_cast<std::uint8_t>(std::min(255u, (resampled.bgra[i + c] * 255u + alpha / 2) / alpha)) : 0;
  }
  return resampled;
}

Pixels Resample(const Pixels& source, int width, int height) {
  Pixels result;
  result.width = std::max(width, 0);
  result.height = std::max(height, 0);
  result.bgra.assign(std::size_t(result.width) * result.height * 4, 0);
  if (source.width <= 0 || source.height <= 0 || result.bgra.empty()) return result;
  // In units of 1 / (width * height of both), so every edge falls on a whole number.
  const long long sx = result.width, sy = result.height;  // one source pixel, in these units
  const long long tx = source.width, ty = source.height;  // one target pixel
  for (int y = 0; y < result.height; ++y) {
    const long long top = y * ty, bottom = top + ty;
    for (int x = 0; x < result.width; ++x) {
      const long long left = x * tx, right = left + tx;
      long long sum[4] = {0, 0, 0, 0};
      for (long long row = top / sy; row * sy < bottom; ++row) {
        const long long h = std::min(bottom, (row + 1) * sy) - std::max(top, row * sy);
        for (long long column = left / sx; column * sx < right; ++column) {
          const long long w = std::min(right, (column + 1) * sx) - std::max(left, column * sx);
          const std::uint8_t* p = &source.bgra[(std::size_t(row) * source.width + std::size_t(column)) * 4];
          for (int c = 0; c < 4; ++c) sum[c] += p[c] * w * h;
        }
      }
      const long long area = tx * ty;
      std::uint8_t* q = &result.bgra[(std::size_t(y) * result.width + std::size_t(x)) * 4];
      for (int c = 0; c < 4; ++c) q[c] = static_cast<std::uint8_t>((sum[c] + area / 2) / area);
    }
  }
  return result;
}

}  // namespace ui
