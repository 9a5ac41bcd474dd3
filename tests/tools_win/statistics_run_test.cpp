#include "statistics_run.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "stat_form.h"
#include "wait_form.h"
#include "window_test_util.h"

namespace velmar {
namespace {

using test::ClientSize;
using test::Cp1251;
using test::TextOf;
using test::W;

HWND StatForm() { return test::FindOwnWindow(nullptr, W("Статистика")); }
HWND WaitForm() { return test::FindOwnWindow(nullptr, W("Разбор свойств текста...")); }

POINT Centre(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

enum class CloseBy { kOkButton, kCloseBox, kEscapeKey, kEnterKey };

// What a run looked like at its steps, as the main window and the user see it.
struct Observed {
  bool ownerDisabledAfterStart = false;
  bool waitVisibleAfterStart = false;
  bool statHiddenAfterStart = false;
  bool ownerDisabledWhenCounted = false;
  bool waitAliveWhenCounted = false;
  std::wstring firstValueWhenCounted;
  bool shownModally = false;  // the window visible with its owner disabled
  bool waitGoneWhenShown = false;
  std::array<std::wstring, TStatForm::kRows> captions;
  std::array<std::wstring, TStatForm::kRows> values;
  bool finished = false;
};

Observed RunStatistics(HWND owner, std::vector<std::string> lines, std::string decimal, CloseBy closeBy = CloseBy::kOkButton) {
  Observed seen;
  StartStatisticsRun(owner, std::move(lines), std::move(decimal), [&] {
    seen.ownerDisabledWhenCounted = !IsWindowEnabled(owner);
    seen.waitAliveWhenCounted = WaitForm() != nullptr;
    seen.firstValueWhenCounted = TextOf(GetDlgItem(StatForm(), Id(StatId::Value)));
  });
  seen.ownerDisabledAfterStart = !IsWindowEnabled(owner);
  seen.waitVisibleAfterStart = WaitForm() && IsWindowVisible(WaitForm());
  seen.statHiddenAfterStart = StatForm() && !IsWindowVisible(StatForm());

  bool closed = false;
  test::TickWhilePumping tick([&] {
    HWND stat = StatForm();
    if (closed || !stat || !IsWindowVisible(stat)) return;
    seen.shownModally = !IsWindowEnabled(owner);
    seen.waitGoneWhenShown = WaitForm() == nullptr;
    for (int row = 0; row < TStatForm::kRows; ++row) {
      seen.captions[row] = TextOf(GetDlgItem(stat, Id(StatId::Caption) + row));
      seen.values[row] = TextOf(GetDlgItem(stat, Id(StatId::Value) + row));
    }
    closed = true;
    switch (closeBy) {
      case CloseBy::kOkButton:
        SendMessageW(stat, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(stat, IDOK)));
        break;
      case CloseBy::kCloseBox:
        SendMessageW(stat, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
      case CloseBy::kEscapeKey:
      case CloseBy::kEnterKey:
        // Through the window's own message loop, as a key press arrives.
        PostMessageW(GetFocus(), WM_KEYDOWN, closeBy == CloseBy::kEscapeKey ? VK_ESCAPE : VK_RETURN, 1);
        break;
    }
  });
  seen.finished = test::PumpUntil([&] { return closed && !StatForm() && IsWindowEnabled(owner); });
  return seen;
}

TEST(StatisticsRun, GoesFromTheWaitWindowToTheModalStatisticsWindowAndBack) {
  test::OwnerWindow owner;
  const Observed seen = RunStatistics(owner.hwnd(), {Cp1251("Привет, World 2024"), "ab cd"}, ",");

  EXPECT_TRUE(seen.ownerDisabledAfterStart);
  EXPECT_TRUE(seen.waitVisibleAfterStart);
  EXPECT_TRUE(seen.statHiddenAfterStart);
  // The values are in the window before the main window hears of the result,
  // and the main window stays disabled until the wait window is gone.
  EXPECT_EQ(seen.firstValueWhenCounted, L"5");
  EXPECT_TRUE(seen.ownerDisabledWhenCounted);
  EXPECT_TRUE(seen.waitAliveWhenCounted);
  EXPECT_TRUE(seen.shownModally);
  EXPECT_TRUE(seen.waitGoneWhenShown);
  ASSERT_TRUE(seen.finished);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
  EXPECT_EQ(WaitForm(), nullptr);

  const char* const captions[] = {"Слов:",  "Символов (без пробелов):", "Символов (с пробелами):",
                                  "Пробелов:", "Строк:", "Цифры:", "Кирилица:", "Латиница:", "Размер:"};
  // Words 3 + 2; 20 + 7 characters with the two line breaks; the capitals
  // "П" and "W" count in neither alphabet.
  const char* const values[] = {"5", "24", "27", "3", "2", "4", "5", "8", "27 Байт"};
  for (int row = 0; row < TStatForm::kRows; ++row) {
    EXPECT_EQ(seen.captions[row], W(captions[row])) << "row " << row;
    EXPECT_EQ(seen.values[row], W(values[row])) << "row " << row;
  }
}

TEST(StatisticsRun, SizeAndCountsOfTexts) {
  struct Case {
    std::vector<std::string> lines;
    std::string decimal;
    std::array<const char*, TStatForm::kRows> values;
  };
  const Case cases[] = {
      {{"abc"}, ",", {"1", "5", "5", "0", "1", "0", "0", "3", "5 Байт"}},
      {{""}, ",", {"0", "2", "2", "0", "1", "0", "0", "0", "2 Байт"}},
      {{std::string(1534, 'x')}, ",", {"1", "1536", "1536", "0", "1", "0", "0", "1534", "1,50 Кб"}},
      {{std::string(1534, 'x')}, ".", {"1", "1536", "1536", "0", "1", "0", "0", "1534", "1.50 Кб"}},
      // TAB and the no-break space are no spaces; the no-break space is a word.
      {{"\t\xA0", "e.g. snake_case"}, ",", {"5", "20", "21", "1", "2", "0", "0", "11", "21 Байт"}},
  };
  test::OwnerWindow owner;
  for (const Case& c : cases) {
    const Observed seen = RunStatistics(owner.hwnd(), c.lines, c.decimal);
    ASSERT_TRUE(seen.finished);
    for (int row = 0; row < TStatForm::kRows; ++row) {
      EXPECT_EQ(seen.values[row], W(c.values[row])) << "row " << row << " of " << c.lines.front().substr(0, 20);
    }
  }
}

TEST(StatisticsRun, TheCloseBoxAndTheKeysEndTheRunLikeOk) {
  test::OwnerWindow owner;
  for (CloseBy closeBy : {CloseBy::kCloseBox, CloseBy::kEscapeKey, CloseBy::kEnterKey}) {
    const Observed seen = RunStatistics(owner.hwnd(), {"abc"}, ",", closeBy);
    EXPECT_TRUE(seen.shownModally);
    ASSERT_TRUE(seen.finished) << static_cast<int>(closeBy);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
  }
}

TEST(StatisticsRun, ClosingTheMainWindowDuringTheRunEndsItQuietly) {
  auto owner = std::make_unique<test::OwnerWindow>();
  StartStatisticsRun(owner->hwnd(), {"abc"}, ",");
  ASSERT_NE(WaitForm(), nullptr);
  owner.reset();
  EXPECT_EQ(WaitForm(), nullptr);
  EXPECT_EQ(StatForm(), nullptr);
  // The worker's message finds no window; nothing appears later either.
  test::PumpUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_EQ(StatForm(), nullptr);
  EXPECT_EQ(test::FindOwnWindow(L"VelmarStatisticsRun"), nullptr);
}

// A large box takes a while to read: the user sees the wait window and the
// disabled main window before that.
TEST(StatisticsRun, TheLinesAreReadBehindTheWaitWindow) {
  test::OwnerWindow owner;
  bool ownerDisabled = false, waitVisible = false;
  bool counted = false;
  StartStatisticsRun(
      owner.hwnd(),
      [&] {
        ownerDisabled = !IsWindowEnabled(owner.hwnd());
        waitVisible = WaitForm() && IsWindowVisible(WaitForm());
        return std::vector<std::string>{"abc"};
      },
      ",", [&] { counted = true; });
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(waitVisible);
  test::TickWhilePumping close([] {
    if (HWND stat = StatForm(); stat && IsWindowVisible(stat)) SendMessageW(stat, WM_COMMAND, IDOK, 0);
  });
  EXPECT_TRUE(test::PumpUntil([&] { return counted && !StatForm() && IsWindowEnabled(owner.hwnd()); }));
}

// The worker is owned and joined: destroyed while it counts, it stops early
// and never reports; a count that throws reports a failure, not a crash.
TEST(StatisticsWorker, DestroyedWhileCountingAndFailing) {
  std::atomic<bool> reported{false};
  {
    std::vector<std::string> lines(2'000'000, "some words, and more words");
    TThreadInfo worker(std::move(lines), [&] { reported = true; });
  }
  EXPECT_FALSE(reported);

  const struct {
    TThreadInfo::Analyse analyse;
    std::string failure;
  } cases[] = {
      {[](const auto&, auto&, const auto&) { throw std::runtime_error("count failed"); }, "count failed"},
      {[](const auto&, auto&, const auto&) { throw std::bad_alloc(); }, "Недостаточно памяти для подсчёта статистики этого текста"},
      {[](const auto&, auto&, const auto&) { throw 1; }, "Непредвиденная ошибка"},
      {TThreadInfo::CountLines, ""},
  };
  for (const auto& c : cases) {
    std::atomic<bool> done{false};
    TThreadInfo worker({"ab cd"}, [&] { done = true; }, c.analyse);
    ASSERT_TRUE(test::PumpUntil([&] { return done.load(); }));
    EXPECT_EQ(worker.Failure(), c.failure);
  }
}

// Reading the lines fails: the command ends with the error, and the main
// window is enabled again with no window of the run left.
TEST(StatisticsRun, AFailedReadEndsTheRunAtOnce) {
  test::OwnerWindow owner;
  EXPECT_THROW(StartStatisticsRun(
                   owner.hwnd(), []() -> std::vector<std::string> { throw std::runtime_error("x"); }, ","),
               std::runtime_error);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
  EXPECT_EQ(WaitForm(), nullptr);
  EXPECT_EQ(StatForm(), nullptr);
}

TEST(WaitForm, SizesAndMarquee) {
  test::OwnerWindow owner;
  TWaitForm wait(owner.hwnd());
  EXPECT_EQ(TextOf(wait.hwnd()), L"WaitForm");
  wait.StartMarquee();
  wait.Show(L"Busy");
  EXPECT_EQ(TextOf(wait.hwnd()), L"Busy");
  const SIZE client = ClientSize(wait.hwnd());
  EXPECT_EQ(client.cx, 409);
  EXPECT_EQ(client.cy, 57);
  const LONG style = GetWindowLongW(wait.hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_SYSMENU) << "no title-bar buttons";
  EXPECT_EQ(GetWindow(wait.hwnd(), GW_OWNER), owner.hwnd());

  RECT bar{};
  GetWindowRect(wait.ProgressBar1(), &bar);
  MapWindowPoints(nullptr, wait.hwnd(), reinterpret_cast<POINT*>(&bar), 2);
  EXPECT_EQ(bar.left, 16);
  EXPECT_EQ(bar.top, 16);
  EXPECT_EQ(bar.right - bar.left, 377);
  EXPECT_EQ(bar.bottom - bar.top, 25);
  EXPECT_EQ(GetWindowLongW(wait.ProgressBar1(), GWL_STYLE) & (WS_CHILD | WS_VISIBLE | PBS_MARQUEE),
            WS_CHILD | WS_VISIBLE | PBS_MARQUEE);

  const POINT a = Centre(wait.hwnd());
  const POINT b = Centre(owner.hwnd());
  EXPECT_LE(std::abs(a.x - b.x), 1);
  EXPECT_LE(std::abs(a.y - b.y), 1);
  // Alt+F4 does not close it; the run does.
  SendMessageW(wait.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(wait.hwnd()));
}

TEST(StatForm, FrameSizeAndLeaders) {
  test::OwnerWindow owner;
  TStatForm stat(owner.hwnd());
  const SIZE client = ClientSize(stat.hwnd());
  EXPECT_EQ(client.cx, 329);
  EXPECT_EQ(client.cy, 248);
  EXPECT_TRUE(GetWindowLongW(stat.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(GetWindowLongW(stat.hwnd(), GWL_STYLE) & WS_SYSMENU);
  EXPECT_EQ(GetWindow(stat.hwnd(), GW_OWNER), owner.hwnd());
  EXPECT_EQ(TextOf(GetDlgItem(stat.hwnd(), IDOK)), L"OK");

  // Every row starts at "0"; a wider value moves its left edge and the end of
  // the leader left, so that the leader never runs under the value.
  auto rectOf = [&](int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(stat.hwnd(), id), &rect);
    MapWindowPoints(nullptr, stat.hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  for (int row = 0; row < TStatForm::kRows; ++row) {
    EXPECT_EQ(TextOf(GetDlgItem(stat.hwnd(), Id(StatId::Value) + row)), L"0");
  }
  const RECT before = rectOf(Id(StatId::Value) + 8);
  stat.SetValue(8, W("1024,00 Пб"));
  const RECT value = rectOf(Id(StatId::Value) + 8);
  const RECT leader = rectOf(Id(StatId::Leader) + 8);
  const RECT caption = rectOf(Id(StatId::Caption) + 8);
  EXPECT_EQ(value.right, before.right);
  EXPECT_LT(value.left, before.left);
  EXPECT_LE(leader.right, value.left);
  EXPECT_GE(leader.left, caption.right);
  EXPECT_GT(leader.right, leader.left);
  EXPECT_GE(caption.top, TStatForm::kBannerHeight);
}

int FontHeight(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return std::abs(font.lfHeight);
}

// What Windows sends a window dragged onto a monitor of another scale: the
// new DPI and the rectangle it suggests. (The frame here stays the one of the
// test's display, which is what the window gets.)
void MoveToScale(HWND window, int dpi, SIZE client) {
  const SIZE outer = ui::OuterSize(client, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)),
                                   static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)),
                                   ui::ScaleForWindow(window));
  RECT suggested{40, 30, 40 + outer.cx, 30 + outer.cy};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

TEST(StatForm, OnAMonitorOfTwiceTheScaleItLaysItselfOutAgainWithNewFonts) {
  test::OwnerWindow owner;
  TStatForm stat(owner.hwnd());
  HWND ok = GetDlgItem(stat.hwnd(), IDOK);
  const int fontBefore = FontHeight(ok);
  const int dpi = 2 * ui::ScaleForWindow(stat.hwnd()).Value();
  const ui::Dpi S(dpi);
  MoveToScale(stat.hwnd(), dpi, {S(329), S(248)});
  const SIZE client = ClientSize(stat.hwnd());
  EXPECT_EQ(client.cx, S(329));
  EXPECT_EQ(client.cy, S(248));
  RECT button{};
  GetWindowRect(ok, &button);
  MapWindowPoints(nullptr, stat.hwnd(), reinterpret_cast<POINT*>(&button), 2);
  EXPECT_EQ(button.left, S(329 - 8 - 75));
  EXPECT_EQ(button.right - button.left, S(75));
  EXPECT_EQ(button.bottom - button.top, S(23));
  EXPECT_NEAR(FontHeight(ok), 2 * fontBefore, 1) << "the font stayed at the old scale";
  // The rows follow: the last value still ends at the right margin.
  RECT value{};
  GetWindowRect(GetDlgItem(stat.hwnd(), Id(StatId::Value) + 8), &value);
  MapWindowPoints(nullptr, stat.hwnd(), reinterpret_cast<POINT*>(&value), 2);
  EXPECT_EQ(value.right, S(329 - 16));
  EXPECT_GE(value.top, S(TStatForm::kBannerHeight));
}

TEST(WaitForm, OnAMonitorOfAnotherScaleTheBarIsPlacedAgain) {
  test::OwnerWindow owner;
  TWaitForm wait(owner.hwnd());
  const ui::Dpi S(3 * ui::ScaleForWindow(wait.hwnd()).Value() / 2);
  MoveToScale(wait.hwnd(), S.Value(), {S(409), S(57)});
  RECT bar{};
  GetWindowRect(wait.ProgressBar1(), &bar);
  MapWindowPoints(nullptr, wait.hwnd(), reinterpret_cast<POINT*>(&bar), 2);
  EXPECT_EQ(bar.left, S(16));
  EXPECT_EQ(bar.right, S(16 + 377));
  EXPECT_EQ(bar.bottom, S(16 + 25));
  EXPECT_EQ(ClientSize(wait.hwnd()).cx, S(409));
}

}  // namespace
}  // namespace velmar
