#pragma once
// Display scale. Every window is designed at 96 DPI (100 %); a Dpi turns its
// design lengths into pixels of the monitor it stands on, and the helpers
// here find that monitor's DPI also on a Windows without the per-monitor
// functions (Windows 7: the device context's LOGPIXELSY, one DPI for all).
#include <windows.h>

#include <vector>

#include "handles.h"

namespace ui {

inline constexpr int kDesignDpi = 96;

// A length designed for 96 DPI at `dpi`, to the nearest pixel (halves away
// from zero, so a 1-pixel line never vanishes and -11 and 11 stay opposite).
int ScaleLength(int length, int dpi);

class Dpi {
 public:
  constexpr Dpi() = default;
  explicit constexpr Dpi(int dpi) : dpi_(dpi > 0 ? dpi : kDesignDpi) {}

  constexpr int Value() const { return dpi_; }
  int operator()(int length) const { return ScaleLength(length, dpi_); }
  constexpr bool operator==(const Dpi&) const = default;

 private:
  int dpi_ = kDesignDpi;
};

// GetDpiForWindow's shape, so that its absence can be tried.
using DpiForWindowFunction = UINT(WINAPI*)(HWND);

// The DPI of `window` by `dpiForWindow` when given and it answers, otherwise
// the LOGPIXELSY of the window's device context (the screen's for none).
int WindowDpi(HWND window, DpiForWindowFunction dpiForWindow);

// The DPI `window` is shown at, with user32's GetDpiForWindow where it exists.
Dpi ScaleForWindow(HWND window);

// The outer size of a window of `style` whose client area is `client` pixels.
SIZE OuterSize(SIZE client, DWORD style, DWORD exStyle, Dpi dpi);

// Takes the rectangle that WM_DPICHANGED suggests (its lParam).
void TakeSuggestedRect(HWND window, LPARAM suggested);

// The children of a window laid out at fixed design places: each is recorded
// with its 96-DPI rectangle and moved to it scaled, again at every change of
// the scale.
class DesignLayout {
 public:
  void Place(HWND control, int x, int y, int width, int height, Dpi dpi);
  void PlaceAll(Dpi dpi) const;
  // A recorded rectangle scaled, for a window that paints there itself.
  RECT Scaled(HWND control, Dpi dpi) const;

 private:
  struct Entry {
    HWND control;
    RECT design;
  };
  std::vector<Entry> entries_;
};

// The icon resource `name` at `size` pixels, scaled down from the nearest
// bigger picture of the file (LoadIconWithScaleDown where comctl32 has it),
// or null.
Icon LoadIconOfSize(HINSTANCE instance, const wchar_t* name, int size);

// Sets `font` on every child of `parent` that showed `previous`.
void ReplaceChildFonts(HWND parent, HFONT previous, HFONT font);

}  // namespace ui
