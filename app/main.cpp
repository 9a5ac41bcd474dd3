// Program start: one copy per logon; a second start asks the first to show
// itself and ends.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "command_protocol.h"
#include "image.h"
#include "uMain.h"
#include "uOEM.h"

namespace {

// Hands the show request to the copy that runs; lost when it has no window yet.
void SendShowRequest() {
  HWND running = FindWindowW(velmar::TVelmarPro_Api::kClassName, nullptr);
  if (!running) return;
  std::string text(velmar::protocol::kShow);
  COPYDATASTRUCT request{};
  request.dwData = 0;
  request.cbData = static_cast<DWORD>(text.size() + 1);  // the text and its NUL byte
  request.lpData = text.data();
  DWORD_PTR result = 0;
  // A running copy that hangs must not hang this one too.
  SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request), SMTO_ABORTIFHUNG, 10000,
                      &result);
}

// The first command line argument is compared byte for byte, case and all.
bool StartedWithAutorun() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const bool autorun = argv && argc > 1 && std::wstring(argv[1]) == L"-autorun";
  LocalFree(argv);
  return autorun;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The mutex lives as long as the process: its handle is never closed.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"qmz_velmarpro");
  if (!mutex) return 0;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    SendShowRequest();
    return 0;
  }

  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  ui::ComApartment com;
  try {
    const bool autorun = StartedWithAutorun();
    // The splash is made (hidden) before the main window: decoding its picture
    // may handle messages, and while it exists the program is still starting
    // (clients wait until it has gone). A splash that cannot be made is no
    // reason not to start.
    velmar::TOEMForm splash;
    bool splashReady = false;
    if (!autorun) {
      try {
        splash.FormCreate();
        splashReady = true;
      } catch (const std::exception&) {
      }
    }
    velmar::TVelmarPro_Api mainForm;
    mainForm.Create();
    mainForm.FormShow();
    mainForm.CreateUpdateForm();
    if (splashReady) {
      splash.ShowFor(velmar::kSplashMs);
    }
    if (!autorun) mainForm.Show();  // the show handler runs a second time

    MSG msg;
    BOOL got = 0;
    // -1 is a failure to receive one message (Wine has it with a very large
    // WM_COPYDATA); the program goes on with the next.
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
      if (got == -1) continue;
      // Tab and the arrow keys move between the controls, as in a dialog box.
      if (IsDialogMessageW(mainForm.hwnd(), &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  } catch (const std::exception& e) {
    ui::ShowError(nullptr, std::wstring(L"VelmarPro: ") + std::wstring(e.what(), e.what() + std::strlen(e.what())));
  }
  return 0;
}
