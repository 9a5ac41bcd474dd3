// The window layer in process under Wine: controls handle their own
// notifications through their parent, windows that own their objects, and the
// owners of Windows handles.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "controls.h"
#include "handles.h"
#include "standard_controls.h"
#include "window.h"

namespace {

// A hidden parent that records what reaches its own HandleMessage.
class Parent : public ui::Window {
 public:
  Parent() {
    Register(L"VelmarUiTestParent", nullptr, GetSysColorBrush(COLOR_BTNFACE), nullptr);
    CreateWindowOf(L"VelmarUiTestParent", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 200, nullptr, nullptr);
  }

  std::vector<UINT> commands;  // notification codes of the WM_COMMAND messages it got
  int colourQuestions = 0;
  static constexpr LRESULT kParentBrush = 0x5A5A;

  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const { return SendMessageW(hwnd(), message, wParam, lParam); }
  LRESULT Command(const ui::Control& control, WORD code) const {
    return Send(WM_COMMAND, MAKEWPARAM(control.Id(), code), reinterpret_cast<LPARAM>(control.hwnd()));
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND) {
      commands.push_back(HIWORD(wParam));
      return 0;
    }
    if (message == WM_CTLCOLORSTATIC) {
      ++colourQuestions;
      return kParentBrush;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }
};

TEST(Controls, NotificationsReachTheObjectOfTheSendingControl) {
  Parent parent;
  // Two buttons with one identifier: only the handle tells them apart.
  std::vector<ui::FlatButton> buttons(2);
  int clicks[2] = {0, 0};
  for (int i = 0; i < 2; ++i) {
    buttons[i].Create(parent.hwnd(), 500, L"button", ui::FlatButton::Look::IconOnly, nullptr, nullptr);
    buttons[i].onClick = [&clicks, i] { ++clicks[i]; };
  }
  buttons[1].checkable = true;
  parent.Command(buttons[1], BN_CLICKED);
  parent.Command(buttons[1], BN_DOUBLECLICKED);
  EXPECT_EQ(clicks[0], 0);
  EXPECT_EQ(clicks[1], 2);
  EXPECT_FALSE(buttons[1].checked);  // toggled twice
  // A notification the button does not handle, and a menu command, stay with the parent.
  parent.Command(buttons[0], BN_SETFOCUS);
  parent.Send(WM_COMMAND, MAKEWPARAM(500, 0), 0);
  EXPECT_EQ(parent.commands, (std::vector<UINT>{BN_SETFOCUS, 0}));
  EXPECT_EQ(clicks[0], 0);

  // The button draws itself: the parent's WM_DRAWITEM for it is answered by the button.
  ui::WindowDc screen(nullptr);
  const ui::MemoryDc dc(CreateCompatibleDC(screen.get()));
  const ui::Bitmap bitmap(CreateCompatibleBitmap(screen.get(), 40, 20));
  const ui::SelectIn select(dc.get(), bitmap.get());
  DRAWITEMSTRUCT item{ODT_BUTTON, 500, 0, ODA_DRAWENTIRE, ODS_SELECTED, buttons[0].hwnd(), dc.get(), {0, 0, 40, 20}, 0};
  SetPixel(dc.get(), 20, 10, RGB(1, 2, 3));
  EXPECT_EQ(parent.Send(WM_DRAWITEM, 500, reinterpret_cast<LPARAM>(&item)), TRUE);
  EXPECT_NE(GetPixel(dc.get(), 20, 10), RGB(1, 2, 3));  // a pressed button is filled
  EXPECT_EQ(parent.commands.size(), 2u);

  // A control moved to another object keeps its notifications coming.
  ui::FlatButton moved = std::move(buttons[1]);
  EXPECT_EQ(ui::Control::FromHandle(moved.hwnd()), &moved);
  parent.Command(moved, BN_CLICKED);
  EXPECT_EQ(clicks[1], 3);
}

// Windows sends no WM_MOUSELEAVE when a button moves away from under a still
// cursor, is hidden or disabled, or the cursor left while the mouse was
// captured: the frame of the hover look must not stay behind.
TEST(Controls, AFlatButtonDropsItsHoverLookWhenTheCursorIsNoLongerOverIt) {
  Parent parent;
  const auto placeParent = [&](int x) {
    SetWindowPos(parent.hwnd(), HWND_TOP, x, 100, 300, 200, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  };
  ui::FlatButton button;
  button.Create(parent.hwnd(), 501, L"cut", ui::FlatButton::Look::IconOnly, nullptr, nullptr);
  const auto place = [&](int x) { SetWindowPos(button.hwnd(), nullptr, x, 10, 24, 24, SWP_NOZORDER | SWP_NOACTIVATE); };
  const auto cursorAway = [] { SetCursorPos(900, 900); };
  const auto pump = [](int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    MSG msg;
    while (std::chrono::steady_clock::now() < end) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(10);
    }
  };
  const struct {
    const char* what;
    std::function<void()> change;
    bool hotAfter;
  } cases[] = {
      {"moved a little, still under the cursor", [&] { place(14); }, true},
      {"moved away from under the cursor", [&] { place(150); }, false},
      {"hidden", [&] { ShowWindow(button.hwnd(), SW_HIDE); }, false},
      {"disabled", [&] { EnableWindow(button.hwnd(), FALSE); }, false},
      {"left while the mouse was captured",
       [&] {
         SetCapture(button.hwnd());
         cursorAway();
         ReleaseCapture();
       },
       false},
      {"its window moved under a still cursor (maximised, restored)", [&] { placeParent(500); pump(1000); }, false},
  };
  for (const auto& c : cases) {
    placeParent(100);
    place(10);
    ShowWindow(button.hwnd(), SW_SHOWNA);
    EnableWindow(button.hwnd(), TRUE);
    RECT r{};
    GetWindowRect(button.hwnd(), &r);
    SetCursorPos(r.left + 12, r.top + 12);
    SendMessageW(button.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(12, 12));
    ASSERT_TRUE(button.Hot()) << c.what;
    c.change();
    EXPECT_EQ(button.Hot(), c.hotAfter) << c.what;
    cursorAway();
    pump(0);
  }
}

TEST(Controls, StandardControlsHandleTheirOwnNotifications) {
  Parent parent;
  ui::Edit edit;
  edit.Create(parent.hwnd(), 10);
  int changes = 0;
  edit.onChange = [&] { ++changes; };
  edit.SetText(L"Щука");  // the edit box itself tells its parent, which hands it over
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(edit.Text(), L"Щука");
  edit.Select(1, 3);
  EXPECT_EQ(edit.Selection(), std::make_pair(1, 3));
  edit.ReplaceSelection(L"ер");
  EXPECT_EQ(edit.Text(), L"Щера");
  EXPECT_EQ(changes, 2);
  edit.SetReadOnly(true);
  EXPECT_TRUE(edit.ReadOnly());
  // What the edit box does not handle (EN_UPDATE) went on to the parent.
  EXPECT_EQ(parent.commands, (std::vector<UINT>{EN_UPDATE, EN_UPDATE}));
  parent.commands.clear();

  ui::ListBox list;
  list.Create(parent.hwnd(), 11);
  list.Add(L"один");
  list.Add(L"два");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.ItemText(1), L"два");
  EXPECT_EQ(list.ItemText(5), L"");
  EXPECT_EQ(list.Selected(), -1);
  list.Select(1);
  EXPECT_EQ(list.Selected(), 1);
  int selections = 0, doubleClicks = 0;
  list.onSelect = [&] { ++selections; };
  parent.Command(list, LBN_SELCHANGE);
  EXPECT_EQ(selections, 1);
  parent.Command(list, LBN_DBLCLK);  // no handler: the parent's
  EXPECT_EQ(parent.commands, (std::vector<UINT>{LBN_DBLCLK}));
  list.onDoubleClick = [&] { ++doubleClicks; };
  parent.Command(list, LBN_DBLCLK);
  EXPECT_EQ(doubleClicks, 1);

