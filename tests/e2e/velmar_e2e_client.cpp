// Drives a running VelmarPro.exe from outside, as a user or a client program
// would: finds the main window by its class, reads and sets control texts,
// presses buttons by the WM_COMMAND their clicks send, waits for runs.
// Texts in files and on standard output are UTF-8.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "command_protocol.h"
#include "control_ids.h"
#include "e2e_win.h"

namespace {

using e2e::Fail;
using e2e::Utf8;
using e2e::Wide;
using e2e::Send;
using e2e::TextOf;
using e2e::WaitFor;
using e2e::MainWindow;
using e2e::FindProgramWindow;
using e2e::FindMessageBox;
using e2e::SendCopyData;

using velmar::ControlId;
using e2e::Clock;

constexpr UINT kSendTimeoutMs = 20000;

HWND ControlOf(HWND main, ControlId id) {
  HWND control = GetDlgItem(main, static_cast<int>(id));
  if (!control) Fail("no control " + std::to_string(static_cast<int>(id)));
  return control;
}

// Text by message: GetWindowText on another process's edit box gives its creation caption.
// Wine cannot pass a message carrying more than about a megabyte to another
// process (the receiver dies in the system's message code), so a long text
// goes in as the first piece and then appended pieces, as pasting would.
bool SetLargeText(HWND edit, const std::wstring& text) {
  constexpr std::size_t kPiece = 256 * 1024;
  const std::wstring first = text.substr(0, kPiece);
  if (!Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(first.c_str()))) return false;
  for (std::size_t at = kPiece; at < text.size(); at += kPiece) {
    const std::wstring piece = text.substr(at, kPiece);
    Send(edit, EM_SETSEL, at, at);
    Send(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
  }
  return static_cast<std::size_t>(Send(edit, WM_GETTEXTLENGTH, 0, 0)) == text.size();
}

std::wstring ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path);
  std::stringstream s;
  s << in.rdbuf();
  return Wide(s.str());
}

void WriteFileText(const std::string& path, const std::wstring& text) {
  std::ofstream out(path, std::ios::binary);
  out << Utf8(text);
  if (!out) Fail("cannot write " + path);
}

const std::map<std::string, ControlId>& Buttons() {
  static const std::map<std::string, ControlId> buttons = {
      {"btn_Velmar", ControlId::btn_Velmar}, {"CheckBox1", ControlId::CheckBox1},
      {"sSpeedButton9", ControlId::sSpeedButton9}, {"btn_About", ControlId::btn_About},
      {"sSpeedButton4", ControlId::sSpeedButton4}};
  return buttons;
}

// A control by its name in control_ids.h ("Memo1") or its number.
ControlId ControlNamed(const std::string& name) {
  for (const auto& [known, id] : velmar::kControlNames)
    if (known == name) return id;
  if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos)
    return static_cast<ControlId>(std::stoi(name));
  Fail("unknown control " + name);
}

