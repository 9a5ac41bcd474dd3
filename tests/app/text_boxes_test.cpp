// The main window's two text boxes and its status label in process on a
// hidden window under Wine: which changes the boxes report, which box is
// active and how it is drawn, the editing commands on the active box; the
// label's looks and the mouse messages it hands on.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "handles.h"
#include "status_label.h"
#include "text_boxes.h"
#include "window.h"

namespace velmar {
namespace {

using Box = TextBoxes::Box;

class Parent : public ui::Window {
 public:
  Parent() {
    Register(L"VelmarTextBoxesTestParent", nullptr, GetSysColorBrush(COLOR_BTNFACE), nullptr);
    CreateWindowOf(L"VelmarTextBoxesTestParent", L"", WS_OVERLAPPEDWINDOW, 0, 0, 0, 300, 300, nullptr, nullptr);
  }
};

class TextBoxesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    boxes.Create(Box::Source, parent.hwnd(), nullptr);
    boxes.Create(Box::Result, parent.hwnd(), nullptr);
    boxes.onSourceChange = [this] { ++sourceChanges; };
    boxes.onResultChange = [this] { ++resultChanges; };
  }
  // The background the box is drawn with, as the parent's procedure hands the question to it.
  COLORREF Background(const ui::Edit& box) {
    const ui::WindowDc dc(parent.hwnd());
    SendMessageW(parent.hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.get()),
                 reinterpret_cast<LPARAM>(box.hwnd()));
    return GetBkColor(dc.get());
  }

  Parent parent;
  TextBoxes boxes;
  int sourceChanges = 0, resultChanges = 0;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightBlue = RGB(242, 250, 255);

TEST_F(TextBoxesTest, EditsAreChangesAndTheProgramsOwnTextsAreNot) {
  EXPECT_EQ(boxes.Active(), Box::None);
  EXPECT_EQ(boxes.Target().hwnd(), boxes.Source().hwnd()) << "before any choice the source box";

  boxes.Result().ReplaceSelection(L"Щука");  // the user's edit
  EXPECT_EQ(resultChanges, 1);
  EXPECT_EQ(boxes.Active(), Box::Result);
  boxes.Source().ReplaceSelection(L"Рыба");
  EXPECT_EQ(sourceChanges, 1);
  EXPECT_EQ(boxes.Active(), Box::Source);

  // New, Open, the protocol: no change, and the active box stays.
  EXPECT_TRUE(boxes.SetTextQuietly(Box::Result, L""));
  EXPECT_TRUE(boxes.SetTextQuietly(Box::Source, L"Текст"));
  EXPECT_EQ(boxes.Source().Text(), L"Текст");
  EXPECT_EQ(sourceChanges, 1);
  EXPECT_EQ(resultChanges, 1);
  EXPECT_EQ(boxes.Active(), Box::Source);

  // And the user's edits are reported again afterwards.
  boxes.Result().ReplaceSelection(L"!");
  EXPECT_EQ(resultChanges, 2);
}

TEST_F(TextBoxesTest, TheActiveBoxIsWhiteAndTakesTheCommands) {
  EXPECT_EQ(Background(boxes.Source()), kWhite);
  EXPECT_EQ(Background(boxes.Result()), kLightBlue);

  // A click into the result box (the box's own message, seen by the boxes first).
  SendMessageW(boxes.Result().hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(boxes.Result().hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(boxes.Active(), Box::Result);
  EXPECT_EQ(Background(boxes.Source()), kLightBlue);
  EXPECT_EQ(Background(boxes.Result()), kWhite);
  // A key typed makes its box active without recolouring.
  SendMessageW(boxes.Source().hwnd(), WM_CHAR, L'x', 1);
  EXPECT_EQ(boxes.Active(), Box::Source);
  EXPECT_EQ(boxes.Source().Text(), L"x");
  EXPECT_EQ(Background(boxes.Result()), kWhite);
  boxes.ResetColours();
  EXPECT_EQ(Background(boxes.Source()), kWhite);
  EXPECT_EQ(Background(boxes.Result()), kLightBlue);

  boxes.Click(Box::Result);
  boxes.SetTextQuietly(Box::Result, L"один два");
  boxes.Result().Select(0, 5);
  boxes.DeleteSelection();
  EXPECT_EQ(boxes.Result().Text(), L"два");
  boxes.Undo();  // the deletion cannot be undone
  EXPECT_EQ(boxes.Result().Text(), L"два");
  EXPECT_EQ(boxes.Source().Text(), L"x");

  // During a run both boxes are read-only, and Delete leaves them alone.
  boxes.SetReadOnly(true);
  EXPECT_TRUE(boxes.Source().ReadOnly());
  boxes.SelectAll();
  EXPECT_EQ(boxes.Result().Selection(), std::make_pair(0, 3));
  boxes.DeleteSelection();
  EXPECT_EQ(boxes.Result().Text(), L"два");
  boxes.SetReadOnly(false);
  boxes.DeleteSelection();
  EXPECT_EQ(boxes.Result().Text(), L"");
}

TEST(StatusLabel, LooksAndMouse) {
  Parent parent;
  StatusLabel label;
  int clicks = 0, moves = 0, leaves = 0;
  label.onClick = [&] { ++clicks; };
  label.onMouseMove = [&] { ++moves; };
  label.onMouseLeave = [&] { ++leaves; };
  label.Create(parent.hwnd(), 40);
  EXPECT_EQ(label.Text(), L"Символов: 0");
  const ui::WindowDc dc(parent.hwnd());
  const auto colour = [&] {
    SendMessageW(parent.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                 reinterpret_cast<LPARAM>(label.hwnd()));
    return GetTextColor(dc.get());
  };
  const auto underlined = [&] {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(label.hwnd(), WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfUnderline != 0;
  };
  EXPECT_EQ(label.CurrentLook(), StatusLabel::Look::Link);
  EXPECT_EQ(colour(), GetSysColor(COLOR_APPWORKSPACE));
  EXPECT_TRUE(underlined());
  label.SetLook(StatusLabel::Look::Hover);
  EXPECT_EQ(colour(), GetSysColor(COLOR_MENUHILIGHT));
  EXPECT_TRUE(underlined());
  label.SetLook(StatusLabel::Look::Busy);
  EXPECT_EQ(colour(), RGB(99, 124, 39));
  EXPECT_FALSE(underlined());
  label.SetLook(StatusLabel::Look::Link);
  EXPECT_TRUE(underlined());

  SendMessageW(label.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  SendMessageW(label.hwnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(moves, 1);
  EXPECT_EQ(leaves, 1);
  EXPECT_EQ(SendMessageW(label.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(label.hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  SendMessageW(parent.hwnd(), WM_COMMAND, MAKEWPARAM(40, STN_CLICKED), reinterpret_cast<LPARAM>(label.hwnd()));
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace velmar
