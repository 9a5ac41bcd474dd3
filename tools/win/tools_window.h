#pragma once
// What the tool windows share: a window object with `this` in the window's
// user data and a noexcept window procedure, fonts owned by RAII, and the
// text conversions at the window edge (Windows-1251 bytes and UTF-8 literals
// to UTF-16, always with code page 1251, whatever the ANSI code page is).
#include <windows.h>

#include <string>
#include <string_view>

namespace velmar::tools_win {

std::wstring WideFromCp1251(std::string_view text);
std::string Cp1251FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);

class FontHandle {
 public:
  FontHandle() = default;
  explicit FontHandle(HFONT font) : font_(font) {}
  ~FontHandle() {
    if (font_) DeleteObject(font_);
  }
  FontHandle(const FontHandle&) = delete;
  FontHandle& operator=(const FontHandle&) = delete;
  HFONT get() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

// The user's message font (Tahoma 8 pt on a classic desktop), optionally bold
// and scaled by `scale` percent.
HFONT CreateMessageFont(bool bold = false, int scale = 100);

// Outer size of a window whose client area is width x height.
SIZE WindowSizeForClient(DWORD style, DWORD exStyle, int width, int height);

// Moves `window` to the centre of `owner` (of the screen without an owner),
// kept inside the owner's monitor work area.
void CentreOnOwner(HWND window, HWND owner);

// Base of the tool windows. The destructor destroys the window if it still
// exists; a window destroyed from outside (its owner closed) leaves hwnd() null.
class ToolWindow {
 public:
  ToolWindow() = default;
  virtual ~ToolWindow();
  ToolWindow(const ToolWindow&) = delete;
  ToolWindow& operator=(const ToolWindow&) = delete;

  HWND hwnd() const { return hwnd_; }

 protected:
  static void RegisterClassOnce(const wchar_t* className, HBRUSH background);
  void Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, SIZE size, HWND owner);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Runs after WM_NCDESTROY, when hwnd() is already null; the object may delete itself here.
  virtual void OnFinalMessage() {}

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  HWND hwnd_ = nullptr;
};

}  // namespace velmar::tools_win
