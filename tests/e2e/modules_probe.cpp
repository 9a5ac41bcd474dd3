// Drives the module window of a running VelmarPro.exe from outside: opens it
// with the main window's button, reads its list (through memory in the
// program's process, as list views want), presses its buttons and answers its
// message boxes. Output is UTF-8.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "control_ids.h"
#include "e2e_win.h"

namespace {

using e2e::Utf8;
using e2e::Send;
using e2e::TextOf;
using e2e::WaitFor;
using e2e::MainWindow;

constexpr const wchar_t* kModuleClass = L"TDwnlModulesForm";
// The module window's control identifiers.
constexpr int kListView1 = 201, kLabel1 = 202, kButton2 = 203, kButton1 = 204;

[[noreturn]] void Fail(const std::string& message) { throw std::runtime_error(message); }

HWND ModuleWindow() { return FindWindowW(kModuleClass, nullptr); }

bool Loaded(HWND form) { return form && IsWindowVisible(GetDlgItem(form, kListView1)); }

// A block of memory in the program's process, for list view messages.
class Remote {
 public:
  Remote(HWND window, std::size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process_) Fail("cannot open the program's process");
    memory_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    if (!memory_) Fail("cannot allocate memory in the program's process");
  }
  ~Remote() {
    VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    CloseHandle(process_);
  }
  char* at(std::size_t offset) const { return static_cast<char*>(memory_) + offset; }
  void Write(std::size_t offset, const void* data, std::size_t size) const {
    WriteProcessMemory(process_, at(offset), data, size, nullptr);
  }
  void Read(std::size_t offset, void* data, std::size_t size) const {
    ReadProcessMemory(process_, at(offset), data, size, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
  std::size_t size_;
};

std::wstring ItemText(HWND list, const Remote& remote, int item, int column) {
  constexpr std::size_t kChars = 512;
  LVITEMW lv{};
  lv.iSubItem = column;
  lv.cchTextMax = kChars;
  lv.pszText = reinterpret_cast<wchar_t*>(remote.at(sizeof(LVITEMW)));
  remote.Write(0, &lv, sizeof lv);
  const auto n = Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(remote.at(0)));
  std::wstring text(kChars, L'\0');
  remote.Read(sizeof(LVITEMW), text.data(), kChars * sizeof(wchar_t));
  text.resize(static_cast<std::size_t>(n));
  return text;
}

int ItemImage(HWND list, const Remote& remote, int item) {
  LVITEMW lv{};
  lv.mask = LVIF_IMAGE;
  lv.iItem = item;
  remote.Write(0, &lv, sizeof lv);
  Send(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at(0)));
  remote.Read(0, &lv, sizeof lv);
  return lv.iImage;
}

void PrintWindow(HWND form) {
  HWND list = GetDlgItem(form, kListView1);
  HWND button = GetDlgItem(form, kButton2);
  std::cout << "caption=" << Utf8(TextOf(form)) << "\n";
  std::cout << "main.enabled=" << (IsWindowEnabled(MainWindow()) ? 1 : 0) << "\n";
  std::cout << "button=" << Utf8(TextOf(button)) << (IsWindowEnabled(button) ? "" : " (disabled)") << "\n";
  Remote remote(list, 4096);
  const auto count = Send(list, LVM_GETITEMCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) {
    std::cout << "row" << i << "=" << Utf8(ItemText(list, remote, i, 0)) << "|" << Utf8(ItemText(list, remote, i, 1))
              << "|" << Utf8(ItemText(list, remote, i, 2)) << "|" << ItemImage(list, remote, i) << "\n";
  }
}

// The screen point in the middle of row `item`, or below the last row.
POINT RowPoint(HWND list, int item) {
  const auto count = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
  Remote remote(list, sizeof(RECT));
  RECT r{};
  r.left = LVIR_BOUNDS;
  remote.Write(0, &r, sizeof r);
  Send(list, LVM_GETITEMRECT, static_cast<WPARAM>(item < 0 ? count - 1 : item), reinterpret_cast<LPARAM>(remote.at(0)));
  remote.Read(0, &r, sizeof r);
  POINT p{(r.left + r.right) / 2, item < 0 ? r.bottom + 30 : (r.top + r.bottom) / 2};
  if (item < 0) p.x = 60;
  ClientToScreen(list, &p);
  return p;
}

// A message box of the program.
HWND ProgramMessageBox() { return e2e::FindMessageBox(MainWindow()); }

std::wstring TempTstIni() {
  wchar_t temp[MAX_PATH + 1] = L"";
  GetTempPathW(MAX_PATH + 1, temp);
  wchar_t longPath[MAX_PATH + 1] = L"";
  GetLongPathNameW(temp, longPath, MAX_PATH + 1);
  return std::wstring(longPath) + L"tst.ini";
}

