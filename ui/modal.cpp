#include "modal.h"

namespace ui {

void RunModal(HWND window, const bool& closed) {
  HWND owner = GetWindow(window, GW_OWNER);
  // The owner may be disabled already (under the module window): it is left
  // as it was found, not enabled under the other window.
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  MSG msg{};
  while (!closed && IsWindow(window)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // The owner is enabled before this window hides, so that it gets the activation back.
  if (ownerWasEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(window)) ShowWindow(window, SW_HIDE);
}

}  // namespace ui
