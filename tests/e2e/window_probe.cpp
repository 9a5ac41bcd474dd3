// Watches and drives the program's splash, about and update windows from
// outside, for the end-to-end tests. Texts on standard output are UTF-8.
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "control_ids.h"
#include "e2e_win.h"

namespace {

using e2e::Utf8;
using e2e::Fail;
using e2e::WaitFor;
using e2e::MainWindow;
using e2e::Visible;

using e2e::Clock;

std::wstring TextOf(HWND control) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length)) Fail("no answer");
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 10000,
                      &got);
  text.resize(std::min<std::size_t>(got, length));
  return text;
}

void PrintRect(const char* name, HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  std::cout << name << "=" << r.left << " " << r.top << " " << r.right - r.left << " " << r.bottom - r.top << "\n";
}

// The splash: waits for it, reports its looks, then how long it stayed up.
int Splash(int timeoutMs) {
  HWND splash = nullptr;
  if (!WaitFor(timeoutMs, [&] { return (splash = Visible(L"TOEMForm")) != nullptr; }, 2)) Fail("no splash window");
  const auto shown = Clock::now();
  const LONG_PTR ex = GetWindowLongPtrW(splash, GWL_EXSTYLE);
  wchar_t caption[32] = L"";
  GetWindowTextW(splash, caption, 32);
  std::cout << "caption=" << Utf8(caption) << "\nlayered=" << ((ex & WS_EX_LAYERED) ? 1 : 0)
            << "\ntopmost=" << ((ex & WS_EX_TOPMOST) ? 1 : 0) << "\n";
  PrintRect("rect", splash);
  std::cout << "screen=" << GetSystemMetrics(SM_CXSCREEN) << " " << GetSystemMetrics(SM_CYSCREEN) << "\n";
  std::cout << "up" << std::endl;  // the script takes its screenshot now
  if (!WaitFor(10000, [&] { return !IsWindow(splash) || !IsWindowVisible(splash); }, 2)) Fail("the splash stays");
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - shown).count();
  std::cout << "shown_ms=" << ms << "\nmain_visible_then="
            << (Visible(velmar::kMainWindowClass) ? 1 : 0) << std::endl;
  return 0;
}

// A patterned window over the middle of the screen, under everything that
// comes later: the desktop the splash's transparent parts must show.
LRESULT CALLBACK BackdropProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    RECT all;
    GetClientRect(hwnd, &all);
    FillRect(dc, &all, magenta);
    DeleteObject(magenta);
    EndPaint(hwnd, &paint);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

int Backdrop() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = BackdropProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VelmarBackdrop";
  RegisterClassW(&wc);
  const int w = 700, h = 500;
  HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, L"backdrop", WS_POPUP,
                              (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h,
                              nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

// No top-level window of class `className` showed up until the main window
// answers messages (its start is over then), within `ms`.
int Never(const wchar_t* className, int ms) {
  bool started = false;
  const bool seen = WaitFor(
      ms,
      [&] {
        if (FindWindowW(className, nullptr)) return true;
        HWND main = FindWindowW(velmar::kMainWindowClass, nullptr);
        DWORD_PTR result = 0;
        started = main && SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result);
        return started;
      },
      2);
  if (!started) Fail(seen ? "a window of class " + Utf8(className) + " appeared" : "the program did not start");
  return 0;
}

void PrintChildren(HWND window, std::initializer_list<std::pair<const char*, int>> controls) {
  for (auto [name, id] : controls) {
    HWND control = GetDlgItem(window, id);
    std::cout << name << "=" << (control ? Utf8(TextOf(control)) : std::string("<none>")) << "\n";
  }
}

// Opens the about window with the main window's button, reports it and closes
// it with the close box (WM_CLOSE) or "ОК".
int About(const std::string& how) {
  HWND main = MainWindow();
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(static_cast<int>(velmar::ControlId::btn_About), BN_CLICKED), 0);
  HWND about = nullptr;
  if (!WaitFor(10000, [&] { return (about = Visible(L"TAboutForm")) != nullptr; })) Fail("no about window");
  RECT client{};
  GetClientRect(about, &client);
  std::cout << "caption=" << Utf8(TextOf(about)) << "\nclient=" << client.right << " " << client.bottom
            << "\nowner_is_main=" << (GetWindow(about, GW_OWNER) == main ? 1 : 0)
            << "\nmain_enabled=" << (IsWindowEnabled(main) ? 1 : 0) << "\n";
  POINT origin{0, 0};
  ClientToScreen(about, &origin);
  std::cout << "client_rect=" << origin.x << " " << origin.y << " " << client.right << " " << client.bottom << "\n";
  PrintChildren(about, {{"name", 102}, {"version", 103}, {"web", 109}, {"mail", 110}, {"ok", IDOK}});
  if (how == "keep") return 0;
  if (how == "ok")
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(about, IDOK)));
  else
    PostMessageW(about, WM_CLOSE, 0, 0);
  if (!WaitFor(10000, [&] { return !Visible(L"TAboutForm") && IsWindowEnabled(main); })) Fail("the about window stays");
  std::cout << "closed main_enabled=" << (IsWindowEnabled(main) ? 1 : 0) << std::endl;
  return 0;
}

