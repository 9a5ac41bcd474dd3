#pragma once
// What the Windows test programs share: UTF-8 and UTF-16, their command line,
// ending with a message, waiting for a condition, and talking to the program's
// windows. Built once as the library velmar_e2e_win, which they link.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace e2e {

using Clock = std::chrono::steady_clock;

// UTF-16 window text as UTF-8 and back (the ui layer's conversions).
std::string Utf8(std::wstring_view text);
std::wstring Wide(std::string_view text);

// The command line's arguments after the program's name, as UTF-8; standard
// output is switched to binary, so what is printed reaches the script as is.
std::vector<std::string> Arguments(int argc, wchar_t** argv);
// args[i], or the fallback when there are fewer arguments.
std::string Arg(const std::vector<std::string>& args, std::size_t i, const std::string& fallback = {});

// The running program's name without its folder and ".exe", for its messages.
std::string ProgramName();

[[noreturn]] void Fail(const std::string& message);

// SendMessage that gives up (and fails) when the window does not answer.
LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs = 20000);

// A WM_COPYDATA of `size` bytes; false when the window did not answer in time.
bool SendCopyData(HWND hwnd, const void* bytes, DWORD size, UINT timeoutMs);

std::wstring TextOf(HWND control);
// Item `i` of another process's list box (the system copies the text back for
// lists that hold strings).
std::wstring ListItem(HWND list, LRESULT i);

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
HWND MainWindow();

// No conversion run works: the buttons a run disables are enabled again. Read
// from the windows' state, without a message the busy program would not answer.
bool RunIdle(HWND main);

// A window of the class that is on screen, or null.
HWND Visible(const wchar_t* className);

// The popup menu on screen, or null.
HWND VisibleMenu();

// The first visible top-level window of the process of `window` that `match` accepts, or null.
HWND FindProgramWindow(HWND window, const std::function<bool(HWND)>& match);
// How many visible top-level windows of that process `match` accepts.
int CountProgramWindows(HWND window, const std::function<bool(HWND)>& match);

// A message box: a dialog window with a message text (a file dialog, also a dialog, has none).
bool IsMessageBox(HWND hwnd);
// A message box of the process of `window`, or null.
HWND FindMessageBox(HWND window);

}  // namespace e2e