int Usage() {
  std::cerr << "usage: modules_probe COMMAND\n"
               "  open                     press \"Загрузить модули\" in the main window\n"
               "  list [MS]                wait for the loaded module window and print it\n"
               "  wait-mark ROW MARK [MS]  wait until row ROW shows MARK, then print the window\n"
               "  row-point ROW            screen point of a row (-1: below the last row)\n"
               "  press | close | close-box  the action button, \"Закрыть\", the close box\n"
               "  loading [MS]             wait until the window shows its loading state; print it\n"
               "  gone [MS]                wait until no module window is left; print main.enabled\n"
               "  message-box [MS]         print the program's message box (title|text) and press OK\n"
               "  answer-box yes|no|ok [MS] the same, answering as told\n"
               "  no-message-box [MS]      fail when a message box comes within MS\n"
               "  handle                   the module window's handle (0: none)\n"
               "  state                    caption and buttons, failing when the window does not answer\n"
               "  tray-about               open and close the about window from the tray menu, print main.enabled\n"
               "  block-temp on|off        a folder named tst.ini in the temp folder, so it cannot be written\n"
               "  tables                   the main window's table list\n"
               "  rect                     screen rectangle of the module window's client area: X Y W H\n"
               "  serve                    commands from standard input, each answer ended by a line \".\"\n";
  return 2;
}

