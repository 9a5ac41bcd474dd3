// Looks at what the tray and hotkey side of a running VelmarPro.exe leaves
// behind, from outside: the clipboard formats, the tray icon's callback and
// its menu. Output is UTF-8, one "name=value" per line.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "control_ids.h"
#include "e2e_win.h"

namespace {

using e2e::Utf8;
using e2e::Wide;
using e2e::Fail;
using e2e::WaitFor;
using e2e::MainWindow;
using e2e::VisibleMenu;

using e2e::Clock;

bool OpenClipboardSoon() {
  return WaitFor(3000, [] { return OpenClipboard(nullptr) != FALSE; });
}

std::string Hex(const void* data, std::size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

// The exact bytes of one clipboard format, or nothing.
bool FormatBytes(UINT format, std::vector<unsigned char>& bytes) {
  HANDLE data = GetClipboardData(format);
  if (!data) return false;
  const SIZE_T size = GlobalSize(data);
  const void* p = GlobalLock(data);
  if (!p) return false;
  bytes.assign(static_cast<const unsigned char*>(p), static_cast<const unsigned char*>(p) + size);
  GlobalUnlock(data);
  return true;
}

void PrintClipboard() {
  if (!OpenClipboardSoon()) Fail("cannot open the clipboard");
  std::vector<unsigned char> bytes;
  // CF_TEXT up to its NUL byte, hex; CF_UNICODETEXT up to its NUL, as UTF-8; CF_LOCALE whole, hex.
  if (FormatBytes(CF_TEXT, bytes)) {
    std::size_t n = 0;
    while (n < bytes.size() && bytes[n]) ++n;
    std::cout << "text=" << Hex(bytes.data(), n) << "\n";
  }
  if (FormatBytes(CF_UNICODETEXT, bytes)) {
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    text.resize(wcsnlen(text.c_str(), text.size()));
    std::string shown;  // line breaks written out, so the value stays on one line
    for (char c : Utf8(text)) shown += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    std::cout << "unicode=" << shown << "\n";
  }
  if (FormatBytes(CF_LOCALE, bytes)) std::cout << "locale=" << Hex(bytes.data(), std::min<std::size_t>(bytes.size(), 2)) << "\n";
  const WORD lang = GetUserDefaultLangID();
  const unsigned char langBytes[2] = {static_cast<unsigned char>(lang & 0xFF), static_cast<unsigned char>(lang >> 8)};
  std::cout << "langid=" << Hex(langBytes, 2) << "\n";
  CloseClipboard();
}

void SetClipboardText(const std::wstring& text) {
  if (!OpenClipboardSoon()) Fail("cannot open the clipboard");
  EmptyClipboard();
  const std::size_t size = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(memory), text.c_str(), size);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

// Item texts of a menu, "-" for a separator, ">" before a submenu's items,
// "*" after a checked item.
void DescribeMenu(HMENU menu, std::string& out) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[128] = L"";
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 127;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    if (!out.empty()) out += "|";
    if (info.fType & MFT_SEPARATOR) {
      out += "-";
      continue;
    }
    out += Utf8(text);
    if (info.fState & MFS_CHECKED) out += "*";
    if (info.hSubMenu) {
      out += ">";
      std::string sub;
      DescribeMenu(info.hSubMenu, sub);
      out += "[" + sub + "]";
    }
  }
}

