// The dialog base under Wine: where a dialog appears, what happens to its
// owner, and which keys reach it while it runs modally.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialog.h"
#include "handles.h"
#include "standard_controls.h"
#include "window.h"

namespace {

constexpr int kFirstButton = 10, kSecondButton = 20, kAcceleratorCommand = 77;

class Owner : public ui::Window {
 public:
  Owner(int x, int y, int w, int h, bool visible) {
    Register(L"VelmarUiTestOwner", nullptr, GetSysColorBrush(COLOR_BTNFACE), nullptr);
    CreateWindowOf(L"VelmarUiTestOwner", L"owner", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 0, x, y, w, h,
                   nullptr, nullptr);
  }
};

class TestDialog : public ui::Dialog {
 public:
  static constexpr int kWidth = 300, kHeight = 200;  // outer size, set after creation

  explicit TestDialog(HWND owner) {
    Register(L"VelmarUiTestDialog", nullptr, GetSysColorBrush(COLOR_BTNFACE), nullptr);
    CreateDialogWindow(L"VelmarUiTestDialog", L"dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, {200, 100}, ui::Dpi(),
                       owner);
    first = ui::CreateControl(hwnd_, L"BUTTON", L"first", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, kFirstButton);
    second = ui::CreateControl(hwnd_, L"BUTTON", L"second", WS_TABSTOP | BS_PUSHBUTTON, 0, kSecondButton);
    owner_ = owner;
  }

  // Runs the dialog modally; the keys are posted to the focused control once it shows.
  void Run(const std::vector<WPARAM>& keys, HACCEL accelerators = nullptr, const std::function<void()>& also = {}) {
    RunModal(done, accelerators, [&] {
      SetFocus(second);
      for (WPARAM key : keys) PostMessageW(second, WM_KEYDOWN, key, 0);
      if (also) also();
    });
  }

  HWND first = nullptr, second = nullptr;
  std::vector<int> commands;
  bool done = false;
  bool ownerEverEnabled = false;
  int closeRequests = 0;
  HWND focusAtCancel = nullptr;
  bool visibleMeanwhile = false;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    // Clicks and accelerators; not the focus notes of the boxes.
    if (message == WM_COMMAND && HIWORD(wParam) <= 1) {
      commands.push_back(LOWORD(wParam));
      ownerEverEnabled = ownerEverEnabled || IsWindowEnabled(owner_);
      visibleMeanwhile = IsWindowVisible(hwnd_) != FALSE;
      if (LOWORD(wParam) == IDCANCEL) {
        focusAtCancel = GetFocus();
        done = true;
      }
      return 0;
    }
    if (message == WM_CLOSE) {
      ++closeRequests;
      done = true;
      return 0;
    }
    if (message == WM_COMMAND) return 0;
    return Dialog::HandleMessage(message, wParam, lParam);
  }

 private:
  HWND owner_ = nullptr;
};

