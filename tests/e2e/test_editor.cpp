// A tiny text editor for the hotkey tests: a top-level window with one
// multi-line edit box, as the user's "other program".
//
//   test_editor.exe TITLE TEXT OUTFILE [--no-select] [--select START END]
//                   [--single-line] [--ignore-wm-copy]
//
// TEXT is the initial text (UTF-8 file when it starts with "@"); it is
// selected whole unless --no-select or --select (characters START to END).
// --single-line makes the edit box a one-line field. After every change, and when the window
// closes, the current text is written to OUTFILE as UTF-8 (written beside it
// and renamed, so a reader never sees half a file). --ignore-wm-copy makes
// the edit box ignore WM_COPY from outside while Ctrl+C still copies, as many
// browsers and word processors behave.
#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <sstream>
#include <string>

#include "e2e_win.h"

namespace {

using e2e::Utf8;
using e2e::Wide;

constexpr int kEditId = 1;
std::wstring outFile;
bool ignoreWmCopy = false;
bool copyByKeys = false;
WNDPROC editProc = nullptr;
HWND edit = nullptr;

void WriteText() {
  const int length = GetWindowTextLengthW(edit);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), length + 1)));
  const std::wstring temp = outFile + L".tmp";
  {
    std::ofstream out(temp.c_str(), std::ios::binary);
    out << Utf8(text);
  }
  MoveFileExW(temp.c_str(), outFile.c_str(), MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPY && ignoreWmCopy && !copyByKeys) return 0;
  if (message == WM_CHAR && wParam == 3) {  // Ctrl+C: the edit box copies by sending itself WM_COPY
    copyByKeys = true;
    const LRESULT result = CallWindowProcW(editProc, hwnd, message, wParam, lParam);
    copyByKeys = false;
    return result;
  }
  return CallWindowProcW(editProc, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(edit);
      return 0;
    case WM_SETFOCUS:
      SetFocus(edit);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE) WriteText();
      return 0;
    case WM_CLOSE:
      WriteText();
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 4) return 2;
  const std::wstring title = argv[1];
  std::wstring text = argv[2];
  outFile = argv[3];
  bool select = true;
  bool singleLine = false;
  int selStart = 0, selEnd = -1;
  for (int i = 4; i < argc; ++i) {
    const std::wstring option = argv[i];
    if (option == L"--no-select") select = false;
    if (option == L"--ignore-wm-copy") ignoreWmCopy = true;
    if (option == L"--single-line") singleLine = true;
    if (option == L"--select" && i + 2 < argc) {
      selStart = std::stoi(argv[i + 1]);
      selEnd = std::stoi(argv[i + 2]);
      i += 2;
    }
  }
  LocalFree(argv);
  if (!text.empty() && text[0] == L'@') {
    std::ifstream in(text.substr(1).c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    text = Wide(s.str());
  }

  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"VelmarTestEditor";
  RegisterClassW(&wc);
  // Top left, away from the centred main window of the program.
  HWND window = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 420, 260, nullptr,
                                nullptr, instance, nullptr);
  const DWORD lines = singleLine ? ES_AUTOHSCROLL : WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_NOHIDESEL | lines,
                         0, 0, 100, 100, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance,
                         nullptr);
  SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
  editProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditProc)));
  SetWindowTextW(edit, text.c_str());
  if (select)
    SendMessageW(edit, EM_SETSEL, selStart, selEnd);
  else
    SendMessageW(edit, EM_SETSEL, text.size(), text.size());
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetFocus(edit);
  WriteText();

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
