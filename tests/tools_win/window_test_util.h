#pragma once
// Windows and message pumping for the in-process tests of the tool windows.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "text.h"

namespace velmar::test {

inline std::wstring W(std::string_view utf8) { return ui::Widen(utf8); }
inline std::string Cp1251(std::string_view utf8) { return ui::ToCp1251(W(utf8)); }

inline std::wstring TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// A top-level window of this thread by class and/or caption (null for any).
// Never FindWindow: other programs under the same Wine server, another copy of
// these tests among them, have windows with the same names.
inline HWND FindOwnWindow(const wchar_t* className, const std::wstring& caption = {}) {
  struct Search {
    const wchar_t* className;
    const std::wstring& caption;
    HWND found = nullptr;
  } search{className, caption};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        wchar_t cls[64] = {};
        GetClassNameW(window, cls, 64);
        if (s.className && lstrcmpiW(cls, s.className) != 0) return TRUE;
        if (!s.caption.empty() && TextOf(window) != s.caption) return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline SIZE ClientSize(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return {rect.right, rect.bottom};
}

// Dispatches messages until `done` holds or `timeout` passes; returns `done()`.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(10000)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// Calls `tick` every 20 ms from whatever message loop runs (a modal one too)
// while the object lives.
class TickWhilePumping {
 public:
  explicit TickWhilePumping(std::function<void()> tick) {
    Tick() = std::move(tick);
    id_ = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) { Tick()(); });
  }
  ~TickWhilePumping() {
    KillTimer(nullptr, id_);
    Tick() = nullptr;
  }
  TickWhilePumping(const TickWhilePumping&) = delete;
  TickWhilePumping& operator=(const TickWhilePumping&) = delete;

 private:
  static std::function<void()>& Tick() {
    static std::function<void()> tick;
    return tick;
  }
  UINT_PTR id_ = 0;
};

// A visible top-level window standing in for the main window.
class OwnerWindow {
 public:
  OwnerWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = L"VelmarToolsTestOwner";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"Tool windows test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 640, 480,
                            nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~OwnerWindow() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace velmar::test