  ui::Label label;
  int labelClicks = 0;
  label.onClick = [&] { ++labelClicks; };
  label.Create(parent.hwnd(), 12, L"ссылка");
  EXPECT_NE(GetWindowLongW(label.hwnd(), GWL_STYLE) & SS_NOTIFY, 0);
  parent.Command(label, STN_CLICKED);
  EXPECT_EQ(labelClicks, 1);
  EXPECT_EQ(parent.commands.size(), 1u);
}

// Owner-drawn rows without texts of their own, a label with an access key,
// and a key the list's owner takes before the list does.
TEST(Controls, OwnerDrawnItemsAccessKeysAndTheKeysOfAList) {
  Parent parent;
  // The item's data is what a box without HASSTRINGS keeps of Add's text:
  // 0, not the address of a text gone by then.
  ui::ListBox rows;
  rows.Create(parent.hwnd(), 20, WS_VSCROLL | LBS_OWNERDRAWFIXED);
  EXPECT_EQ(rows.Add({}), 0);
  EXPECT_EQ(rows.Add(L"не хранится"), 1);
  ui::ComboBox flags;
  flags.Create(parent.hwnd(), 21, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED);
  EXPECT_EQ(flags.Add(), 0);
  for (int item : {0, 1}) EXPECT_EQ(SendMessageW(rows.hwnd(), LB_GETITEMDATA, item, 0), 0) << item;
  EXPECT_EQ(SendMessageW(flags.hwnd(), CB_GETITEMDATA, 0, 0), 0);

  ui::Label plain, keyed;
  plain.Create(parent.hwnd(), 22, L"&Проба");
  keyed.accessKey = true;
  keyed.Create(parent.hwnd(), 23, L"&Проба");
  EXPECT_NE(GetWindowLongW(plain.hwnd(), GWL_STYLE) & SS_NOPREFIX, 0);
  EXPECT_EQ(GetWindowLongW(keyed.hwnd(), GWL_STYLE) & SS_NOPREFIX, 0);

  ui::ListBox list;
  list.Create(parent.hwnd(), 24);
  for (const wchar_t* item : {L"один", L"два", L"три"}) list.Add(item);
  list.Select(0);
  std::vector<WPARAM> keys;
  list.onKeyDown = [&](WPARAM key) {
    keys.push_back(key);
    if (key != VK_DELETE) return false;
    list.Delete(list.Selected());
    return true;
  };
  SendMessageW(list.hwnd(), WM_KEYDOWN, VK_DELETE, 0);  // taken: the list does nothing more
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.ItemText(0), L"два");
  list.Select(0);
  SendMessageW(list.hwnd(), WM_KEYDOWN, VK_DOWN, 0);  // refused: the list moves its selection
  EXPECT_EQ(list.Selected(), 1);
  EXPECT_EQ(keys, (std::vector<WPARAM>{VK_DELETE, VK_DOWN}));
}

