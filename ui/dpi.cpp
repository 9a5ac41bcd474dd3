#include "dpi.h"

#include <algorithm>

namespace ui {
namespace {

template <typename Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

int ScaleLength(int length, int dpi) {
  const long long product = static_cast<long long>(length) * dpi;
  const long long half = kDesignDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
}

int WindowDpi(HWND window, DpiForWindowFunction dpiForWindow) {
  if (dpiForWindow && window) {
    const UINT dpi = dpiForWindow(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  HDC dc = GetDC(window);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
  if (dc) ReleaseDC(window, dc);
  return dpi > 0 ? dpi : kDesignDpi;
}

Dpi ScaleForWindow(HWND window) {
  static const auto dpiForWindow = User32Function<DpiForWindowFunction>("GetDpiForWindow");
  return Dpi(WindowDpi(window, dpiForWindow));
}

SIZE OuterSize(SIZE client, DWORD style, DWORD exStyle, Dpi dpi) {
  static const auto adjust = User32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, client.cx, client.cy};
  if (!adjust || !adjust(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi.Value())))
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

void TakeSuggestedRect(HWND window, LPARAM suggested) {
  const RECT* r = reinterpret_cast<const RECT*>(suggested);
  if (!r) return;
  SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void DesignLayout::Place(HWND control, int x, int y, int width, int height, Dpi dpi) {
  const RECT design{x, y, x + width, y + height};
  const auto known = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.control == control; });
  if (known != entries_.end())
    known->design = design;
  else
    entries_.push_back({control, design});
  const RECT r = Scaled(control, dpi);
  SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DesignLayout::PlaceAll(Dpi dpi) const {
  for (const Entry& e : entries_) {
    if (!IsWindow(e.control)) continue;
    const RECT r = Scaled(e.control, dpi);
    SetWindowPos(e.control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

RECT DesignLayout::Scaled(HWND control, Dpi dpi) const {
  for (const Entry& e : entries_) {
    if (e.control != control) continue;
    // Edges scaled, not sizes: neighbours that touch at 96 DPI touch at every scale.
    return {dpi(e.design.left), dpi(e.design.top), dpi(e.design.right), dpi(e.design.bottom)};
  }
  return {};
}

Icon LoadIconOfSize(HINSTANCE instance, const wchar_t* name, int size) {
  using ScaleDown = HRESULT(WINAPI*)(HINSTANCE, const wchar_t*, int, int, HICON*);
  static const auto scaleDown = [] {
    HMODULE comctl32 = GetModuleHandleW(L"comctl32.dll");
    if (!comctl32) comctl32 = LoadLibraryW(L"comctl32.dll");
    return comctl32 ? reinterpret_cast<ScaleDown>(
                          reinterpret_cast<void*>(GetProcAddress(comctl32, "LoadIconWithScaleDown")))
                    : nullptr;
  }();
  HICON icon = nullptr;
  if (scaleDown && SUCCEEDED(scaleDown(instance, name, size, size, &icon)) && icon) return Icon(icon);
  return Icon(static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, size, size, 0)));
}

void ReplaceChildFonts(HWND parent, HFONT previous, HFONT font) {
  struct Swap {
    HFONT previous;
    HFONT font;
  } swap{previous, font};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM param) -> BOOL {
        const auto* s = reinterpret_cast<const Swap*>(param);
        const auto current = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
        if (current == s->previous) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(s->font), TRUE);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&swap));
}

}  // namespace ui
