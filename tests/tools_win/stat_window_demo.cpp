// Opens a main-window stand-in and runs the statistics of a sample text; the
// statistics window stays until it is closed. For looking at the windows.
#include <windows.h>

#include <string>
#include <vector>

#include "statistics_run.h"
#include "text_box_tools.h"
#include "tools_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
  wc.lpszClassName = L"VelmarStatDemoOwner";
  RegisterClassW(&wc);
  HWND owner = CreateWindowExW(0, wc.lpszClassName, L"VelmarPro", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 700,
                               560, nullptr, nullptr, instance, nullptr);
  const char* const sample[] = {
      "Съешь же ещё этих мягких французских булок, да выпей чаю.",
      "The quick brown fox jumps over the lazy dog 1234567890.",
      "",
      "Разбор свойств текста: слова, пробелы, цифры и буквы.",
  };
  std::vector<std::string> lines;
  for (const char* line : sample) lines.push_back(velmar::tools_win::Cp1251FromWide(velmar::tools_win::WideFromUtf8(line)));
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
