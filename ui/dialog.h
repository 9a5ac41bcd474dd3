#pragma once
// What every window over the main window shares: it is made from the size of
// its client area, centred on its owner inside the work area, and shown
// modally with the owner disabled and then left as it was found. Tab, the
// arrows, Enter, Esc and the access keys work in it as in a dialog box: Enter
// sends IDOK (or the default button's id), Esc sends IDCANCEL.
#include <windows.h>

#include <functional>

#include "dpi.h"
#include "window.h"

namespace ui {

// Outer size of a window whose client area is width x height at 96 DPI,
// shown at `dpi`.
SIZE WindowSizeForClient(DWORD style, DWORD exStyle, int width, int height, Dpi dpi = Dpi());

// Moves `window` to the centre of `owner`, or of the work area when the owner
// is missing, hidden or minimised, kept inside the work area of that monitor.
void CentreOnOwner(HWND window, HWND owner);

// Keeps a window disabled for the life of the object, then gives it back the
// state it had: a window that was disabled already (under another window)
// stays disabled.
class OwnerDisabled {
 public:
  explicit OwnerDisabled(HWND owner);
  ~OwnerDisabled();
  OwnerDisabled(const OwnerDisabled&) = delete;
  OwnerDisabled& operator=(const OwnerDisabled&) = delete;

 private:
  HWND owner_;
  bool wasEnabled_;
};

// The dialog keys of `window` for one message: Enter on a focused button
// presses that button (a window that is no dialog box would send IDOK);
// otherwise Tab, the arrows, Enter, Esc and the access keys as
// IsDialogMessage has them. True when the message has been handled.
bool HandleDialogKeys(HWND window, MSG& msg);

// Runs the program's messages until `done` is set or `window` is gone:
// `accelerators` (optional) translated for `window` first, then its dialog
// keys. A quit request ends the loop and is passed on to the outer loop.
void RunMessagesUntil(HWND window, const bool& done, HACCEL accelerators = nullptr);

// Base of the program's dialog windows.
class Dialog : public Window {
 protected:
  // Creates the window, hidden, with the client size `designClient` (at 96
  // DPI) shown at `dpi`, owned by `owner` and centred on `centreOn` (the owner
  // when null).
  void CreateDialogWindow(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                          SIZE designClient, Dpi dpi, HWND owner, HWND centreOn = nullptr);

  // Shows the window over its disabled owner, runs `shown` (optional: what
  // needs the window on screen) and then messages until `done` is set or the
  // window is gone. The owner gets its state back before the window hides,
  // so that the activation returns to it, and the control that had the focus
  // before gets it again; also when an exception ends the run.
  void RunModal(const bool& done, HACCEL accelerators = nullptr, const std::function<void()>& shown = {});

  // What the dialog keys do: Enter where no button takes it (IDOK) and Esc
  // (IDCANCEL); the close box is Esc too while onCancel is set.
  std::function<void()> onOk;
  std::function<void()> onCancel;

  // The commands no control handled: IDOK and IDCANCEL go to onOk and
  // onCancel, an accelerator to the control whose id it carries (its object
  // takes it as its own command); the rest to ui::Window.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND focusBefore_ = nullptr;  // the focus when the window was made, given back after a modal run
};

}  // namespace ui
