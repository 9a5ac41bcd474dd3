// Program start: one copy per logon; a second start asks the first to show
// itself and ends.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <filesystem>
#include <string>

#include "command_protocol.h"
#include "dialog.h"
#include "http.h"
#include "image.h"
#include "program_path.h"
#include "uMain.h"
#include "uOEM.h"

namespace {

// Hands the show request to the copy that runs. The window that took it, or
// nothing when no window of it took the request.
HWND SendShowRequest() {
  HWND running = FindWindowW(velmar::TVelmarPro_Api::kClassName, nullptr);
  if (!running) return nullptr;
  std::string text(velmar::protocol::kShow);
  COPYDATASTRUCT request{};
  request.dwData = 0;
  request.cbData = static_cast<DWORD>(text.size() + 1);  // the text and its NUL byte
  request.lpData = text.data();
  DWORD_PTR result = 0;
  // A running copy that hangs must not hang this one too. A window that is
  // destroyed before it takes the request (its copy was closing) took nothing.
  const bool taken = SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request),
                                         SMTO_ABORTIFHUNG, 10000, &result) != 0;
  return taken ? running : nullptr;
}

// The copy that holds the mutex owns it; its end (however it ends) releases
// it. A second copy hands the show request to the first one's window. When
// there is no such window, the first copy is either still starting (its
// window comes soon) or ending (the mutex is freed soon), so this one waits
// for whichever comes first instead of quitting with the request lost: a
// start right after a close would otherwise show nothing at all. A window
// that took the request and then goes away with its copy was closing: this
// copy then starts in its place.
// True when this copy holds the mutex and starts.
bool TakeSingleInstance() {
  HANDLE mutex = CreateMutexW(nullptr, TRUE, L"qmz_velmarpro");
  if (!mutex) return false;
  if (GetLastError() != ERROR_ALREADY_EXISTS) return true;  // held until the process ends
  constexpr DWORD kPatienceMs = 60000, kSettleMs = 10000;
  auto owned = [](DWORD waited) { return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED; };
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND taker = SendShowRequest()) {
      const DWORD sent = GetTickCount();
      while (IsWindow(taker)) {
        if (owned(WaitForSingleObject(mutex, 100))) return true;
        if (GetTickCount() - sent > kSettleMs) return false;  // it runs and has shown itself
      }
    }
    const DWORD waited = WaitForSingleObject(mutex, 100);
    if (owned(waited)) return true;
    if (waited == WAIT_FAILED || GetTickCount() - start > kPatienceMs) return false;
  }
}

// Downloads that never ended (the program was killed in the middle) leave
// their ".part" files; only the copy that runs may remove them.
void RemoveLeftOverDownloads() {
  const std::filesystem::path exe = ui::ProgramPath();
  if (exe.empty()) return;
  velmar::online::RemoveLeftOverParts(exe.parent_path() / L"Table", velmar::online::TempFolderPath());
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
  if (!TakeSingleInstance()) return 0;
  RemoveLeftOverDownloads();

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
      // Tab and the arrow keys move between the controls, as in a dialog box:
      // in the main window and in a modeless window of ours over it.
      HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
      if (!root || !(GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) root = mainForm.hwnd();
      if (ui::HandleDialogKeys(root, msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  } catch (...) {
    // The texts of the program's own failures are UTF-8, Russian ones too.
    ui::ShowError(nullptr, L"VelmarPro: " + ui::FailureMessage(std::current_exception()));
  }
  return 0;
}