// Waits for the update window, prints its texts and presses button BUTTON
// (1 download, 3 "Вручную", 2 close; 0 none).
int Update(int timeoutMs, int button) {
  HWND update = nullptr;
  if (!WaitFor(timeoutMs, [&] { return (update = Visible(L"TUpdateForm")) != nullptr; })) Fail("no update window");
  RECT client{};
  GetClientRect(update, &client);
  HWND bar = GetDlgItem(update, 108);
  std::cout << "caption=" << Utf8(TextOf(update)) << "\nclient=" << client.right << " " << client.bottom
            << "\nprogress_max=" << (bar ? SendMessageW(bar, PBM_GETRANGE, FALSE, 0) : -1)
            << "\nmarquee=" << ((GetWindowLongW(bar, GWL_STYLE) & PBS_MARQUEE) ? 1 : 0) << "\n";
  PrintChildren(update, {{"label2", 102}, {"label3", 103}, {"label4", 104}, {"memo1", 105}, {"button1", 1},
                         {"button3", 3}, {"button2", IDCANCEL}});
  std::cout.flush();
  if (button != 0) {
    PostMessageW(update, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(update, button)));
    // The download shows the progress panel and rewrites the caption.
    if (button == 1) {
      HWND label1 = GetDlgItem(update, 107);
      if (WaitFor(10000, [&] { return IsWindowVisible(label1) || !IsWindowVisible(update); }))
        std::cout << "label1=" << Utf8(TextOf(label1)) << std::endl;
      return 0;  // what follows (a message, the installer) is the script's to see
    }
    if (!WaitFor(60000, [&] { return !IsWindow(update) || !IsWindowVisible(update); }))
      Fail("the update window stays");
    std::cout << "closed" << std::endl;
  }
  return 0;
}

// The update window's state, read with messages it must answer within a
// second: its caption, which panel shows, and "Закрыть"/"Отмена".
int UpdateState() {
  // A message box that has just been answered may still be on its way out.
  HWND update = nullptr;
  if (!WaitFor(3000, [&] { return (update = Visible(L"TUpdateForm")) != nullptr; })) Fail("no visible update window");
  wchar_t caption[256] = {};
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(update, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(caption), SMTO_NORMAL, 1000, &n))
    Fail("the update window does not answer");
  HWND button2 = GetDlgItem(update, IDCANCEL);
  std::cout << "caption=" << Utf8(caption) << "\npanel=" << (IsWindowVisible(GetDlgItem(update, 107)) ? 2 : 1)
            << "\nbutton2=" << Utf8(TextOf(button2)) << (IsWindowEnabled(button2) ? "" : " (disabled)")
            << std::endl;
  return 0;
}

// Presses button BUTTON of the visible update window and returns.
int UpdatePress(int button) {
  HWND update = Visible(L"TUpdateForm");
  if (!update) Fail("no visible update window");
  PostMessageW(update, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(update, button)));
  return 0;
}

// Presses "Загрузить и установить", watches the download for MS
// milliseconds (the window must answer within a second all the while), then
// presses "Отмена" and says how long the offer took to come back. One
// process for all of it: a start of a probe between the steps takes seconds
// under Wine on a busy machine, longer than a slow download may run.
int UpdateCancel(int watchMs) {
  HWND update = Visible(L"TUpdateForm");
  if (!update) Fail("no visible update window");
  HWND label1 = GetDlgItem(update, 107), button2 = GetDlgItem(update, IDCANCEL);
  const auto caption = [&] {
    wchar_t text[256] = {};
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutW(update, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 1000, &n))
      Fail("the update window does not answer during the download");
    return std::wstring(text);
  };
  PostMessageW(update, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(update, 1)));
  if (!WaitFor(10000, [&] { return IsWindowVisible(label1) != FALSE; })) Fail("the download did not start");
  // From the first byte on, the caption shows the progress.
  const std::wstring progress = e2e::Wide("Скачивание файла ");
  std::wstring first;
  if (!WaitFor(10000, [&] { return (first = caption()).rfind(progress, 0) == 0; }, 50))
    Fail("no progress in the caption: " + Utf8(first));
  const auto end = Clock::now() + std::chrono::milliseconds(watchMs);
  while (Clock::now() < end) {
    caption();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::cout << "caption_first=" << Utf8(first) << "\ncaption_last=" << Utf8(caption())
            << "\nbutton2_during=" << Utf8(TextOf(button2)) << std::endl;
  const auto pressed = Clock::now();
  PostMessageW(update, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(button2));
  const bool back = WaitFor(10000, [&] { return !IsWindowVisible(label1); }, 5);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - pressed).count();
  std::cout << "panel_after=" << (back ? 1 : 2) << "\ncancel_ms=" << ms << "\ncaption_after=" << Utf8(caption())
            << "\nbutton2_after=" << Utf8(TextOf(button2)) << std::endl;
  return 0;
}