TEST(Controls, TheProgramsOwnTextIsNoEdit) {
  Parent parent;
  ui::Edit edit;  // single-line: it reports a WM_SETTEXT as a change
  edit.Create(parent.hwnd(), 10);
  int changes = 0;
  edit.onChange = [&] { ++changes; };
  EXPECT_TRUE(edit.SetTextQuietly(L"Щука"));
  EXPECT_EQ(edit.Text(), L"Щука");
  EXPECT_EQ(changes, 0);
  // Nor did the change reach the parent, and the handler is back for the user's edits.
  EXPECT_EQ(std::count(parent.commands.begin(), parent.commands.end(), EN_CHANGE), 0);
  edit.SetText(L"Рыба");
  EXPECT_EQ(changes, 1);
}

// Another thread holds the clipboard open for a moment, as a clipboard manager does.
class ClipboardHeld {
 public:
  explicit ClipboardHeld(std::chrono::milliseconds hold)
      : thread_([this, hold] {
          if (OpenClipboard(nullptr)) {
            opened_ = true;
            std::this_thread::sleep_for(hold);
            CloseClipboard();
          }
          done_ = true;
        }) {
    while (!opened_ && !done_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~ClipboardHeld() { thread_.join(); }
  bool Held() const { return opened_; }

 private:
  std::atomic<bool> opened_{false}, done_{false};
  std::thread thread_;
};

std::wstring ClipboardText() {
  const ui::Clipboard clipboard(nullptr);
  if (!clipboard) return L"<clipboard busy>";
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const ui::LockedGlobal text(data);
  return text ? std::wstring(static_cast<const wchar_t*>(text.get())) : L"<no text>";
}

void PutOnClipboard(const std::wstring& text) {
  const ui::Clipboard clipboard(nullptr);
  ASSERT_TRUE(clipboard);
  EmptyClipboard();
  ui::GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
  {
    const ui::LockedGlobal out(memory.get());
    text.copy(static_cast<wchar_t*>(out.get()), text.size());
    static_cast<wchar_t*>(out.get())[text.size()] = L'\0';
  }
  ASSERT_TRUE(SetClipboardData(CF_UNICODETEXT, memory.get()));
  (void)memory.Release();
}

// The keys and the menus send WM_COPY, WM_CUT and WM_PASTE; the standard
// control gives up at once when another program has the clipboard open.
TEST(Controls, CutCopyAndPasteWaitForABusyClipboard) {
  using namespace std::chrono_literals;
  Parent parent;
  ui::Edit edit;
  edit.Create(parent.hwnd(), 10, ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL);
  edit.SetText(L"Щука и рыба\r\nвторая строка");
  edit.Select(0, 4);
  {
    const ClipboardHeld held(150ms);
    ASSERT_TRUE(held.Held());
    SendMessageW(edit.hwnd(), WM_COPY, 0, 0);
  }
  EXPECT_EQ(ClipboardText(), L"Щука");

  edit.Select(11, 19);  // across the line break
  {
    const ClipboardHeld held(150ms);
    SendMessageW(edit.hwnd(), WM_CUT, 0, 0);
  }
  EXPECT_EQ(ClipboardText(), L"\r\nвторая");
  EXPECT_EQ(edit.Text(), L"Щука и рыба строка");

  edit.Select(0, 0);
  {
    const ClipboardHeld held(150ms);
    SendMessageW(edit.hwnd(), WM_PASTE, 0, 0);
  }
  EXPECT_EQ(edit.Text(), L"\r\nвтораяЩука и рыба строка");
  SendMessageW(edit.hwnd(), WM_UNDO, 0, 0);
  EXPECT_EQ(edit.Text(), L"Щука и рыба строка") << "a paste is undone as one edit";

  // Nothing selected: the clipboard keeps what it has.
  edit.Select(3, 3);
  SendMessageW(edit.hwnd(), WM_COPY, 0, 0);
  EXPECT_EQ(ClipboardText(), L"\r\nвторая");
}

TEST(Controls, ReadOnlyAndSingleLineBoxesPasteAsTheStandardControlDoes) {
  Parent parent;
  ui::Edit box;
  box.Create(parent.hwnd(), 10, ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY);
  box.SetText(L"только чтение");
  PutOnClipboard(L"вставка");
  box.SelectAll();
  SendMessageW(box.hwnd(), WM_PASTE, 0, 0);
  EXPECT_EQ(box.Text(), L"только чтение");
  SendMessageW(box.hwnd(), WM_CUT, 0, 0);  // copies, and deletes nothing
  EXPECT_EQ(box.Text(), L"только чтение");
  EXPECT_EQ(ClipboardText(), L"только чтение");

  ui::Edit line;  // single-line: a paste stops at the first line break
  line.Create(parent.hwnd(), 11);
  PutOnClipboard(L"первая\r\nвторая");
  SendMessageW(line.hwnd(), WM_PASTE, 0, 0);
  EXPECT_EQ(line.Text(), L"первая");
}

TEST(Controls, ColoursAreTheControlsOwnOrTheParents) {
  Parent parent;
  ui::Label plain, grey, filled;
  plain.Create(parent.hwnd(), 1, L"a");
  grey.Create(parent.hwnd(), 2, L"b");
  filled.Create(parent.hwnd(), 3, L"c");
  grey.SetTextColour(RGB(128, 128, 128));
  filled.SetColours(RGB(255, 0, 0), RGB(0, 0, 255));
  ui::WindowDc dc(parent.hwnd());
  const auto ask = [&](const ui::Label& label) {
    return parent.Send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(label.hwnd()));
  };
  EXPECT_EQ(ask(plain), Parent::kParentBrush);
  EXPECT_EQ(parent.colourQuestions, 1);

  EXPECT_EQ(ask(grey), reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)));
  EXPECT_EQ(GetTextColor(dc.get()), RGB(128, 128, 128));

  const LRESULT brush = ask(filled);
  EXPECT_EQ(GetTextColor(dc.get()), RGB(255, 0, 0));
  EXPECT_EQ(GetBkColor(dc.get()), RGB(0, 0, 255));
  LOGBRUSH look{};
  ASSERT_NE(GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof look, &look), 0);
  EXPECT_EQ(look.lbColor, RGB(0, 0, 255));

  // A background alone leaves the text colour to the control.
  grey.ResetColours();
  grey.SetBackground(RGB(0, 255, 0));
  SetTextColor(dc.get(), RGB(1, 2, 3));
  ask(grey);
  EXPECT_EQ(GetTextColor(dc.get()), RGB(1, 2, 3));
  EXPECT_EQ(GetBkColor(dc.get()), RGB(0, 255, 0));

  filled.ResetColours();
  EXPECT_EQ(ask(filled), Parent::kParentBrush);
  EXPECT_EQ(parent.colourQuestions, 2);
}