// One command; a failure throws.
void Run(const std::vector<std::string>& args) {
  if (args.empty()) Fail("no command");
  const std::string& command = args[0];
  auto arg = [&](std::size_t i, const char* fallback) { return e2e::Arg(args, i, fallback); };

  if (command == "open") {
    HWND main = MainWindow();
    const int id = static_cast<int>(velmar::ControlId::sSpeedButton1);
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(main, id)));
  } else if (command == "list") {
    HWND form = nullptr;
    if (!WaitFor(std::stoi(arg(1, "20000")), [&] { return Loaded(form = ModuleWindow()); }))
      Fail("no loaded module window");
    PrintWindow(form);
  } else if (command == "wait-mark") {
    HWND form = ModuleWindow();
    if (!Loaded(form)) Fail("no loaded module window");
    HWND list = GetDlgItem(form, kListView1);
    Remote remote(list, 4096);
    const int row = std::stoi(args.at(1));
    const std::string mark = args.at(2);
    if (!WaitFor(std::stoi(arg(3, "20000")), [&] { return Utf8(ItemText(list, remote, row, 2)) == mark; }))
      Fail("row " + std::to_string(row) + " does not show " + mark);
    PrintWindow(form);
  } else if (command == "row-point") {
    HWND form = ModuleWindow();
    if (!Loaded(form)) Fail("no loaded module window");
    const POINT p = RowPoint(GetDlgItem(form, kListView1), std::stoi(args.at(1)));
    std::cout << p.x << " " << p.y << "\n";
  } else if (command == "press" || command == "close") {
    HWND form = ModuleWindow();
    if (!form) Fail("no module window");
    const int id = command == "press" ? kButton2 : kButton1;
    PostMessageW(form, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(form, id)));
  } else if (command == "close-box") {
    HWND form = ModuleWindow();
    if (!form) Fail("no module window");
    PostMessageW(form, WM_CLOSE, 0, 0);
  } else if (command == "loading") {
    HWND form = nullptr;
    if (!WaitFor(std::stoi(arg(1, "10000")), [&] { return (form = ModuleWindow()) != nullptr && IsWindowVisible(form); }))
      Fail("no module window");
    std::cout << "caption=" << Utf8(TextOf(form)) << "\n";
    std::cout << "label=" << Utf8(TextOf(GetDlgItem(form, kLabel1))) << "\n";
    std::cout << "main.enabled=" << (IsWindowEnabled(MainWindow()) ? 1 : 0) << "\n";
  } else if (command == "gone") {
    if (!WaitFor(std::stoi(arg(1, "10000")), [] { return ModuleWindow() == nullptr; }))
      Fail("the module window is still there");
    HWND main = MainWindow();
    WaitFor(2000, [&] { return IsWindowEnabled(main) != FALSE; });
    std::cout << "main.enabled=" << (IsWindowEnabled(main) ? 1 : 0) << "\n";
  } else if (command == "message-box") {
    HWND box = nullptr;
    if (!WaitFor(std::stoi(arg(1, "20000")), [&] { return (box = ProgramMessageBox()) != nullptr; }))
      Fail("no message box");
    std::cout << Utf8(TextOf(box)) << "|" << Utf8(TextOf(GetDlgItem(box, 0xFFFF))) << "\n";
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (!WaitFor(5000, [&] { return !IsWindow(box); })) Fail("the message box did not close");
  } else if (command == "answer-box") {
    // A question of the program: print it and answer yes, no or ok.
    HWND box = nullptr;
    if (!WaitFor(std::stoi(arg(2, "20000")), [&] { return (box = ProgramMessageBox()) != nullptr; }))
      Fail("no message box");
    std::cout << Utf8(TextOf(box)) << "|" << Utf8(TextOf(GetDlgItem(box, 0xFFFF))) << "\n";
    const std::string answer = arg(1, "ok");
    const int id = answer == "yes" ? IDYES : answer == "no" ? IDNO : IDOK;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    if (!WaitFor(5000, [&] { return !IsWindow(box); })) Fail("the message box did not close");
  } else if (command == "no-message-box") {
    // None comes within MS.
    if (WaitFor(std::stoi(arg(1, "1000")), [&] { return ProgramMessageBox() != nullptr; }))
      Fail("a message box: " + Utf8(TextOf(GetDlgItem(ProgramMessageBox(), 0xFFFF))));
  } else if (command == "handle") {
    std::cout << reinterpret_cast<std::uintptr_t>(ModuleWindow()) << "\n";
  } else if (command == "state") {
    // The window's caption and buttons, read with messages the window must
    // answer within a second.
    HWND form = ModuleWindow();
    if (!form) Fail("no module window");
    HWND action = GetDlgItem(form, kButton2), close = GetDlgItem(form, kButton1);
    wchar_t text[256] = {};
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutW(form, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 1000, &n))
      Fail("the module window does not answer");
    std::cout << "caption=" << Utf8(text) << "\n";
    std::cout << "button=" << Utf8(TextOf(action)) << (IsWindowEnabled(action) ? "" : " (disabled)") << "\n";
    std::cout << "close=" << (IsWindowEnabled(close) ? "enabled" : "disabled") << "\n";
  } else if (command == "tray-about") {
    // The about window opened from the tray menu over the module window, and
    // closed again: the main window's enabled state afterwards.
    HWND main = MainWindow();
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(static_cast<int>(velmar::ControlId::N27), 0), 0);
    HWND about = nullptr;
    if (!WaitFor(10000, [&] { return (about = FindWindowW(L"TAboutForm", nullptr)) && IsWindowVisible(about); }))
      Fail("no about window");
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(about, IDOK)));
    if (!WaitFor(10000, [&] { return !IsWindowVisible(about); })) Fail("the about window stays");
    Sleep(300);
    std::cout << "main.enabled=" << (IsWindowEnabled(main) ? 1 : 0) << "\n";
  } else if (command == "block-temp") {
    const std::wstring path = TempTstIni();
    if (arg(1, "on") == "on") {
      if (!CreateDirectoryW(path.c_str(), nullptr)) Fail("cannot create the folder tst.ini");
    } else {
      RemoveDirectoryW(path.c_str());
    }
  } else if (command == "rect") {
    HWND form = ModuleWindow();
    if (!form) Fail("no module window");
    RECT r{};
    GetClientRect(form, &r);
    POINT origin{0, 0};
    ClientToScreen(form, &origin);
    std::cout << origin.x << " " << origin.y << " " << r.right << " " << r.bottom << "\n";
  } else if (command == "tables") {
    // The main window's table list.
    HWND list = GetDlgItem(MainWindow(), static_cast<int>(velmar::ControlId::ListBox1));
    const auto count = Send(list, LB_GETCOUNT, 0, 0);
    std::cout << "count=" << count << "\n";
    for (LRESULT i = 0; i < count; ++i) {
      std::cout << Utf8(e2e::ListItem(list, i)) << "\n";
    }
  } else {
    Fail("unknown command " + command);
  }
}

}  // namespace

// "serve" reads one command a line from standard input and answers each with
// its output and a line ".", so a test script pays for one start of the probe.
int wmain(int argc, wchar_t** argv) {
  const std::vector<std::string> args = e2e::Arguments(argc, argv);
  if (args.empty()) return Usage();
  if (args[0] != "serve") {
    try {
      Run(args);
    } catch (const std::exception& e) {
      std::cerr << "modules_probe: " << e.what() << "\n";
      return 1;
    }
    return 0;
  }
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::vector<std::string> command;
    for (std::string w; words >> w;) command.push_back(w);
    try {
      Run(command);
    } catch (const std::exception& e) {
      std::cout << "ERROR: " << e.what() << "\n";
    }
    std::cout << ".\n" << std::flush;
  }
  return 0;
}
