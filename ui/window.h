#pragma once
// A small window layer: one C++ object per window, `this` kept in the window's
// user data, a noexcept window procedure that turns an escaping exception into
// the message box the program shows. The notifications of a child control go
// to the control's own object when it has one (see control.h), the others to
// the window's HandleMessage.
#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "dpi.h"
#include "handles.h"

namespace ui {

// Shows the message of a failed command the way the program shows every error.
void ShowError(HWND owner, const std::wstring& message);
// What ShowError says of an exception that ended a command: its own message,
// or the program's own words when the exception has none a user can read
// (memory ran out, a file system failure, anything that is no std::exception).
std::wstring FailureMessage(const std::exception_ptr& failure);

struct FontSpec {
  const wchar_t* face = L"MS Sans Serif";
  int height = -11;  // character height in pixels, as LOGFONT wants it
  bool bold = false;
  bool italic = false;
  bool underline = false;
};
Font MakeFont(const FontSpec& spec);
// The font with its 96-DPI height scaled to `dpi`.
Font MakeFont(FontSpec spec, Dpi dpi);

// Base of every top-level window and of custom controls.
class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }

  // Hands `window` to its own window: the object is deleted once the window is
  // destroyed (by DestroyWindow, or with its parent or owner) and no handler of
  // its messages is still running. For windows nobody else keeps, such as a
  // modeless window that closes itself. False, and the object deleted at once,
  // when it has no window.
  static bool KeepUntilDestroyed(std::unique_ptr<Window> window);

 protected:
  // Registers a class whose windows route their messages to HandleMessage.
  static void Register(const wchar_t* className, HICON icon, HBRUSH background, HCURSOR cursor);
  void CreateWindowOf(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                      int width, int height, HWND parent, HMENU menuOrId);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Called when the window has moved to a monitor of another scale, `dpi_`
  // already the new one and before the window takes its new size: fonts and
  // pictures are made again here; the layout follows with the new size.
  virtual void DpiChanged(Dpi /*previous*/) {}
  // Takes the scale of the monitor the window stands on.
  void TakeDpi() { dpi_ = ScaleForWindow(hwnd_); }

  HWND hwnd_ = nullptr;
  Dpi dpi_;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  std::unique_ptr<Window> self_;  // set by KeepUntilDestroyed
  int handling_ = 0;              // handlers of this window's messages on the stack
};

// KeepUntilDestroyed for a derived type: the object, or null when it had no window.
template <typename T>
T* OwnedByItsWindow(std::unique_ptr<T> window) {
  T* object = window.get();
  return Window::KeepUntilDestroyed(std::move(window)) ? object : nullptr;
}

// A child control of a standard class.
HWND CreateControl(HWND parent, const wchar_t* className, std::wstring_view text, DWORD style, DWORD exStyle,
                   int id);

// The whole text of a control, by message (works across processes too).
std::wstring GetText(HWND control);

HINSTANCE Instance();

}  // namespace ui