TEST(Controls, ADestroyedControlWindowIsForgotten) {
  Parent parent;
  ui::Label label;
  label.Create(parent.hwnd(), 7, L"x");
  HWND window = label.hwnd();
  ASSERT_EQ(ui::Control::FromHandle(window), &label);
  DestroyWindow(window);
  EXPECT_EQ(ui::Control::FromHandle(window), nullptr);
  EXPECT_EQ(label.hwnd(), nullptr);
  // And an object that goes first leaves its window to the parent.
  auto edit = std::make_unique<ui::Edit>();
  edit->Create(parent.hwnd(), 8);
  window = edit->hwnd();
  edit.reset();
  EXPECT_EQ(ui::Control::FromHandle(window), nullptr);
  SetWindowTextW(window, L"text");  // EN_CHANGE now goes to the parent
  EXPECT_EQ(parent.commands, (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
}

TEST(Controls, ASplitterEndsWhereTheButtonWentUp) {
  Parent parent;
  ui::Splitter splitter;
  std::vector<int> positions;
  splitter.onDrag = [&](int position) { positions.push_back(position); };
  splitter.Create(parent.hwnd(), 9, ui::Splitter::Orientation::Vertical);
  SetWindowPos(splitter.hwnd(), nullptr, 100, 0, 4, 150, SWP_NOZORDER | SWP_NOACTIVATE);
  const auto send = [&](UINT message, int x) { SendMessageW(splitter.hwnd(), message, 0, MAKELPARAM(x, 10)); };
  // Grabbed 2 pixels into the bar, moved 40 to the left, and let go 60
  // further left without a move in between (the system merges moves).
  send(WM_LBUTTONDOWN, 2);
  send(WM_MOUSEMOVE, -38);
  send(WM_LBUTTONUP, static_cast<WORD>(-98));
  EXPECT_EQ(positions, (std::vector<int>{60, 0}));
  // Once let go, the bar no longer follows the mouse.
  send(WM_MOUSEMOVE, 30);
  EXPECT_EQ(positions.size(), 2u);
}

// A window that closes itself on WM_APP, from inside its own handler.
class SelfClosing : public ui::Window {
 public:
  explicit SelfClosing(std::vector<std::string>& log) : log_(log) {
    Register(L"VelmarUiTestSelfClosing", nullptr, nullptr, nullptr);
    CreateWindowOf(L"VelmarUiTestSelfClosing", L"", WS_POPUP, 0, 0, 0, 10, 10, nullptr, nullptr);
  }
  ~SelfClosing() override { log_.push_back("deleted"); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP) {
      DestroyWindow(hwnd_);
      log_.push_back(hwnd_ ? "window kept" : "destroyed, object alive");  // the object is still here
      return 1;
    }
    if (message == WM_DESTROY) log_.push_back("WM_DESTROY");
    return Window::HandleMessage(message, wParam, lParam);
  }

 private:
  std::vector<std::string>& log_;
};

TEST(Windows, AWindowOwningItsObjectDeletesItAfterTheLastHandler) {
  std::vector<std::string> log;
  SelfClosing* window = ui::OwnedByItsWindow(std::make_unique<SelfClosing>(log));
  ASSERT_NE(window, nullptr);
  HWND handle = window->hwnd();
  EXPECT_EQ(SendMessageW(handle, WM_APP, 0, 0), 1);
  EXPECT_EQ(log, (std::vector<std::string>{"WM_DESTROY", "destroyed, object alive", "deleted"}));
  EXPECT_FALSE(IsWindow(handle));

  // Destroyed from outside: deleted at once.
  log.clear();
  window = ui::OwnedByItsWindow(std::make_unique<SelfClosing>(log));
  DestroyWindow(window->hwnd());
  EXPECT_EQ(log, (std::vector<std::string>{"WM_DESTROY", "deleted"}));

  // Without a window there is nothing to keep it.
  log.clear();
  auto unborn = std::make_unique<SelfClosing>(log);
  DestroyWindow(unborn->hwnd());
  log.clear();
  EXPECT_EQ(ui::OwnedByItsWindow(std::move(unborn)), nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"deleted"}));
}

