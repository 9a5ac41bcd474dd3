#include "e2e_win.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "control_ids.h"
#include "text.h"

namespace e2e {

std::string Utf8(std::wstring_view text) { return ui::Narrow(text); }
std::wstring Wide(std::string_view text) { return ui::Widen(text); }

std::vector<std::string> Arguments(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8(argv[i]));
  return args;
}

std::string Arg(const std::vector<std::string>& args, std::size_t i, const std::string& fallback) {
  return i < args.size() ? args[i] : fallback;
}

std::string ProgramName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path);
  name = name.substr(name.find_last_of("\\/") + 1);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0) name.resize(name.size() - 4);
  return name;
}

void Fail(const std::string& message) {
  std::cerr << ProgramName() << ": " << message << "\n";
  std::exit(1);
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result))
    Fail("no answer to message " + std::to_string(message));
  return static_cast<LRESULT>(result);
}

bool SendCopyData(HWND hwnd, const void* bytes, DWORD size, UINT timeoutMs) {
  COPYDATASTRUCT data{};
  data.cbData = size;
  data.lpData = const_cast<void*>(bytes);
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, timeoutMs,
                             &result) != 0;
}

std::wstring TextOf(HWND control) {
  const auto length = static_cast<std::size_t>(Send(control, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  const auto got = static_cast<std::size_t>(Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(std::min(got, length));
  return text;
}

std::wstring ListItem(HWND list, LRESULT i) {
  const auto length = static_cast<std::size_t>(Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
  std::wstring item(length + 1, L'\0');
  Send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
  item.resize(length);
  return item;
}

HWND MainWindow() {
  HWND main = FindWindowW(velmar::kMainWindowClass, nullptr);
  if (!main) Fail("no main window");
  return main;
}

bool RunIdle(HWND main) {
  const auto enabled = [main](velmar::ControlId id) {
    HWND control = GetDlgItem(main, static_cast<int>(id));
    return control && IsWindowEnabled(control);
  };
  return enabled(velmar::ControlId::btn_Velmar) && enabled(velmar::ControlId::ListBox1);
}

HWND Visible(const wchar_t* className) {
  HWND hwnd = FindWindowW(className, nullptr);
  return hwnd && IsWindowVisible(hwnd) ? hwnd : nullptr;
}

HWND VisibleMenu() { return Visible(L"#32768"); }

namespace {

// Calls `each` for the visible top-level windows of the process of `window`
// until it answers false.
void ForEachProgramWindow(HWND window, const std::function<bool(HWND)>& each) {
  struct Search {
    DWORD pid;
    const std::function<bool(HWND)>* each;
  } search{0, &each};
  GetWindowThreadProcessId(window, &search.pid);
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        const auto* s = reinterpret_cast<const Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != s->pid || !IsWindowVisible(hwnd)) return TRUE;
        return (*s->each)(hwnd) ? TRUE : FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
}

}  // namespace

HWND FindProgramWindow(HWND window, const std::function<bool(HWND)>& match) {
  HWND found = nullptr;
  ForEachProgramWindow(window, [&](HWND hwnd) {
    if (!match(hwnd)) return true;
    found = hwnd;
    return false;
  });
  return found;
}

int CountProgramWindows(HWND window, const std::function<bool(HWND)>& match) {
  int count = 0;
  ForEachProgramWindow(window, [&](HWND hwnd) {
    if (match(hwnd)) ++count;
    return true;
  });
  return count;
}

bool IsMessageBox(HWND hwnd) {
  wchar_t name[64] = L"";
  GetClassNameW(hwnd, name, 64);
  return std::wstring_view(name) == L"#32770" && GetDlgItem(hwnd, 0xFFFF) != nullptr;
}

HWND FindMessageBox(HWND window) { return FindProgramWindow(window, IsMessageBox); }

}  // namespace e2e
