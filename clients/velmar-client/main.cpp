// velmar-client: talks to the running VelmarPro through its WM_COPYDATA
// protocol. It registers a window class of its own, so the program can
// answer, sends the commands given on the command line in order and prints
// every message the program sends back, one per line, as UTF-8. With --utf8
// it registers for UTF-8 and every text goes both ways in UTF-8; otherwise
// the texts are Windows-1251.
//
//   velmar-client [--timeout MS] [--class NAME] [--no-register] [--utf8] COMMAND...
//     show              bring the program's window forward
//     modules           ask for the table list and the selected table
//     select N          select table N
//     go TEXT           convert TEXT and wait for the result
//     go-file FILE      convert the bytes of FILE (Windows-1251, UTF-8 with --utf8) and wait for the result
//     send TEXT         send TEXT as it is, wait for nothing
//     send-cut N TEXT   send only the first N bytes of TEXT, without a NUL
//     listen MS         print whatever arrives during MS milliseconds
//     sleep MS          answer no message during MS milliseconds (a client that hangs)
//     wait-closed       wait until the program says it has closed
//
// Exit status: 0 when every command got what it waited for, 1 when the program
// was not found or a wait timed out, 2 for a usage error.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "command_protocol.h"

namespace {

using velmar::protocol::MessageText;

std::vector<std::string> g_received;
DWORD g_timeoutMs = 10000;
// The code page of the texts sent and received: Windows-1251, or UTF-8 after
// registering with "api_velmar_register_utf8:".
UINT g_codePage = 1251;

std::wstring Widen(const std::string& text, UINT codePage) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), w.data(), n);
  return w;
}

std::string Narrow(const std::wstring& text, UINT codePage) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), s.data(), n, nullptr, nullptr);
  return s;
}

void Print(const std::string& text) {
  std::string utf8 = (g_codePage == CP_UTF8 ? text : Narrow(Widen(text, g_codePage), CP_UTF8)) + "\n";
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

LRESULT CALLBACK ClientWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA) {
    const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    std::string text(MessageText(cds->lpData, cds->cbData));
    Print(text);
    g_received.push_back(std::move(text));
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND FindProgram() { return FindWindowA("TVelmarPro_Api", nullptr); }

// Sends text with its NUL byte, or only its first `size` bytes.
bool Send(const std::string& text, std::size_t size = std::string::npos) {
  HWND program = FindProgram();
  if (!program) {
    std::fputs("velmar-client: VelmarPro is not running\n", stderr);
    return false;
  }
  COPYDATASTRUCT cds{};
  cds.dwData = 0;
  cds.cbData = static_cast<DWORD>(std::min(size, text.size() + 1));
  cds.lpData = const_cast<char*>(text.c_str());
  SendMessageA(program, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
  return true;
}

// Pumps messages until a received message starts with prefix (looking from
// index `from` on), or the timeout passes.
bool WaitFor(std::string_view prefix, std::size_t from) {
  DWORD start = GetTickCount();
  for (;;) {
    for (std::size_t i = from; i < g_received.size(); ++i)
      if (g_received[i].rfind(prefix, 0) == 0) return true;
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= g_timeoutMs) {
      std::fprintf(stderr, "velmar-client: no %.*s within %lu ms\n", static_cast<int>(prefix.size()), prefix.data(),
                   static_cast<unsigned long>(g_timeoutMs));
      return false;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, g_timeoutMs - elapsed, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

// Pumps messages for ms milliseconds; the window procedure prints what arrives.
void Listen(DWORD ms) {
  const DWORD start = GetTickCount();
  for (DWORD elapsed = 0; elapsed < ms; elapsed = GetTickCount() - start) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

int Usage(const char* why) {
  std::fprintf(stderr,
               "velmar-client: %s\n"
               "usage: velmar-client [--timeout MS] [--class NAME] [--no-register] [--utf8] COMMAND...\n"
               "  show | modules | select N | go TEXT | go-file FILE | send TEXT | send-cut N TEXT\n"
               "  listen MS | sleep MS | wait-closed\n",
               why);
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::wstring> args(argv + 1, argv + argc);
  std::wstring className = L"VelmarClient_" + std::to_wstring(GetCurrentProcessId());
  bool registerClient = true;
  std::size_t i = 0;
  for (; i < args.size() && args[i].rfind(L"--", 0) == 0; ++i) {
    if (args[i] == L"--timeout" && i + 1 < args.size()) g_timeoutMs = static_cast<DWORD>(std::stoul(args[++i]));
    else if (args[i] == L"--class" && i + 1 < args.size()) className = args[++i];
    else if (args[i] == L"--no-register") registerClient = false;
    else if (args[i] == L"--utf8") g_codePage = CP_UTF8;
    else return Usage("unknown option");
  }
  if (i == args.size()) return Usage("no command");

  // A top-level window (never shown): the program finds clients with
  // FindWindowA, which does not see message-only windows.
  WNDCLASSW wc{};
  wc.lpfnWndProc = ClientWndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = className.c_str();
  if (!RegisterClassW(&wc)) return Usage("cannot register the window class");
  HWND window = CreateWindowExW(0, className.c_str(), L"velmar-client", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                wc.hInstance, nullptr);
  if (!window) return Usage("cannot create the window");

  const std::string_view registerWord =
      g_codePage == CP_UTF8 ? velmar::protocol::kRegisterUtf8 : velmar::protocol::kRegister;
  if (registerClient && !Send(std::string(registerWord) + Narrow(className, g_codePage))) return 1;

  for (; i < args.size(); ++i) {
    const std::wstring& cmd = args[i];
    auto argument = [&]() -> std::wstring {
      if (i + 1 >= args.size()) return {};
      return args[++i];
    };
    std::size_t before = g_received.size();
    if (cmd == L"show") {
      if (!Send(std::string(velmar::protocol::kShow))) return 1;
    } else if (cmd == L"modules") {
      if (!Send(std::string(velmar::protocol::kGetModules))) return 1;
      if (!WaitFor(velmar::protocol::kActiveModule, before)) return 1;
    } else if (cmd == L"select") {
      if (!Send(std::string(velmar::protocol::kSetActiveModule) + Narrow(argument(), g_codePage))) return 1;
    } else if (cmd == L"go" || cmd == L"go-file") {
      std::string text;
      if (cmd == L"go") {
        text = Narrow(argument(), g_codePage);
      } else {
        std::ifstream file(std::filesystem::path(argument()), std::ios::binary);
        if (!file) return Usage("cannot read the file");
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
      }
      if (!Send(std::string(velmar::protocol::kGo) + text)) return 1;
      if (!WaitFor(velmar::protocol::kResult, before)) return 1;
    } else if (cmd == L"send") {
      if (!Send(Narrow(argument(), g_codePage))) return 1;
    } else if (cmd == L"send-cut") {
      const std::wstring size = argument();
      if (!Send(Narrow(argument(), g_codePage), std::stoul(size))) return 1;
    } else if (cmd == L"listen") {
      Listen(static_cast<DWORD>(std::stoul(argument())));
    } else if (cmd == L"sleep") {
      Sleep(static_cast<DWORD>(std::stoul(argument())));
    } else if (cmd == L"wait-closed") {
      if (!WaitFor(velmar::protocol::kClosed, 0)) return 1;
    } else {
      return Usage("unknown command");
    }
  }
  DestroyWindow(window);
  return 0;
}