void PressKey(HWND main, const std::string& key) {
  WPARAM vk = 0;
  if (key == "down") vk = VK_DOWN;
  else if (key == "up") vk = VK_UP;
  else if (key == "right") vk = VK_RIGHT;
  else if (key == "return") vk = VK_RETURN;
  else if (key == "escape") vk = VK_ESCAPE;
  else Fail("unknown key " + key);
  PostMessageW(main, WM_KEYDOWN, vk, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

int Usage() {
  std::cerr << "usage: hotkey_probe COMMAND [ARGS]\n"
               "  clipboard | set-clipboard TEXT | seq\n"
               "  hold-clipboard-run MS        (holds the clipboard until MS after the program's run has ended)\n"
               "  tray dblclick|rbuttonup      (the tray icon's callback message)\n"
               "  tray-menu [KEY...]           (opens the tray menu, prints its items, presses the keys:\n"
               "                                down up right return escape; escape when none)\n"
               "  foreground                   (class name of the foreground window)\n"
               "  wait-foreground TITLE [MS]   (until that window is in front with a focused control)\n"
               "  tray-present | tray-delete   (whether the shell holds the program's icon; removes it)\n"
               "  taskbar-created              (the shell's \"TaskbarCreated\" message)\n"
               "  hotkey-held                  (quick=1/main=1 when another program holds the hotkey)\n";
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args = e2e::Arguments(argc, argv);
  if (args.empty()) return Usage();
  const std::string& command = args[0];

  if (command == "clipboard") {
    PrintClipboard();
  } else if (command == "set-clipboard" && args.size() > 1) {
    SetClipboardText(Wide(args[1]));
  } else if (command == "seq") {
    std::cout << GetClipboardSequenceNumber() << "\n";
  } else if (command == "hold-clipboard-run" && args.size() > 1) {
    // Holds the clipboard from now until MS after the program's run has
    // ended, so that the run's result cannot go onto it, however long the run.
    HWND main = MainWindow();
    if (!OpenClipboardSoon()) Fail("cannot open the clipboard");
    if (e2e::RunIdle(main)) {
      CloseClipboard();
      Fail("the run had ended before the clipboard was taken: give it a longer text");
    }
    std::cout << "held" << std::endl;
    const bool ended = WaitFor(180000, [main] { return e2e::RunIdle(main); });
    std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(args[1])));
    CloseClipboard();
    if (!ended) Fail("the run did not end while the clipboard was held");
  } else if (command == "tray" && args.size() > 1) {
    const LPARAM mouse = args[1] == "dblclick" ? WM_LBUTTONDBLCLK : WM_RBUTTONUP;
    PostMessageW(MainWindow(), velmar::kTrayCallbackMessage, 1, mouse);
  } else if (command == "tray-menu") {
    HWND main = MainWindow();
    PostMessageW(main, velmar::kTrayCallbackMessage, 1, WM_RBUTTONUP);
    HWND menuWindow = nullptr;
    if (!WaitFor(5000, [&] { return (menuWindow = VisibleMenu()) != nullptr; })) Fail("the tray menu did not open");
    std::string items;
    if (auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0))) DescribeMenu(menu, items);
    std::cout << "menu=" << items << std::endl;
    if (args.size() == 1) args.push_back("escape");
    for (std::size_t i = 1; i < args.size(); ++i) PressKey(main, args[i]);
    if (!WaitFor(5000, [] { return VisibleMenu() == nullptr; })) Fail("the tray menu did not close");
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);  // the choice has been handled
  } else if (command == "tray-present" || command == "tray-delete") {
    // The shell answers a change of an icon it does not hold with failure, so
    // an empty change tells whether the program's icon is there.
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = MainWindow();
    data.uID = 1;
    const bool ok = Shell_NotifyIconW(command == "tray-present" ? NIM_MODIFY : NIM_DELETE, &data) != FALSE;
    std::cout << (command == "tray-present" ? "present=" : "deleted=") << (ok ? 1 : 0) << "\n";
  } else if (command == "foreground") {
    wchar_t name[64] = L"";
    GetClassNameW(GetForegroundWindow(), name, 64);
    std::cout << Utf8(name) << "\n";
  } else if (command == "wait-foreground" && args.size() > 1) {
    // Until the window titled TITLE is the system's foreground window and a
    // control of it has the keyboard focus. The X server's focus comes first:
    // a hotkey pressed before the program has taken it in finds another
    // window in front.
    const std::wstring title = Wide(args[1]);
    const int ms = args.size() > 2 ? std::stoi(args[2]) : 15000;
    const bool inFront = WaitFor(ms, [&] {
      HWND front = GetForegroundWindow();
      wchar_t text[256] = L"";
      if (!front || GetWindowTextW(front, text, 256) < 0 || title != text) return false;
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      return GetGUIThreadInfo(GetWindowThreadProcessId(front, nullptr), &info) && info.hwndFocus != nullptr;
    });
    if (!inFront) Fail("the window " + args[1] + " did not come to the front");
  } else if (command == "hotkey-held") {
    // Whether some program holds Ctrl+Alt+Q and Ctrl+Alt+T: the system refuses
    // a combination another window has registered.
    for (const auto& [name, key] : {std::pair{"quick", 'Q'}, std::pair{"main", 'T'}}) {
      const bool free = RegisterHotKey(nullptr, 0x7000, MOD_CONTROL | MOD_ALT, key) != FALSE;
      if (free) UnregisterHotKey(nullptr, 0x7000);
      std::cout << name << "=" << (free ? 0 : 1) << "\n";
    }
  } else if (command == "taskbar-created") {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(MainWindow(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_NORMAL, 10000, &ignored);
  } else {
    return Usage();
  }
  return 0;
}