// Plays a copy of the program that is ending: it holds the single-instance
// mutex without a window for MS milliseconds, then ends without releasing it.
int HoldMutex(int ms) {
  HANDLE mutex = CreateMutexW(nullptr, TRUE, L"qmz_velmarpro");
  if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) Fail("the mutex is there already");
  std::cout << "held" << std::endl;
  Sleep(static_cast<DWORD>(ms));
  return 0;
}

// Waits for a window of `className` (shown or not), prints its client size
// and, with `close`, closes it and waits until it is
// gone or hidden.
int ClientSize(const wchar_t* className, int ms, bool close) {
  HWND window = nullptr;
  if (!WaitFor(ms, [&] { return (window = FindWindowW(className, nullptr)) != nullptr; }))
    Fail("no window of class " + Utf8(className));
  RECT client{};
  GetClientRect(window, &client);
  std::cout << "client=" << client.right << " " << client.bottom << std::endl;
  if (!close) return 0;
  // Asked again every second: a window still loading may not take the first.
  for (int attempt = 0; attempt < 10; ++attempt) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitFor(1000, [&] { return !IsWindow(window) || !IsWindowVisible(window); })) return 0;
  }
  Fail("the window stays");
  return 1;
}

// Posts the click of the main window's control `name` (control_ids.h): posted,
// since a click that opens a modal window returns only when it closes.
int PostClick(const std::string& name) {
  HWND main = MainWindow();
  for (const auto& [known, id] : velmar::kControlNames) {
    if (known != name) continue;
    const int number = static_cast<int>(id);
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(number, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(main, number)));
    return 0;
  }
  Fail("unknown control " + name);
  return 1;
}

int Usage() {
  std::cerr << "usage: window_probe COMMAND\n"
               "  splash [MS]            waits for the splash, prints its looks, 'up', then how long it stayed\n"
               "  never CLASS MS         fails when a window of CLASS appears before the program's start is over\n"
               "  hidden CLASS MS        waits until no window of CLASS is visible\n"
               "  backdrop               shows a magenta window in the middle of the screen until ended\n"
               "  about close|ok|keep    opens the about window, prints it, closes it as told\n"
               "  update MS BUTTON       waits for the update window, prints it, presses BUTTON (0: none)\n"
               "  hold-mutex MS          holds the program's mutex without a window, then ends\n"
               "  update-state           prints the update window's caption, panel and button 2\n"
               "  update-press BUTTON    presses a button of the update window\n"
               "  update-cancel MS       starts the download, watches it MS ms, presses Отмена\n"
               "  click NAME             posts the click of the main window's control NAME\n"
               "  client CLASS MS [close] waits for a window of CLASS, prints its client size,\n"
               "                         closes it when told\n";
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::string> args = e2e::Arguments(argc, argv);
  if (args.empty()) return Usage();
  const auto arg = [&](std::size_t i, const std::string& fallback = {}) { return e2e::Arg(args, i, fallback); };
  const std::string& command = args[0];
  if (command == "splash") return Splash(std::stoi(arg(1, "30000")));
  if (command == "never" && argc > 3) return Never(argv[2], std::stoi(arg(2)));
  if (command == "backdrop") return Backdrop();
  if (command == "hidden" && argc > 3) {
    // Until no window of the class is visible.
    if (!WaitFor(std::stoi(arg(2)), [&] { return !Visible(argv[2]); })) Fail("a window of the class is visible");
    return 0;
  }
  if (command == "about") return About(arg(1, "close"));
  if (command == "click" && argc > 2) return PostClick(arg(1));
  if (command == "client" && argc > 3) return ClientSize(argv[2], std::stoi(arg(2)), arg(3) == "close");
  if (command == "hold-mutex") return HoldMutex(std::stoi(arg(1, "3000")));
  if (command == "update-state") return UpdateState();
  if (command == "update-press") return UpdatePress(std::stoi(arg(1, "2")));
  if (command == "update-cancel") return UpdateCancel(std::stoi(arg(1, "2000")));
  if (command == "update") return Update(std::stoi(arg(1, "30000")), std::stoi(arg(2, "0")));
  return Usage();
}