TEST(Handles, EveryOwnerFreesItsHandle) {
  HFONT fontHandle;
  {
    const ui::Font font(CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    fontHandle = font.get();
    EXPECT_EQ(GetObjectType(fontHandle), static_cast<DWORD>(OBJ_FONT));
  }
  EXPECT_EQ(GetObjectType(fontHandle), 0u);

  HMENU menuHandle;
  {
    const ui::Menu menu(CreatePopupMenu());
    menuHandle = menu.get();
    EXPECT_TRUE(IsMenu(menuHandle));
  }
  EXPECT_FALSE(IsMenu(menuHandle));

  const std::wstring name = L"velmar-ui-test-" + std::to_wstring(GetCurrentProcessId());
  {
    const ui::GlobalAtom atom = ui::GlobalAtom::Add(name);
    ASSERT_TRUE(atom);
    EXPECT_EQ(GlobalFindAtomW(name.c_str()), atom.get());
  }
  EXPECT_EQ(GlobalFindAtomW(name.c_str()), 0);

  HANDLE eventHandle;
  {
    ui::KernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    eventHandle = event.get();
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(eventHandle, &flags));
    // Moved: one owner, one close.
    ui::KernelHandle other(std::move(event));
    EXPECT_FALSE(event);
    EXPECT_EQ(other.get(), eventHandle);
    ui::KernelHandle invalid(INVALID_HANDLE_VALUE);  // held, never closed
  }
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(eventHandle, &flags));

  // Released: the caller owns the handle again.
  HGLOBAL memory;
  {
    ui::GlobalMemory owned(GlobalAlloc(GMEM_MOVEABLE, 16));
    memory = owned.Release();
    EXPECT_FALSE(owned);
  }
  EXPECT_EQ(GlobalFree(memory), nullptr);  // still ours to free

  Parent window;
  {
    const ui::Clipboard clipboard(window.hwnd());
    ASSERT_TRUE(clipboard.IsOpen());
    EXPECT_EQ(GetOpenClipboardWindow(), window.hwnd());
  }
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
}

}  // namespace
