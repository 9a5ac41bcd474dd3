// The table editor's window in process under Wine: how a row is drawn.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "editor_ids.h"
#include "image.h"
#include "uTableEditor.h"

namespace velmar {
namespace {

constexpr COLORREF kListColour = RGB(243, 249, 252);
constexpr int kRowWidth = 568, kRowHeight = 26;


// Draws row 0 into a bitmap of our own, as the list would, and counts the
// text pixels where no text of the row belongs: the strip between the source
// column and the target flag, and the target column (the target is empty).
struct Dark {
  int inSource = 0, outside = 0;
};
HWND editorWindow = nullptr;
Dark dark{-1, -1};

Dark CountDarkPixels(HWND editor) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kRowWidth, kRowHeight);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_LISTBOX;
  item.CtlID = static_cast<UINT>(EditorId::ListBox1);
  item.itemID = 0;
  item.itemAction = ODA_DRAWENTIRE;
  item.hwndItem = GetDlgItem(editor, static_cast<int>(EditorId::ListBox1));
  item.hDC = dc;
  item.rcItem = {0, 0, kRowWidth, kRowHeight};
  SendMessageW(editor, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
  Dark dark;
  for (int y = 0; y < kRowHeight; ++y)
    for (int x = 30; x < kRowWidth; ++x) {
      if (x >= 260 && x < 277) continue;  // the target flag
      const COLORREF c = GetPixel(dc, x, y);
      if (c != kListColour && GetRValue(c) < 160) ++(x < 257 ? dark.inSource : dark.outside);
    }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return dark;
}

// Answers the editor's question about a changed table "Нет" once it shows.
void CALLBACK AnswerNo(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowW(L"#32770", nullptr);
  if (!box) return;
  KillTimer(nullptr, timer);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
}

void CALLBACK WhenShown(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND editor = FindWindowW(kTableEditClass, nullptr);
  if (!editor || !IsWindowVisible(editor)) return;
  KillTimer(nullptr, timer);
  editorWindow = editor;
  SetWindowTextW(GetDlgItem(editor, static_cast<int>(EditorId::Edit1)),
                 L"ШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШ");
  SendMessageW(editor, WM_COMMAND, MAKEWPARAM(static_cast<int>(EditorId::sSpeedButton5), BN_CLICKED), 0);
  dark = CountDarkPixels(editor);
  PostMessageW(editor, WM_CLOSE, 0, 0);
  // The new pair makes the table changed: the close question is answered "Нет".
  SetTimer(nullptr, 0, 50, AnswerNo);
}

// Shows the editor with a new table; `steps`, a timer every `every` ms, drives
// it from inside its modal loop and ends it.
void RunEditor(TIMERPROC steps, UINT every) {
  ui::ComApartment com;  // the pictures are decoded through COM
  SetTimer(nullptr, 0, every, steps);
  TTableEditForm editor;
  editor.ShowModal(nullptr);
}

// A source longer than its column ends in "…" at the column's end: it is
// never drawn over the target's flag or column.
TEST(EditorForm, ALongSourceIsClippedToItsColumn) {
  RunEditor(WhenShown, 20);
  ASSERT_NE(editorWindow, nullptr);
  EXPECT_GT(dark.inSource, 100);  // the row was drawn, its text in the source column
  EXPECT_EQ(dark.outside, 0);
}


// The keys of the editor, as the modal loop delivers them: Enter in the pair's
// boxes adds the pair; Esc first lets a selected pair go, then closes the
// editor with its question about the changes.
struct KeySteps {
  int step = 0;
  HWND editor = nullptr;
  LRESULT pairsAfterEnter = -1;
  std::wstring sourceAfterEnter = L"?";
  LRESULT selectionAfterFirstEsc = -2;
  bool openAfterFirstEsc = false;
  bool askedOnSecondEsc = false;
  int waited = 0;  // ticks without the close question; the test closes the editor itself at last
} keys;

HWND EditorControl(EditorId id) { return GetDlgItem(keys.editor, static_cast<int>(id)); }

void PressKey(WPARAM key) { PostMessageW(GetFocus(), WM_KEYDOWN, key, 0); }

void CALLBACK KeyStep(HWND, UINT, UINT_PTR timer, DWORD) {
  switch (keys.step) {
    case 0:
      keys.editor = FindWindowW(kTableEditClass, nullptr);
      if (!keys.editor || !IsWindowVisible(keys.editor)) return;
      SetWindowTextW(EditorControl(EditorId::Edit1), L"Ж");
      SetWindowTextW(EditorControl(EditorId::Edit2), L"Zh");
      SetFocus(EditorControl(EditorId::Edit2));
      PressKey(VK_RETURN);
      break;
    case 1: {
      keys.pairsAfterEnter = SendMessageW(EditorControl(EditorId::ListBox1), LB_GETCOUNT, 0, 0);
      wchar_t text[16] = L"";
      GetWindowTextW(EditorControl(EditorId::Edit1), text, 16);
      keys.sourceAfterEnter = text;
      SendMessageW(EditorControl(EditorId::ListBox1), LB_SETCURSEL, 0, 0);
      SetFocus(EditorControl(EditorId::ListBox1));
      PressKey(VK_ESCAPE);
      break;
    }
    case 2:
      keys.selectionAfterFirstEsc = SendMessageW(EditorControl(EditorId::ListBox1), LB_GETCURSEL, 0, 0);
      keys.openAfterFirstEsc = IsWindowVisible(keys.editor) != FALSE;
      PressKey(VK_ESCAPE);
      break;
    default: {
      HWND box = FindWindowW(L"#32770", nullptr);
      if (!box) {
        if (++keys.waited == 40) PostMessageW(keys.editor, WM_CLOSE, 0, 0);
        return;
      }
      KillTimer(nullptr, timer);
      keys.askedOnSecondEsc = keys.waited < 40;
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
      return;
    }
  }
  ++keys.step;
}

TEST(EditorForm, EnterAddsThePairAndEscLetsItGoThenCloses) {
  RunEditor(KeyStep, 60);
  EXPECT_EQ(keys.pairsAfterEnter, 1);
  EXPECT_EQ(keys.sourceAfterEnter, L"");
  EXPECT_EQ(keys.selectionAfterFirstEsc, LB_ERR);
  EXPECT_TRUE(keys.openAfterFirstEsc);
  EXPECT_TRUE(keys.askedOnSecondEsc);
}

// The buttons' keys and Del, as the modal loop delivers them: Alt+Down
// (the accelerator of "Ниже") moves the selected pair down, Del in the list
// deletes it. The pairs are read back through the boxes a click fills.
struct PairSteps {
  int step = 0;
  HWND editor = nullptr;
  LRESULT selectionAfterAltDown = -2;
  std::wstring firstAfterAltDown = L"?";
  LRESULT pairsAfterDel = -1;
  std::wstring firstAfterDel = L"?";
} pairs;

HWND PairControl(EditorId id) { return GetDlgItem(pairs.editor, static_cast<int>(id)); }

// Clicks row `row` of the pair list as the user would; the source of that pair.
std::wstring ClickRow(int row) {
  HWND list = PairControl(EditorId::ListBox1);
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageW(pairs.editor, WM_COMMAND, MAKEWPARAM(static_cast<int>(EditorId::ListBox1), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  wchar_t text[16] = L"";
  GetWindowTextW(PairControl(EditorId::Edit1), text, 16);
  return text;
}

void SetAltDown(bool down) {
  BYTE state[256] = {};
  GetKeyboardState(state);
  state[VK_MENU] = down ? 0x80 : 0;
  SetKeyboardState(state);
}

void CALLBACK PairStep(HWND, UINT, UINT_PTR timer, DWORD) {
  switch (pairs.step) {
    case 0:
      pairs.editor = FindWindowW(kTableEditClass, nullptr);
      if (!pairs.editor || !IsWindowVisible(pairs.editor)) return;
      for (const wchar_t* source : {L"a", L"b", L"c"}) {
        SetWindowTextW(PairControl(EditorId::Edit1), source);
        SendMessageW(pairs.editor, WM_COMMAND, MAKEWPARAM(static_cast<int>(EditorId::sSpeedButton5), BN_CLICKED), 0);
      }
      ClickRow(0);
      SetFocus(PairControl(EditorId::ListBox1));
      SetAltDown(true);
      PostMessageW(GetFocus(), WM_SYSKEYDOWN, VK_DOWN, 1 << 29);
      break;
    case 1:
      SetAltDown(false);
      pairs.selectionAfterAltDown = SendMessageW(PairControl(EditorId::ListBox1), LB_GETCURSEL, 0, 0);
      pairs.firstAfterAltDown = ClickRow(0);
      SetFocus(PairControl(EditorId::ListBox1));
      PostMessageW(GetFocus(), WM_KEYDOWN, VK_DELETE, 0);
      break;
    case 2:
      pairs.pairsAfterDel = SendMessageW(PairControl(EditorId::ListBox1), LB_GETCOUNT, 0, 0);
      pairs.firstAfterDel = ClickRow(0);
      KillTimer(nullptr, timer);
      PostMessageW(pairs.editor, WM_CLOSE, 0, 0);
      SetTimer(nullptr, 0, 50, AnswerNo);  // the table is changed
      return;
    default:
      return;
  }
  ++pairs.step;
}

TEST(EditorForm, AltDownMovesTheSelectedPairAndDelInTheListDeletesIt) {
  RunEditor(PairStep, 60);
  EXPECT_EQ(pairs.selectionAfterAltDown, 1);
  EXPECT_EQ(pairs.firstAfterAltDown, L"b");  // "a" went below "b"
  EXPECT_EQ(pairs.pairsAfterDel, 2);
  EXPECT_EQ(pairs.firstAfterDel, L"a");  // "b", selected at row 0, is gone
}

}  // namespace
}  // namespace velmar
