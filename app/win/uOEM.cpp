#include "uOEM.h"

#include <cstring>
#include <stdexcept>

#include "splash_render.h"

namespace velmar {
namespace {

constexpr int kDesignWidth = 406;  // replaced by the picture's size at the first render
constexpr int kDesignHeight = 294;

class MemoryDc {
 public:
  MemoryDc() : dc_(CreateCompatibleDC(nullptr)) {
    if (!dc_) throw std::runtime_error("Не удалось создать контекст устройства");
  }
  ~MemoryDc() { DeleteDC(dc_); }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace

void TOEMForm::FormCreate() {
  // The picture drawn for the primary monitor's scale, not a stretched one.
  image_ = ui::DecodePngResourceForDpi(L"SPLASH", ui::ScaleForWindow(nullptr), false);
  Register(kClassName, nullptr, nullptr, nullptr);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kDesignWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kDesignHeight) / 2;
  CreateWindowOf(kClassName, L"splash", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, x, y, kDesignWidth,
                 kDesignHeight, nullptr, nullptr);
  // The window is centred on the picture's size, not the design size.
  SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - image_.width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - image_.height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Render();
}

void TOEMForm::Render() {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = image_.width;
  bi.bmiHeader.biHeight = -image_.height;  // top-down rows, as decoded
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_.Reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_) throw std::runtime_error("Не удалось создать растровое изображение");
  std::memcpy(bits, image_.bgra.data(), image_.bgra.size());
  PremultiplyForLayeredWindow({static_cast<std::uint8_t*>(bits), image_.bgra.size()});

  SetWindowLongW(hwnd_, GWL_EXSTYLE, GetWindowLongW(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
  Present();
}

void TOEMForm::Present() {
  MemoryDc source;
  ui::SelectIn select(source.get(), bitmap_.get());
  SIZE size{image_.width, image_.height};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(hwnd_, nullptr, nullptr, &size, source.get(), &origin, 0x1FFFFFFF, &blend, ULW_ALPHA);
}

void TOEMForm::ShowFor(DWORD milliseconds) {
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  // Painting at once: a layered window has no WM_PAINT, so the picture is
  // handed over again now that the window is on screen (Wine shows the one
  // given while it was hidden only once the thread looks at its queue, and
  // no messages are handled until the pause is over).
  Present();
  Sleep(milliseconds);
  ShowWindow(hwnd_, SW_HIDE);
  DestroyWindow(hwnd_);
}

}  // namespace velmar
