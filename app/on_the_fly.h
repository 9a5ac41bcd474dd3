#pragma once
// The decisions of the two global hotkeys and of the conversion on the fly,
// free of any window: which hotkey a message starts, how the other program's
// selection is copied, and how an on-the-fly run ends. No windows.h here.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmar {

// The names of the global atoms whose values identify the two hotkeys.
inline constexpr char kMainHotkeyAtom[] = "TranlateMainHotKey";
inline constexpr char kQuickHotkeyAtom[] = "QuickTranlateHotKey";
inline constexpr unsigned kHotkeyModifiers = 3;  // Alt + Ctrl
inline constexpr unsigned kMainHotkeyKey = 0x54;  // 'T'
inline constexpr unsigned kQuickHotkeyKey = 0x51;  // 'Q'

// The balloon tip of the tray icon.
inline constexpr char kBalloonTitle[] = "VelmarPro";
inline constexpr char kBalloonWorking[] = "Программа выполняет транслит выделенного Вами текста...";
inline constexpr unsigned kBalloonWorkingSeconds = 60;
inline constexpr char kBalloonNothingCopied[] = "Выделенный текст не скопирован, транслит не выполнен.";
inline constexpr char kBalloonResultInWindow[] = "Буфер обмена занят: результат транслита - в окне программы.";
inline constexpr unsigned kBalloonNoticeSeconds = 10;

// The value under the current user's Run key that starts the program at logon.
inline constexpr wchar_t kAutostartValueName[] = L"VelmarPro";
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The quoted path of the executable, a blank and "-autorun".
std::wstring AutostartCommand(std::wstring_view exePath);

enum class Hotkey { Main, Quick };

// The hotkey a WM_HOTKEY identifier stands for. Nothing for a foreign
// identifier, and nothing at all while a run is in progress or an on-the-fly
// run waits for its paste: a hotkey then would copy into a read-only box and
// hand the running result to the wrong program.
std::optional<Hotkey> HotkeyToHandle(unsigned id, unsigned mainId, unsigned quickId, bool busy, bool runInProgress);

// Copying the selection of the other program: WM_COPY first; when the
// clipboard did not change, the Ctrl+C key strokes once (only towards another
// program, never our own window); when it still did not change, nothing was
// copied and the old clipboard text must not be converted.
enum class CopyStep { UseClipboard, PressCtrlC, NothingCopied };
CopyStep NextCopyStep(bool clipboardChanged, bool keysTried, bool otherProgramInFront);

// What the tray balloon does at a step of the on-the-fly run.
enum class BalloonChange { None, Hide, Working, NothingCopied, ResultInWindow };

// The busy state of the quick hotkey: set when the quick hotkey requests a
// run, cleared by that run's end whatever happens on the way.
class OnTheFly {
 public:
  bool Busy() const { return busy_; }
  // The creation step and a table reload: not busy, no balloon.
  BalloonChange Reset();
  // The quick hotkey has copied the selection and requests a run.
  BalloonChange Start();
  // The requested run did not start (too little text): nothing will be pasted.
  BalloonChange Refused();

  struct Finish {
    bool paste = false;  // send the paste keys to the other program
    BalloonChange balloon = BalloonChange::None;
  };
  // The run completed while busy and its result was (or was not) put on the clipboard.
  Finish Completed(bool onClipboard);

 private:
  bool busy_ = false;
};

// What the quick hotkey pastes: the run's result ends every line with CR LF,
// but a selection that did not end with a line break must not gain one (the
// break would split the other program's line). So the last CR LF goes unless
// the copied selection ended with a line break itself.
std::string_view QuickPasteText(std::string_view result, bool selectionEndsWithBreak);
// Whether a copied selection ends with a line break (CR or LF).
bool EndsWithLineBreak(std::wstring_view text);

// The clipboard payloads: the text with its NUL byte (CF_TEXT, a stand-in
// byte for a character Windows-1251 has not becoming "?") and the
// language identifier as two little-endian bytes (CF_LOCALE).
std::string ClipboardTextBytes(std::string_view text);
std::array<std::byte, 2> LocaleBytes(std::uint16_t langId);

}  // namespace velmar
