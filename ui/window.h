#pragma once
// A small window layer: one C++ object per window, `this` kept in the window's
// user data, a noexcept window procedure that turns an escaping exception into
// the message box the program shows, and RAII for GDI objects.
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

namespace ui {

// Shows the message of a failed command the way the program shows every error.
void ShowError(HWND owner, const std::wstring& message);

// Owns a GDI object (font, brush, pen, bitmap).
template <typename T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T handle) : handle_(handle) {}
  ~GdiObject() { Reset(); }
  GdiObject(GdiObject&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = other.handle_;
      other.handle_ = nullptr;
    }
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(T handle = nullptr) {
    if (handle_) DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  T handle_ = nullptr;
};
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;

struct FontSpec {
  const wchar_t* face = L"MS Sans Serif";
  int height = -11;  // character height in pixels, as LOGFONT wants it
  bool bold = false;
  bool italic = false;
  bool underline = false;
};
Font MakeFont(const FontSpec& spec);

// Keeps a device context's selected object and puts the old one back.
class SelectIn {
 public:
  SelectIn(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectIn() { SelectObject(dc_, old_); }
  SelectIn(const SelectIn&) = delete;
  SelectIn& operator=(const SelectIn&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Base of every top-level window and of custom controls.
class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers a class whose windows route their messages to HandleMessage.
  static void Register(const wchar_t* className, HICON icon, HBRUSH background, HCURSOR cursor);
  void CreateWindowOf(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                      int width, int height, HWND parent, HMENU menuOrId);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
};

// A child control of a standard class.
HWND CreateControl(HWND parent, const wchar_t* className, std::wstring_view text, DWORD style, DWORD exStyle,
                   int id);

// The whole text of a control, by message (works across processes too).
std::wstring GetText(HWND control);

HINSTANCE Instance();

}  // namespace ui
