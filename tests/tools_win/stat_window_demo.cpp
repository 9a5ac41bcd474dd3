// Opens a main-window stand-in and runs the statistics of a sample text; the
// statistics window stays until it is closed. With the argument "wait" it
// shows the wait window alone for ten seconds. For looking at the windows.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "statistics_run.h"
#include "text_box_tools.h"
#include "wait_form.h"
#include "text.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
  wc.lpszClassName = L"VelmarStatDemoOwner";
  RegisterClassW(&wc);
  HWND owner = CreateWindowExW(0, wc.lpszClassName, L"VelmarPro", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 700,
                               560, nullptr, nullptr, instance, nullptr);
  if (std::strstr(commandLine, "wait")) {
    velmar::TWaitForm wait(owner);
    wait.StartMarquee();
    wait.Show(ui::Widen("Разбор свойств текста..."));
    SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
  }
  const char* const sample[] = {
      "Съешь же ещё этих мягких французских булок, да выпей чаю.",
      "The quick brown fox jumps over the lazy dog 1234567890.",
      "",
      "Разбор свойств текста: слова, пробелы, цифры и буквы.",
  };
  std::vector<std::string> lines;
  for (const char* line : sample) lines.push_back(ui::ToCp1251(ui::Widen(line)));
  velmar::StartStatisticsRun(owner, std::move(lines), velmar::UserDecimalSeparator());
  // Ends once the statistics window has come and gone.
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
    static bool seen = false;
    const bool open = FindWindowW(L"TStatForm", nullptr) != nullptr;
    if (seen && !open) PostQuitMessage(0);
    seen = seen || open;
  });
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