// What a user's click on the button delivers: WM_COMMAND with BN_CLICKED to its parent.
void Click(HWND main, ControlId id) {
  HWND button = ControlOf(main, id);
  Send(main, WM_COMMAND, MAKEWPARAM(static_cast<int>(id), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

using e2e::RunIdle;

void WaitRun(HWND main, int timeoutMs) {
  if (!WaitFor(timeoutMs, [&] { return RunIdle(main); })) Fail("the run did not complete in time");
}

int CountMainWindows() {
  int count = 0;
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        wchar_t name[64] = L"";
        GetClassNameW(hwnd, name, 64);
        if (std::wstring(name) == velmar::kMainWindowClass) ++*reinterpret_cast<int*>(param);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

// Whether a top-level window (hidden ones too) has a class name beginning with `prefix`.
bool WindowOfClassExists(const std::wstring& prefix) {
  struct Search {
    const std::wstring& prefix;
    bool found;
  } search{prefix, false};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        wchar_t name[256] = L"";
        GetClassNameW(hwnd, name, 256);
        s->found = std::wstring_view(name).starts_with(s->prefix);
        return s->found ? FALSE : TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The statistics window of the program.
HWND FindStatWindow(HWND main) {
  return FindProgramWindow(main, [](HWND hwnd) {
    wchar_t caption[64] = L"";
    GetWindowTextW(hwnd, caption, 64);
    return std::wstring(caption) == L"Статистика";
  });
}

int CountMessageBoxes(HWND main) { return e2e::CountProgramWindows(main, e2e::IsMessageBox); }

void PrintInfo(HWND main) {
  std::cout << "visible=" << (IsWindowVisible(main) ? 1 : 0) << "\n";
  std::cout << "iconic=" << (IsIconic(main) ? 1 : 0) << "\n";
  std::cout << "title=" << Utf8(TextOf(main)) << "\n";
  HWND list = ControlOf(main, ControlId::ListBox1);
  const auto count = Send(list, LB_GETCOUNT, 0, 0);
  std::cout << "list.count=" << count << "\n";
  std::cout << "list.sel=" << Send(list, LB_GETCURSEL, 0, 0) << "\n";
  std::cout << "list.itemheight=" << Send(list, LB_GETITEMHEIGHT, 0, 0) << "\n";
  for (LRESULT i = 0; i < count; ++i) {
    std::cout << "list[" << i << "]=" << Utf8(e2e::ListItem(list, i)) << "\n";
  }
  for (auto [name, id] : std::initializer_list<std::pair<const char*, ControlId>>{
           {"label1", ControlId::Label1}, {"label3", ControlId::Label3}, {"label4", ControlId::Label4},
           {"label5", ControlId::Label5}, {"label2", ControlId::Label2}, {"btn_Velmar", ControlId::btn_Velmar},
           {"sSpeedButton1", ControlId::sSpeedButton1}, {"sSpeedButton2", ControlId::sSpeedButton2},
           {"sSpeedButton4", ControlId::sSpeedButton4}, {"btn_About", ControlId::btn_About},
           {"sSpeedButton9", ControlId::sSpeedButton9}})
    std::cout << name << "=" << Utf8(TextOf(ControlOf(main, id))) << "\n";
  std::cout << "idle=" << (RunIdle(main) ? 1 : 0) << "\n";
  RECT r;
  GetWindowRect(main, &r);
  std::cout << "size=" << (r.right - r.left) << "x" << (r.bottom - r.top) << "\n";
}

// The exit status of a wait: 0 when it came true, otherwise 1 with a word on
// standard error. Every failure of this client says something: a client that
// ends without a word failed to start under Wine, and the scripts try again.
int WaitResult(bool cameTrue, const char* otherwise) {
  if (cameTrue) return 0;
  std::cerr << "velmar_e2e_client: " << otherwise << "\n";
  return 1;
}

int Usage() {
  std::cerr << "usage: velmar_e2e_client COMMAND [ARGS]\n"
               "  wait [MS] | wait-gone [MS] | count | info | label2 | idle\n"
               "  mutex                (the single-instance mutex: none, held or free)\n"
               "  wait-window CLASS-PREFIX [MS]  (until a top-level window of such a class exists)\n"
               "  set-memo1 FILE | get-memo2 FILE | get-memo1 FILE\n"
               "  click BUTTON | select INDEX | wait-run [MS] | wait-memo2 FILE [MS]\n"
               "  convert IN OUT [MS]   (set, press btn_Velmar, wait, read; prints milliseconds)\n"
               "  convert-twice FIRST SECOND EXPECTED [MS]  (a second request during a run)\n"
               "  mode-menu N          (picks item N of the mode menu)\n"
               "  wait-menu [MS] | wait-menu-gone [MS]  (until a popup menu shows, or none does)\n"
               "  focus                (control id of the keyboard focus)\n"
               "  tooltip [MS]         (the text of the program's tooltip once one shows, or an empty line)\n"
               "  minimize | maximize | restore | close | resize W H | rect CONTROL (a name of control_ids.h; main: the main window)\n"
               "  message-text-rect [MS]  (screen rectangle of the text of the program's message box)\n"
               "  message-box [MS [BUTTON-ID]]  (prints the text of the program's message box and presses OK or BUTTON-ID)\n"
               "  select-text CONTROL START END | click-label2\n"
               "  stat-window [MS]     (prints the statistics window's rows and presses OK) | no-statistics-run [MS]\n"
               "  menu-command NAME    (the WM_COMMAND of a tray menu item: N19)\n"
               "  set-title TEXT | copydata-empty | copydata-big MEGABYTES | paint | redraw\n"
               "  flood N              (N bad commands at once; prints how many message boxes show)\n"
               "  no-message-box [MS]  (fails when a message box of the program shows)\n";
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::string> args = e2e::Arguments(argc, argv);
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  const auto arg = [&](std::size_t i, const std::string& fallback = {}) { return e2e::Arg(args, i, fallback); };

  if (command == "wait") {
    // Until the window exists, has its tables and answers messages, and the
    // splash is gone: then the program has reached its message loop. (While
    // the splash is up the program may answer messages already, whenever a
    // call it makes waits for another process.)
    const int ms = std::stoi(arg(1, "20000"));
    return WaitResult(WaitFor(ms,
                   [] {
                     HWND main = FindWindowW(velmar::kMainWindowClass, nullptr);
                     HWND list = main ? GetDlgItem(main, static_cast<int>(ControlId::ListBox1)) : nullptr;
                     DWORD_PTR count = 0;
                     return list && !FindWindowW(L"TOEMForm", nullptr) &&
                            SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &count) &&
                            SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 1000, &count) && count >= 2;
                   }),
                   "no main window ready");
  }
  if (command == "wait-gone") {
    const int ms = std::stoi(arg(1, "20000"));
    return WaitResult(WaitFor(ms, [] { return FindWindowW(velmar::kMainWindowClass, nullptr) == nullptr; }),
                   "the main window is still there");
  }
  if (command == "wait-window") {
    // A protocol client's window: it registers right after creating it.
    const std::wstring prefix = Wide(arg(1));
    return WaitResult(WaitFor(std::stoi(arg(2, "30000")), [&] { return WindowOfClassExists(prefix); }), "no such window");
  }
  if (command == "wait-menu") {
    // Until a popup menu (of any program of the session) is on the screen.
    return WaitResult(WaitFor(std::stoi(arg(1, "10000")), [] { return e2e::VisibleMenu() != nullptr; }), "no menu");
  }
  if (command == "wait-menu-gone") {
    return WaitResult(WaitFor(std::stoi(arg(1, "10000")), [] { return e2e::VisibleMenu() == nullptr; }), "a menu is still there");
  }
  if (command == "count") {
    std::cout << CountMainWindows() << "\n";
    return 0;
  }
  if (command == "mutex") {
    // The program's single-instance mutex: none, held by a copy, or free
    // (it exists, and nobody holds it).
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"qmz_velmarpro");
    if (!mutex) {
      std::cout << "none\n";
      return 0;
    }
    const DWORD waited = WaitForSingleObject(mutex, 0);
    std::cout << (waited == WAIT_TIMEOUT ? "held" : "free") << "\n";
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
  }

  HWND main = MainWindow();
  if (command == "idle") {
    // 1 when no run works, read from the buttons' state without a message to
    // the program: its window does not answer while it fills a box with a long result.
    std::cout << (RunIdle(main) ? 1 : 0) << "\n";
    return 0;
  }
  if (command == "info") {
    PrintInfo(main);
  } else if (command == "label2") {
    std::cout << Utf8(TextOf(ControlOf(main, ControlId::Label2))) << "\n";
  } else if (command == "set-memo1") {
    const std::wstring text = ReadFileText(arg(1));
    if (!SetLargeText(ControlOf(main, ControlId::Memo1), text)) Fail("Memo1 refused the text");
  } else if (command == "get-memo1") {
    WriteFileText(arg(1), TextOf(ControlOf(main, ControlId::Memo1)));
  } else if (command == "get-memo2") {
    WriteFileText(arg(1), TextOf(ControlOf(main, ControlId::Memo2)));
  } else if (command == "click") {
    const auto found = Buttons().find(arg(1));
    if (found == Buttons().end()) Fail("unknown button " + arg(1));
    Click(main, found->second);
  } else if (command == "select") {
    // What a user's choice in the list does: the selection, then LBN_SELCHANGE to the parent.
    HWND list = ControlOf(main, ControlId::ListBox1);
    const int index = std::stoi(arg(1));
    Send(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Send(main, WM_COMMAND, MAKEWPARAM(static_cast<int>(ControlId::ListBox1), LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  } else if (command == "wait-run") {
    WaitRun(main, std::stoi(arg(1, "60000")));
  } else if (command == "wait-memo2") {
    const std::wstring expected = ReadFileText(arg(1));
    HWND memo2 = ControlOf(main, ControlId::Memo2);
    if (!WaitFor(std::stoi(arg(2, "60000")), [&] { return RunIdle(main) && TextOf(memo2) == expected; }))
      Fail("Memo2 did not get the expected text");
  } else if (command == "convert") {
    const std::wstring text = ReadFileText(arg(1));
    const auto start = Clock::now();
    if (!SetLargeText(ControlOf(main, ControlId::Memo1), text)) Fail("Memo1 refused the text");
    const auto set = Clock::now();
    Click(main, ControlId::btn_Velmar);
    WaitRun(main, std::stoi(arg(3, "120000")));
    const auto ran = Clock::now();
    const std::wstring result = TextOf(ControlOf(main, ControlId::Memo2));
    const auto read = Clock::now();
    WriteFileText(arg(2), result);
    const auto ms = [](auto a, auto b) { return std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count(); };
    std::cout << "set_ms=" << ms(start, set) << " run_ms=" << ms(set, ran) << " read_ms=" << ms(ran, read)
              << " total_ms=" << ms(start, read) << "\n";
  } else if (command == "convert-twice") {
    // A run asked for while one is in progress: the second text must be the result in the end.
    const std::wstring first = ReadFileText(arg(1));
    const std::wstring second = ReadFileText(arg(2));
    const std::wstring expected = ReadFileText(arg(3));
    HWND memo1 = ControlOf(main, ControlId::Memo1);
    HWND memo2 = ControlOf(main, ControlId::Memo2);
    if (!SetLargeText(memo1, first)) Fail("Memo1 refused the text");
    Click(main, ControlId::btn_Velmar);
    if (RunIdle(main)) Fail("the first run ended before the second request: give it a longer text");
    Send(memo1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(second.c_str()));
    Click(main, ControlId::btn_Velmar);
    Click(main, ControlId::btn_Velmar);
    if (!WaitFor(std::stoi(arg(4, "60000")), [&] { return RunIdle(main) && TextOf(memo2) == expected; }))
      Fail("Memo2 did not get the result of the second text");
  } else if (command == "mode-menu") {
    // Opens the mode menu as a click on "Режим" does and picks item N (1-based) by keyboard.
    HWND button = ControlOf(main, ControlId::sSpeedButton2);
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(static_cast<int>(ControlId::sSpeedButton2), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    if (!WaitFor(5000, [] { return e2e::VisibleMenu() != nullptr; }))
      Fail("the mode menu did not open");
    const int item = std::stoi(arg(1));
    for (int i = 0; i < item; ++i) PostMessageW(main, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(main, WM_KEYDOWN, VK_RETURN, 0);
    if (!WaitFor(5000, [] { return e2e::VisibleMenu() == nullptr; }))
      Fail("the mode menu did not close");
    Send(main, WM_NULL, 0, 0);  // the choice has been handled
  } else if (command == "focus") {
    // The control id of the program's keyboard focus (0 when none).
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
    std::cout << (info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0) << "\n";
  } else if (command == "minimize") {
    ShowWindowAsync(main, SW_MINIMIZE);
    if (!WaitFor(5000, [&] { return IsIconic(main) != FALSE; })) Fail("the window did not minimise");
  } else if (command == "maximize" || command == "restore") {
    // What the caption's buttons send.
    const bool maximize = command == "maximize";
    PostMessageW(main, WM_SYSCOMMAND, maximize ? SC_MAXIMIZE : SC_RESTORE, 0);
    if (!WaitFor(5000, [&] { return (IsZoomed(main) != FALSE) == maximize; })) Fail("the window did not " + command);
    Send(main, WM_NULL, 0, 0);
  } else if (command == "tooltip") {
    // The text of the program's tooltip once one shows within MS, or an empty line.
    HWND tip = nullptr;
    WaitFor(std::stoi(arg(1, "3000")), [&] {
      tip = FindProgramWindow(main, [](HWND hwnd) {
        wchar_t name[64] = L"";
        GetClassNameW(hwnd, name, 64);
        return std::wstring(name) == TOOLTIPS_CLASSW;
      });
      return tip != nullptr;
    });
    std::cout << (tip ? Utf8(TextOf(tip)) : std::string()) << "\n";
  } else if (command == "close") {
    PostMessageW(main, WM_CLOSE, 0, 0);
  } else if (command == "resize") {
    SetWindowPos(main, nullptr, 0, 0, std::stoi(arg(1)), std::stoi(arg(2)), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r;
    GetWindowRect(main, &r);
    std::cout << "size=" << (r.right - r.left) << "x" << (r.bottom - r.top) << "\n";
  } else if (command == "rect") {
    // Screen rectangle of a control (by name or number), or of the main window for "main".
    RECT r;
    GetWindowRect(arg(1) == "main" || arg(1) == "0" ? main : ControlOf(main, ControlNamed(arg(1))), &r);
    std::cout << r.left << " " << r.top << " " << (r.right - r.left) << " " << (r.bottom - r.top) << "\n";
  } else if (command == "select-text") {
    // select-text CONTROL START END: the selection of a text box (END -1: to the end).
    Send(ControlOf(main, ControlNamed(arg(1))), EM_SETSEL, static_cast<WPARAM>(std::stoi(arg(2))),
         static_cast<LPARAM>(std::stoi(arg(3))));
  } else if (command == "click-label2") {
    // What a click on the status label sends its parent, without moving the mouse over it.
    HWND label = ControlOf(main, ControlId::Label2);
    Send(main, WM_COMMAND, MAKEWPARAM(static_cast<int>(ControlId::Label2), STN_CLICKED), reinterpret_cast<LPARAM>(label));
  } else if (command == "stat-window") {
    // Waits for the statistics window, prints its rows as "caption value" and
    // whether the main window is enabled meanwhile, then presses "OK".
    HWND stat = nullptr;
    if (!WaitFor(std::stoi(arg(1, "20000")), [&] { return (stat = FindStatWindow(main)) != nullptr; }))
      Fail("no statistics window");
    constexpr int kCaptionId = 100, kValueId = 300, kRows = 9;  // tools/win/stat_form.h
    for (int row = 0; row < kRows; ++row)
      std::cout << Utf8(TextOf(GetDlgItem(stat, kCaptionId + row))) << " "
                << Utf8(TextOf(GetDlgItem(stat, kValueId + row))) << "\n";
    std::cout << "main.enabled=" << (IsWindowEnabled(main) ? 1 : 0) << "\n";
    PostMessageW(stat, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (!WaitFor(5000, [&] { return FindStatWindow(main) == nullptr; })) Fail("the statistics window did not close");
    if (!IsWindowEnabled(main)) Fail("the main window stays disabled after the statistics window");
  } else if (command == "no-statistics-run") {
    // A statistics run disables the main window at once; its window follows later.
    if (WaitFor(std::stoi(arg(1, "3000")), [&] { return !IsWindowEnabled(main) || FindStatWindow(main) != nullptr; }))
      Fail("a statistics run started");
  } else if (command == "menu-command") {
    // What a pick in the tray menu sends: WM_COMMAND with the item's id, no control.
    const std::map<std::string, ControlId> items = {{"N19", ControlId::N19}};
    const auto found = items.find(arg(1));
    if (found == items.end()) Fail("unknown menu item " + arg(1));
    Send(main, WM_COMMAND, MAKEWPARAM(static_cast<int>(found->second), 0), 0);
  } else if (command == "paint" || command == "redraw") {
    // Paints what is waiting to be painted, or the whole window anew.
    const UINT flags = command == "paint" ? RDW_UPDATENOW | RDW_ALLCHILDREN
                                          : RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;
    RedrawWindow(main, nullptr, nullptr, flags);
    Send(main, WM_NULL, 0, 0);
  } else if (command == "set-title") {
    const std::wstring title = Wide(arg(1));
    Send(main, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
  } else if (command == "copydata-empty") {
    // Messages without data: no pointer, or no bytes.
    const std::string text(velmar::protocol::kShow);
    if (!SendCopyData(main, nullptr, 0, kSendTimeoutMs) || !SendCopyData(main, nullptr, 16, kSendTimeoutMs) ||
        !SendCopyData(main, text.c_str(), 0, kSendTimeoutMs))
      Fail("no answer to an empty WM_COPYDATA");
  } else if (command == "copydata-big") {
    // A message larger than Wine hands over whole: the program may lose it, but must live on.
    const std::string bytes(static_cast<std::size_t>(std::stoi(arg(1))) * 1024 * 1024, 'x');
    SendCopyData(main, bytes.data(), static_cast<DWORD>(bytes.size()), 10000);
  } else if (command == "flood") {
    // Each bad command would show an error box; none waits for the box to close.
    const std::string bad = std::string(velmar::protocol::kSetActiveModule) + "x";
    const int n = std::stoi(arg(1));
    for (int i = 0; i < n; ++i) SendCopyData(main, bad.c_str(), static_cast<DWORD>(bad.size() + 1), 200);
    if (!WaitFor(10000, [&] { return CountMessageBoxes(main) > 0; })) Fail("no message box");
    // A box on a box would show within this time.
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    std::cout << "boxes=" << CountMessageBoxes(main) << "\n";
  } else if (command == "no-message-box") {
    if (WaitFor(std::stoi(arg(1, "1500")), [&] { return CountMessageBoxes(main) > 0; })) Fail("a message box showed");
  } else if (command == "message-text-rect") {
    // The screen rectangle of the text of the program's message box, once it shows; the box stays.
    HWND box = nullptr;
    if (!WaitFor(std::stoi(arg(1, "10000")), [&] { return (box = FindMessageBox(main)) != nullptr; }))
      Fail("no message box");
    RECT r{};
    GetWindowRect(GetDlgItem(box, 0xFFFF), &r);
    std::cout << r.left << " " << r.top << " " << (r.right - r.left) << " " << (r.bottom - r.top) << "\n";
  } else if (command == "message-box") {
    HWND box = nullptr;
    if (!WaitFor(std::stoi(arg(1, "10000")), [&] { return (box = FindMessageBox(main)) != nullptr; }))
      Fail("no message box");
    HWND text = GetDlgItem(box, 0xFFFF);  // the message text of a message box
    std::cout << Utf8(text ? TextOf(text) : L"") << "\n";
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(std::stoi(arg(2, "1")), BN_CLICKED), 0);
  } else {
    return Usage();
  }
  return 0;
}
