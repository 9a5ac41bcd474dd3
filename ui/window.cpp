#include "window.h"

#include <exception>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "control.h"
#include "text.h"

namespace ui {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

void ShowError(HWND owner, const std::wstring& message) {
  MessageBoxW(owner, message.c_str(), L"VelmarPro", MB_OK | MB_ICONERROR);
}

std::wstring FailureMessage(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    return Widen("Недостаточно памяти для выполнения команды");
  } catch (const std::length_error&) {
    return Widen("Недостаточно памяти для выполнения команды");
  } catch (const std::filesystem::filesystem_error& e) {
    // The library's own text is English: the file and the system's code say enough.
    std::wstring message = Widen("Не удалось выполнить действие с файлом");
    if (!e.path1().empty()) message += L" \u00AB" + e.path1().wstring() + L"\u00BB";
    return message + Widen(" (код ошибки ") + std::to_wstring(e.code().value()) + L")";
  } catch (const std::exception& e) {
    if (*e.what()) return Widen(e.what());
  } catch (...) {
  }
  return Widen("Непредвиденная ошибка");
}

Font MakeFont(const FontSpec& spec) {
  LOGFONTW lf{};
  lf.lfHeight = spec.height;
  lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = spec.italic;
  lf.lfUnderline = spec.underline;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, spec.face, LF_FACESIZE);
  return Font(CreateFontIndirectW(&lf));
}

Font MakeFont(FontSpec spec, Dpi dpi) {
  spec.height = dpi(spec.height);
  return MakeFont(spec);
}

Window::~Window() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void Window::Register(const wchar_t* className, HICON icon, HBRUSH background, HCURSOR cursor) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(Instance(), className, &wc)) return;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = Proc;
  wc.hInstance = Instance();
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  if (!RegisterClassExW(&wc)) throw std::runtime_error("Не удалось зарегистрировать класс окна");
}

void Window::CreateWindowOf(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x,
                            int y, int width, int height, HWND parent, HMENU menuOrId) {
  CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menuOrId, Instance(), this);
  if (!hwnd_) throw std::runtime_error("Не удалось создать окно");
  TakeDpi();
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DPICHANGED) {
    const Dpi previous = dpi_;
    dpi_ = Dpi(HIWORD(wParam));
    DpiChanged(previous);
    TakeSuggestedRect(hwnd_, lParam);
    return 0;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool Window::KeepUntilDestroyed(std::unique_ptr<Window> window) {
  if (!window || !window->hwnd_) return false;
  Window* object = window.get();
  object->self_ = std::move(window);
  return true;
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self && message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  ++self->handling_;
  try {
    // A control with an object of its own handles its notifications itself.
    if (!ForwardToControl(message, wParam, lParam, result)) result = self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // The command ends here; the program carries on.
    ShowError(hwnd, FailureMessage(std::current_exception()));
    result = 0;
  }
  --self->handling_;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  // A window that owns its object lets it go once the last handler has returned.
  if (!self->hwnd_ && self->handling_ == 0 && self->self_) {
    const std::unique_ptr<Window> last = std::move(self->self_);  // deletes the object
  }
  return result;
}

HWND CreateControl(HWND parent, const wchar_t* className, std::wstring_view text, DWORD style, DWORD exStyle,
                   int id) {
  const std::wstring caption(text);
  HWND control = CreateWindowExW(exStyle, className, caption.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
  if (!control) throw std::runtime_error("Не удалось создать элемент окна");
  SendMessageW(control, WM_SETFONT, SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
  return control;
}

std::wstring GetText(HWND control) {
  const auto length = static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  const auto got = static_cast<std::size_t>(
      SendMessageW(control, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data())));
  text.resize(got < length ? got : length);
  return text;
}

}  // namespace ui
