#include "on_the_fly.h"

#include <gtest/gtest.h>

namespace velmar {
namespace {

constexpr unsigned kMain = 0xC001, kQuick = 0xC002;

TEST(Hotkeys, IdentifierChoosesTheHotkeyOnlyWhenIdle) {
  struct Case {
    unsigned id;
    bool busy, running;
    std::optional<Hotkey> expected;
  };
  const Case cases[] = {
      {kMain, false, false, Hotkey::Main},
      {kQuick, false, false, Hotkey::Quick},
      {0xC003, false, false, std::nullopt},  // someone else's identifier
      {0, false, false, std::nullopt},       // registration failed: the atom is 0
      {kMain, true, false, std::nullopt},    // an on-the-fly run waits for its paste
      {kQuick, true, false, std::nullopt},
      {kMain, false, true, std::nullopt},    // a run started by the button, the timer or a client
      {kQuick, false, true, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(HotkeyToHandle(c.id, kMain, kQuick, c.busy, c.running), c.expected)
        << "id " << c.id << " busy " << c.busy << " running " << c.running;
  // With no hotkey registered, an identifier of 0 never matches.
  EXPECT_EQ(HotkeyToHandle(0, 0, 0, false, false), std::nullopt);
}

TEST(Hotkeys, CopyTriesTheKeysOnceAndNeverUsesAnOldClipboard) {
  EXPECT_EQ(NextCopyStep(true, false, true), CopyStep::UseClipboard);
  EXPECT_EQ(NextCopyStep(true, true, false), CopyStep::UseClipboard);
  EXPECT_EQ(NextCopyStep(false, false, true), CopyStep::PressCtrlC);
  EXPECT_EQ(NextCopyStep(false, true, true), CopyStep::NothingCopied);
  // Our own window in front: no keys typed into it.
  EXPECT_EQ(NextCopyStep(false, false, false), CopyStep::NothingCopied);
}

TEST(OnTheFlyRun, PastesAndClearsAfterACompletedRun) {
  OnTheFly run;
  EXPECT_FALSE(run.Busy());
  EXPECT_EQ(run.Start(), BalloonChange::Working);
  EXPECT_TRUE(run.Busy());
  const OnTheFly::Finish finish = run.Completed(true);
  EXPECT_TRUE(finish.paste);
  EXPECT_EQ(finish.balloon, BalloonChange::Hide);
  EXPECT_FALSE(run.Busy());
  // A later run of another kind has nothing to hand over.
  const OnTheFly::Finish later = run.Completed(true);
  EXPECT_FALSE(later.paste);
  EXPECT_EQ(later.balloon, BalloonChange::None);
}

TEST(OnTheFlyRun, EveryEndClearsTheBusyState) {
  OnTheFly refused;
  refused.Start();
  EXPECT_EQ(refused.Refused(), BalloonChange::Hide);
  EXPECT_FALSE(refused.Busy());
  EXPECT_EQ(refused.Refused(), BalloonChange::None);

  OnTheFly noClipboard;
  noClipboard.Start();
  const OnTheFly::Finish finish = noClipboard.Completed(false);
  EXPECT_FALSE(finish.paste);  // Ctrl+V would paste whatever the clipboard held before
  EXPECT_EQ(finish.balloon, BalloonChange::ResultInWindow);
  EXPECT_FALSE(noClipboard.Busy());

  OnTheFly reloaded;
  EXPECT_EQ(reloaded.Reset(), BalloonChange::None);
  reloaded.Start();
  EXPECT_EQ(reloaded.Reset(), BalloonChange::Hide);
  EXPECT_FALSE(reloaded.Busy());
}

TEST(Clipboard, PayloadsAndAutostartValue) {
  EXPECT_EQ(ClipboardTextBytes("\xF9\xF3\xEA\xE0\r\n"), std::string("\xF9\xF3\xEA\xE0\r\n\0", 7));
  EXPECT_EQ(ClipboardTextBytes(""), std::string(1, '\0'));
  EXPECT_EQ(ClipboardTextBytes("a\x98" "b\x98"), std::string("a?b?\0", 5));
  const auto locale = LocaleBytes(0x0419);  // Russian
  EXPECT_EQ(locale[0], std::byte{0x19});
  EXPECT_EQ(locale[1], std::byte{0x04});
  EXPECT_EQ(AutostartCommand(L"C:\\Program Files\\VelmarPro\\VelmarPro.exe"),
            L"\"C:\\Program Files\\VelmarPro\\VelmarPro.exe\" -autorun");
}

// The run ends every line with CR LF; the paste keeps a final break only
// where the copied selection had one.
TEST(QuickPaste, TrailingLineBreakOnlyWhenTheSelectionEndedWithOne) {
  const struct {
    std::wstring_view selection;
    std::string_view result, pasted;
  } cases[] = {
      {L"Greka", "Greka\r\n", "Greka"},
      {L"two\r\nlines", "two\r\nlines\r\n", "two\r\nlines"},
      {L"line\r\n", "line\r\n", "line\r\n"},
      {L"lf\n", "lf\r\n", "lf\r\n"},
      {L"cr\r", "cr\r\n", "cr\r\n"},
      {L"words  compressed", "words compressed", "words compressed"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(QuickPasteText(c.result, EndsWithLineBreak(c.selection)), c.pasted) << c.result;
  EXPECT_FALSE(EndsWithLineBreak(L""));
}

}  // namespace
}  // namespace velmar
