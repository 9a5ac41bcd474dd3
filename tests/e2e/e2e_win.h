#pragma once
// What the Windows test programs share: UTF-8 and UTF-16, ending with a
// message, waiting for a condition, and talking to the program's windows.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>

#include "control_ids.h"

namespace e2e {

using Clock = std::chrono::steady_clock;

inline std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

inline std::wstring Wide(std::string_view text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

// The running program's name without its folder and ".exe", for its messages.
inline std::string ProgramName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path);
  name = name.substr(name.find_last_of("\\/") + 1);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0) name.resize(name.size() - 4);
  return name;
}

[[noreturn]] inline void Fail(const std::string& message) {
  std::cerr << ProgramName() << ": " << message << "\n";
  std::exit(1);
}

// SendMessage that gives up (and fails) when the window does not answer.
inline LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs = 20000) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result))
    Fail("no answer to message " + std::to_string(message));
  return static_cast<LRESULT>(result);
}

inline std::wstring TextOf(HWND control) {
  const auto length = static_cast<std::size_t>(Send(control, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  const auto got = static_cast<std::size_t>(Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(std::min(got, length));
  return text;
}

// Polls `done` until it holds or the time is up; its last answer.
template <typename Pred>
bool WaitFor(int timeoutMs, Pred done, int stepMs = 20) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(stepMs));
  }
  return done();
}

// The program's main window; none ends the test program.
inline HWND MainWindow() {
  HWND main = FindWindowW(velmar::kMainWindowClass, nullptr);
  if (!main) Fail("no main window");
  return main;
}

// A window of the class that is on screen, or null.
inline HWND Visible(const wchar_t* className) {
  HWND hwnd = FindWindowW(className, nullptr);
  return hwnd && IsWindowVisible(hwnd) ? hwnd : nullptr;
}

}  // namespace e2e
