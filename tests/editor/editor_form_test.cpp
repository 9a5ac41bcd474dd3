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
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR t, DWORD) {
    HWND box = FindWindowW(L"#32770", nullptr);
    if (!box) return;
    KillTimer(nullptr, t);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
  });
}

// A source longer than its column ends in "…" at the column's end: it is
// never drawn over the target's flag or column.
TEST(EditorForm, ALongSourceIsClippedToItsColumn) {
  ui::ComApartment com;  // the pictures are decoded through COM
  SetTimer(nullptr, 0, 20, WhenShown);
  TTableEditForm editor;
  editor.ShowModal(nullptr);
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
  ui::ComApartment com;
  SetTimer(nullptr, 0, 60, KeyStep);
  TTableEditForm editor;
  editor.ShowModal(nullptr);
  EXPECT_EQ(keys.pairsAfterEnter, 1);
  EXPECT_EQ(keys.sourceAfterEnter, L"");
  EXPECT_EQ(keys.selectionAfterFirstEsc, LB_ERR);
  EXPECT_TRUE(keys.openAfterFirstEsc);
  EXPECT_TRUE(keys.askedOnSecondEsc);
}

}  // namespace
}  // namespace velmar