RECT WorkArea() {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

TEST(DialogBase, ClientAreaHasTheSizeAskedFor) {
  Owner owner(100, 100, 400, 300, false);
  TestDialog dialog(owner.hwnd());
  RECT client{};
  GetClientRect(dialog.hwnd(), &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 100);
  EXPECT_TRUE(GetWindowLongPtrW(dialog.hwnd(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  EXPECT_EQ(GetWindow(dialog.hwnd(), GW_OWNER), owner.hwnd());
}

TEST(DialogBase, CentresOnTheOwnerInsideTheWorkArea) {
  const RECT area = WorkArea();
  const int w = TestDialog::kWidth, h = TestDialog::kHeight;
  struct Case {
    const char* name;
    int ownerX, ownerY;
    bool ownerVisible;
    int x, y;  // where the dialog's outer rectangle should start
  } cases[] = {
      {"on the owner", area.left + 100, area.top + 100, true, area.left + 150, area.top + 150},
      {"owner over the right and bottom edges", area.right - 100, area.bottom - 50, true, area.right - w,
       area.bottom - h},
      {"owner over the left and top edges", area.left - 380, area.top - 290, true, area.left, area.top},
      {"hidden owner: the work area's centre", area.left + 10, area.top + 10, false,
       area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Owner owner(c.ownerX, c.ownerY, 400, 300, c.ownerVisible);
    TestDialog dialog(owner.hwnd());
    SetWindowPos(dialog.hwnd(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ui::CentreOnOwner(dialog.hwnd(), owner.hwnd());
    const RECT placed = WindowRect(dialog.hwnd());
    EXPECT_EQ(placed.left, c.x);
    EXPECT_EQ(placed.top, c.y);
  }
}

TEST(DialogBase, EnterOnAFocusedButtonPressesItAcceleratorsAndEscReachTheDialog) {
  Owner owner(100, 100, 400, 300, false);
  TestDialog dialog(owner.hwnd());
  ACCEL keys[] = {{FVIRTKEY, VK_F5, kAcceleratorCommand}};
  const ui::AcceleratorTable accelerators(CreateAcceleratorTableW(keys, 1));
  dialog.Run({VK_RETURN, VK_F5, VK_ESCAPE}, accelerators.get());
  // Enter presses the focused button, not the default one.
  EXPECT_EQ(dialog.commands, (std::vector<int>{kSecondButton, kAcceleratorCommand, IDCANCEL}));
  EXPECT_TRUE(dialog.visibleMeanwhile);
  EXPECT_FALSE(dialog.ownerEverEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
  EXPECT_FALSE(IsWindowVisible(dialog.hwnd()));
}

TEST(DialogBase, EnterElsewhereIsTheDefaultCommand) {
  Owner owner(100, 100, 400, 300, false);
  TestDialog dialog(owner.hwnd());
  HWND edit = ui::CreateControl(dialog.hwnd(), L"EDIT", L"", WS_TABSTOP, 0, 30);
  dialog.Run({}, nullptr, [&] {
    SetFocus(edit);
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(dialog.commands, (std::vector<int>{IDOK, IDCANCEL}));
}

// A box of several lines wants every key; Tab and Esc must still work as in a
// dialog box, and Esc must not close the window as the box asks its parent to.
TEST(DialogBase, TabLeavesABoxOfSeveralLinesAndEscThereIsTheCancel) {
  Owner owner(100, 100, 400, 300, false);
  TestDialog dialog(owner.hwnd());
  HWND box = ui::CreateControl(dialog.hwnd(), L"EDIT", L"text", WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN, 0, 40);
  SetWindowPos(box, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // first in the tab order
  dialog.Run({}, nullptr, [&] {
    SetFocus(box);
    PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(dialog.closeRequests, 0);
  EXPECT_EQ(dialog.commands, (std::vector<int>{IDCANCEL}));
  EXPECT_EQ(ui::GetText(box), L"text");

  dialog.done = false;
  dialog.commands.clear();
  dialog.Run({}, nullptr, [&] {
    SetFocus(box);
    PostMessageW(box, WM_KEYDOWN, VK_TAB, 0);
    PostMessageW(dialog.first, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(dialog.focusAtCancel, dialog.first);
  EXPECT_EQ(ui::GetText(box), L"text");
}

TEST(DialogBase, TheOwnerGetsBackTheStateItHad) {
  for (const bool enabledBefore : {true, false}) {
    SCOPED_TRACE(enabledBefore ? "enabled before" : "disabled before (under another window)");
    Owner owner(100, 100, 400, 300, false);
    EnableWindow(owner.hwnd(), enabledBefore);
    {
      const ui::OwnerDisabled disabled(owner.hwnd());
      EXPECT_FALSE(IsWindowEnabled(owner.hwnd()));
    }
    EXPECT_EQ(IsWindowEnabled(owner.hwnd()) != FALSE, enabledBefore);

    TestDialog dialog(owner.hwnd());
    dialog.Run({VK_ESCAPE});
    EXPECT_EQ(IsWindowEnabled(owner.hwnd()) != FALSE, enabledBefore);
  }
}

TEST(DialogBase, AQuitRequestEndsTheLoopAndIsPassedOn) {
  Owner owner(100, 100, 400, 300, false);
  TestDialog dialog(owner.hwnd());
  dialog.Run({}, nullptr, [] { PostQuitMessage(3); });
  EXPECT_FALSE(dialog.done);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

// A dialog wired as the program's windows are: controls with objects and
// callbacks, onOk and onCancel for the dialog keys, no WM_COMMAND of its own.
class WiredDialog : public ui::Dialog {
 public:
  static constexpr int kBox = 30, kApply = 31, kOff = 32;

  explicit WiredDialog(HWND owner) {
    Register(L"VelmarUiTestWiredDialog", nullptr, GetSysColorBrush(COLOR_BTNFACE), nullptr);
    CreateDialogWindow(L"VelmarUiTestWiredDialog", L"wired", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, {200, 100},
                       ui::Dpi(), owner);
    box.Create(hwnd_, kBox);
    apply.onClick = [this] { log.push_back("apply"); };
    apply.Create(hwnd_, kApply, L"apply");
    off.onClick = [this] { log.push_back("off"); };
    off.Create(hwnd_, kOff, L"off");
    off.Enable(false);
    onOk = [this] { log.push_back("ok"); };
    onCancel = [this] {
      log.push_back("cancel");
      done = true;
    };
  }

  // Runs the dialog modally with `keys` posted to the text box once it shows.
  void Run(const std::vector<WPARAM>& keys, HACCEL accelerators) {
    done = false;
    RunModal(done, accelerators, [&] {
      SetFocus(box.hwnd());
      for (WPARAM key : keys) PostMessageW(box.hwnd(), WM_KEYDOWN, key, 0);
    });
  }

  ui::Edit box;
  ui::PushButton apply, off;
  std::vector<std::string> log;
  bool done = false;
};

TEST(DialogBase, AcceleratorsClickTheButtonOfTheirIdAndTheDialogKeysReachOkAndCancel) {
  Owner owner(100, 100, 400, 300, false);
  WiredDialog dialog(owner.hwnd());
  ACCEL keys[] = {{FVIRTKEY, VK_F5, WiredDialog::kApply}, {FVIRTKEY, VK_F6, WiredDialog::kOff}};
  const ui::AcceleratorTable accelerators(CreateAcceleratorTableW(keys, 2));
  // F6 belongs to a disabled button, which a click would not reach either.
  dialog.Run({VK_F5, VK_F6, VK_RETURN, VK_ESCAPE}, accelerators.get());
  EXPECT_EQ(dialog.log, (std::vector<std::string>{"apply", "ok", "cancel"}));

  // The close box is the cancel while onCancel is set; the window stays for it to decide.
  dialog.log.clear();
  SendMessageW(dialog.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(dialog.log, (std::vector<std::string>{"cancel"}));
  EXPECT_TRUE(IsWindow(dialog.hwnd()));
}

}  // namespace
