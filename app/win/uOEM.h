#pragma once
// The splash window: the program's picture with its own transparency, on top
// of everything, centred on the desktop, shown for a moment at start.
#include <windows.h>

#include "png_pixels.h"
#include "window.h"

namespace velmar {

class TOEMForm : public ui::Window {
 public:
  static constexpr const wchar_t* kClassName = L"TOEMForm";

  // Creates the window (hidden): decodes the picture and renders it once.
  void FormCreate();
  // Shows the window without activating it, paints it at once, keeps it up
  // for `milliseconds` without handling messages, then hides and destroys it.
  void ShowFor(DWORD milliseconds);

 private:
  void Render();
  void Present();  // the render bitmap to the screen with per-pixel alpha

  ui::Pixels image_;
  ui::GdiObject<HBITMAP> bitmap_;
};

// How long the start shows the splash.
inline constexpr DWORD kSplashMs = 900;

}  // namespace velmar
