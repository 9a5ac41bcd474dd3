#pragma once
// The two global hotkeys of the main window and what they need of other
// programs: the registrations (RAII over the global atoms and RegisterHotKey),
// which hotkey a WM_HOTKEY means and that none starts while one is handled,
// the copy check of another program's selection, the paste keys, and the
// clipboard hand-over of a result.
#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "handles.h"
#include "on_the_fly.h"

namespace velmar {

class GlobalHotkeys {
 public:
  GlobalHotkeys() = default;
  ~GlobalHotkeys() { Unregister(); }
  GlobalHotkeys(const GlobalHotkeys&) = delete;
  GlobalHotkeys& operator=(const GlobalHotkeys&) = delete;

  // Ctrl+Alt+T and Ctrl+Alt+Q for `window`. Registered already, nothing
  // happens (a table reload registers again). A combination another program
  // holds never arrives; nothing is said.
  void Register(HWND window);
  void Unregister();

  // The hotkey a WM_HOTKEY stands for, or nothing: a foreign identifier, or
  // the program busy (a run, an on-the-fly run waiting for its paste, or a
  // hotkey still being handled, whose message pump let this one in).
  std::optional<Hotkey> ToHandle(WPARAM id, bool busy, bool runInProgress) const;

  // Marks a hotkey as being handled for its lifetime.
  class Handling {
   public:
    explicit Handling(bool& flag) : flag_(flag) { flag_ = true; }
    ~Handling() { flag_ = false; }
    Handling(const Handling&) = delete;
    Handling& operator=(const Handling&) = delete;

   private:
    bool& flag_;
  };
  [[nodiscard]] Handling Handle() { return Handling(handling_); }

 private:
  HWND window_ = nullptr;
  ui::GlobalAtom main_, quick_;
  bool handling_ = false;
};

// The window under the caret of the program in front, when that is another
// program (attaching to its input for a moment); else nothing.
HWND CaretWindow();
bool OtherProgramInFront();

// Copies the selection of `target` (may be null) afresh: WM_COPY, and when
// the clipboard did not change, Ctrl+C typed once towards another program.
// False when nothing was copied: the old clipboard text must not be used.
bool CopySelection(HWND target);

// Ctrl+V typed into the input stream once the user has let go of the
// hotkey's own keys (or after a little while anyway).
void SendPasteKeys();

// The text on the clipboard as CF_TEXT (Windows-1251), CF_UNICODETEXT (with
// the stand-ins put back) and CF_LOCALE; false when the clipboard is busy.
bool PutTextToClipboard(HWND owner, std::string_view text, std::span<const std::wstring> standIns = {});

}  // namespace velmar
