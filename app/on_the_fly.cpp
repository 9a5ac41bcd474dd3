#include "on_the_fly.h"

#include <algorithm>

#include "cp1251.h"

namespace velmar {

std::wstring AutostartCommand(std::wstring_view exePath) {
  std::wstring command = L"\"";
  command += exePath;
  command += L"\" -autorun";
  return command;
}

std::optional<Hotkey> HotkeyToHandle(unsigned id, unsigned mainId, unsigned quickId, bool busy, bool runInProgress) {
  if (busy || runInProgress || id == 0) return std::nullopt;
  if (id == mainId) return Hotkey::Main;
  if (id == quickId) return Hotkey::Quick;
  return std::nullopt;
}

CopyStep NextCopyStep(bool clipboardChanged, bool keysTried, bool otherProgramInFront) {
  if (clipboardChanged) return CopyStep::UseClipboard;
  if (!keysTried && otherProgramInFront) return CopyStep::PressCtrlC;
  return CopyStep::NothingCopied;
}

BalloonChange OnTheFly::Reset() {
  const bool wasBusy = busy_;
  busy_ = false;
  return wasBusy ? BalloonChange::Hide : BalloonChange::None;
}

BalloonChange OnTheFly::Start() {
  busy_ = true;
  return BalloonChange::Working;
}

BalloonChange OnTheFly::Refused() {
  if (!busy_) return BalloonChange::None;
  busy_ = false;
  return BalloonChange::Hide;
}

OnTheFly::Finish OnTheFly::Completed(bool onClipboard) {
  if (!busy_) return {};
  busy_ = false;
  if (!onClipboard) return {false, BalloonChange::ResultInWindow};
  return {true, BalloonChange::Hide};
}

std::string_view QuickPasteText(std::string_view result, bool selectionEndsWithBreak) {
  if (!selectionEndsWithBreak && result.ends_with("\r\n")) result.remove_suffix(2);
  return result;
}

bool EndsWithLineBreak(std::wstring_view text) {
  return !text.empty() && (text.back() == L'\n' || text.back() == L'\r');
}

std::string ClipboardTextBytes(std::string_view text) {
  std::string bytes(text);
  // What Windows-1251 has not is a question mark there (CF_UNICODETEXT holds it).
  std::replace(bytes.begin(), bytes.end(), static_cast<char>(kCp1251Undefined), '?');
  bytes += '\0';
  return bytes;
}

std::array<std::byte, 2> LocaleBytes(std::uint16_t langId) {
  return {static_cast<std::byte>(langId & 0xFF), static_cast<std::byte>(langId >> 8)};
}

}  // namespace velmar
