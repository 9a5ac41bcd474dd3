#include "hotkeys.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "text.h"

namespace velmar {
namespace {

// How long the program waits for the user to let go of Ctrl, Alt, Shift and
// Win before it types its own keys, and for another program to copy after
// Ctrl+C. Only a program that copies nothing makes anyone wait that long; a
// busy one may take seconds to get to the keys, and its copy must not be missed.
constexpr auto kModifierWait = std::chrono::milliseconds(2000);
constexpr auto kCopyWait = std::chrono::milliseconds(3000);
constexpr auto kPoll = std::chrono::milliseconds(15);
constexpr UINT kCopyTimeoutMs = 5000;

// Puts a copy of the bytes on the open clipboard in the given format.
bool SetClipboardBytes(UINT format, const void* bytes, std::size_t size) {
  ui::GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!memory) return false;
  {
    const ui::LockedGlobal target(memory.get());
    if (!target) return false;
    std::memcpy(target.get(), bytes, size);
  }
  if (!SetClipboardData(format, memory.get())) return false;
  (void)memory.Release();  // the clipboard owns it now
  return true;
}

bool ModifiersDown() {
  for (int key : {VK_CONTROL, VK_MENU, VK_SHIFT, VK_LWIN, VK_RWIN})
    if (GetAsyncKeyState(key) & 0x8000) return true;
  return false;
}

// The hotkey's own Ctrl and Alt may still be held: keys typed now would reach
// the other program as Ctrl+Alt+V, which pastes nothing. Waits a little for
// them to be released; after that the keys are typed anyway.
void WaitForModifiersReleased() {
  const auto end = std::chrono::steady_clock::now() + kModifierWait;
  while (ModifiersDown() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(kPoll);
}

// Ctrl+key as key strokes into the input stream, in one piece.
void TypeCtrlChord(WORD key) {
  INPUT inputs[4]{};
  const WORD keys[4] = {VK_CONTROL, key, key, VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = keys[i];
    inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  SendInput(4, inputs, sizeof(INPUT));
}

}  // namespace

bool OtherProgramInFront() {
  HWND front = GetForegroundWindow();
  return front && GetWindowThreadProcessId(front, nullptr) != GetCurrentThreadId();
}

void GlobalHotkeys::Register(HWND window) {
  if (main_ || quick_) return;
  window_ = window;
  main_ = ui::GlobalAtom(GlobalAddAtomA(kMainHotkeyAtom));
  RegisterHotKey(window_, main_.get(), kHotkeyModifiers, kMainHotkeyKey);
  quick_ = ui::GlobalAtom(GlobalAddAtomA(kQuickHotkeyAtom));
  RegisterHotKey(window_, quick_.get(), kHotkeyModifiers, kQuickHotkeyKey);
}

void GlobalHotkeys::Unregister() {
  for (ui::GlobalAtom* id : {&main_, &quick_}) {
    if (!*id) continue;
    UnregisterHotKey(window_, id->get());
    id->Reset();
  }
}

std::optional<Hotkey> GlobalHotkeys::ToHandle(WPARAM id, bool busy, bool runInProgress) const {
  return HotkeyToHandle(static_cast<unsigned>(id), main_.get(), quick_.get(), busy || handling_, runInProgress);
}

HWND CaretWindow() {
  HWND front = GetForegroundWindow();
  if (!front) return nullptr;
  const DWORD other = GetWindowThreadProcessId(front, nullptr);
  const DWORD self = GetCurrentThreadId();
  if (other == self) return nullptr;
  if (!AttachThreadInput(self, other, TRUE)) return nullptr;
  HWND found = nullptr;
  // With the input attached, focus and caret are those of the other program.
  if (HWND focus = GetFocus()) {
    POINT caret{};
    if (GetCaretPos(&caret)) {
      ClientToScreen(focus, &caret);
      found = WindowFromPoint(caret);
    }
  }
  AttachThreadInput(self, other, FALSE);
  return found;
}

bool CopySelection(HWND target) {
  const DWORD before = GetClipboardSequenceNumber();
  if (target) {
    SetFocus(target);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(target, WM_COPY, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kCopyTimeoutMs, &ignored);
  }
  bool keysTried = false;
  while (true) {
    switch (NextCopyStep(GetClipboardSequenceNumber() != before, keysTried, OtherProgramInFront())) {
      case CopyStep::UseClipboard:
        return true;
      case CopyStep::NothingCopied:
        return false;
      case CopyStep::PressCtrlC: {
        // Many programs (browsers, word processors) ignore WM_COPY but copy on Ctrl+C.
        keysTried = true;
        WaitForModifiersReleased();
        TypeCtrlChord('C');
        const auto end = std::chrono::steady_clock::now() + kCopyWait;
        while (GetClipboardSequenceNumber() == before && std::chrono::steady_clock::now() < end)
          std::this_thread::sleep_for(kPoll);
        break;
      }
    }
  }
}

bool PutTextToClipboard(HWND owner, std::string_view text, std::span<const std::wstring> standIns) {
  const ui::Clipboard clipboard(owner);
  if (!clipboard || !EmptyClipboard()) return false;
  const std::string bytes = ClipboardTextBytes(text);
  // The Unicode text as well: the 8-bit text alone would be read with the
  // code page of the user's language, which garbles it unless that is Russian.
  const std::wstring unicode = ui::FromCp1251(text, standIns);
  const auto locale = LocaleBytes(GetUserDefaultLangID());
  return SetClipboardBytes(CF_TEXT, bytes.data(), bytes.size()) &&
         SetClipboardBytes(CF_UNICODETEXT, unicode.c_str(), (unicode.size() + 1) * sizeof(wchar_t)) &&
         SetClipboardBytes(CF_LOCALE, locale.data(), locale.size());
}

void SendPasteKeys() {
  WaitForModifiersReleased();
  TypeCtrlChord('V');
}

}  // namespace velmar
