#include "tools_window.h"

#include <exception>
#include <stdexcept>

namespace velmar::tools_win {
namespace {

std::wstring Widen(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

}  // namespace

std::wstring WideFromCp1251(std::string_view text) { return Widen(1251, text); }
std::wstring WideFromUtf8(std::string_view text) { return Widen(CP_UTF8, text); }

std::string Cp1251FromWide(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(1251, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(1251, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
  return bytes;
}

HFONT CreateMessageFont(bool bold, int scale) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTW font{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font = metrics.lfMessageFont;
  } else {
    font.lfHeight = -11;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
  }
  font.lfHeight = MulDiv(font.lfHeight, scale, 100);
  if (bold) font.lfWeight = FW_BOLD;
  return CreateFontIndirectW(&font);
}

SIZE WindowSizeForClient(DWORD style, DWORD exStyle, int width, int height) {
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

void CentreOnOwner(HWND window, HWND owner) {
  RECT self{};
  GetWindowRect(window, &self);
  const int width = self.right - self.left;
  const int height = self.bottom - self.top;
  RECT area{};
  HMONITOR monitor = MonitorFromWindow(owner ? owner : window, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) area = info.rcWork;
  RECT around = area;
  if (owner) GetWindowRect(owner, &around);
  int x = around.left + (around.right - around.left - width) / 2;
  int y = around.top + (around.bottom - around.top - height) / 2;
  if (area.right > area.left) {
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
  }
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

ToolWindow::~ToolWindow() {
  if (hwnd_) {
    // The derived part is gone: the last messages go to the default procedure.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void ToolWindow::RegisterClassOnce(const wchar_t* className, HBRUSH background) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(Instance(), className, &wc)) return;
  wc.lpfnWndProc = Proc;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  if (!RegisterClassExW(&wc)) throw std::runtime_error("Cannot register a window class");
}

void ToolWindow::Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, SIZE size,
                        HWND owner) {
  CreateWindowExW(exStyle, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy, owner, nullptr,
                  Instance(), this);
  if (!hwnd_) throw std::runtime_error("Cannot create a window");
}

LRESULT ToolWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK ToolWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<ToolWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self && message == WM_NCCREATE) {
    self = static_cast<ToolWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& e) {
    // The command ends here; the program carries on.
    MessageBoxW(hwnd, WideFromUtf8(e.what()).c_str(), L"VelmarPro", MB_OK | MB_ICONERROR);
  } catch (...) {
    MessageBoxW(hwnd, L"Unexpected error", L"VelmarPro", MB_OK | MB_ICONERROR);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->OnFinalMessage();  // last use of self: it may be deleted now
  }
  return result;
}

}  // namespace velmar::tools_win
