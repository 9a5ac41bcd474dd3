// The program in the notification area, in process on a hidden window under
// Wine: the icon while it is there, added again when the taskbar comes back,
// the menu with its items and check mark, and the autostart value.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control_ids.h"
#include "on_the_fly.h"
#include "tray.h"

namespace velmar {
namespace {

constexpr UINT kIconId = 1;  // the program's one icon

class HiddenWindow {
 public:
  HiddenWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelmarTrayTestWindow";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"VelmarPro tray test", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                            nullptr, wc.hInstance, nullptr);
  }
  ~HiddenWindow() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// Whether the shell holds the window's icon: only an icon it holds can be changed.
bool ShellHolds(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = kIconId;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void ShellDrops(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = kIconId;
  Shell_NotifyIconW(NIM_DELETE, &data);
}

TEST(TrayArea, IconThereUntilRemovedAndBackWithTheTaskbar) {
  HiddenWindow window;
  {
    TrayArea tray;
    tray.Create(window.hwnd());
    ASSERT_TRUE(tray.HasIcon()) << "the shell refused the icon";
    EXPECT_TRUE(ShellHolds(window.hwnd()));
    tray.Create(window.hwnd());  // a table reload: the icon stays as it is
    EXPECT_TRUE(ShellHolds(window.hwnd()));

    // Explorer restarted: its new taskbar has no icons until asked.
    ShellDrops(window.hwnd());
    EXPECT_FALSE(ShellHolds(window.hwnd()));
    EXPECT_FALSE(tray.ReaddOnTaskbarCreated(WM_USER + 5));
    EXPECT_FALSE(ShellHolds(window.hwnd()));
    EXPECT_TRUE(tray.ReaddOnTaskbarCreated(RegisterWindowMessageW(L"TaskbarCreated")));
    EXPECT_TRUE(ShellHolds(window.hwnd()));

    tray.Remove();
    EXPECT_FALSE(tray.HasIcon());
    EXPECT_FALSE(ShellHolds(window.hwnd()));
    tray.Create(window.hwnd());
    EXPECT_TRUE(ShellHolds(window.hwnd()));
  }
  EXPECT_FALSE(ShellHolds(window.hwnd())) << "the icon goes with its owner";
}

struct Item {
  ControlId id;  // ControlId{} for a separator or the submenu
  std::wstring caption;
};

std::vector<Item> ItemsOf(HMENU menu) {
  std::vector<Item> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t caption[128] = L"";
    GetMenuStringW(menu, static_cast<UINT>(i), caption, 128, MF_BYPOSITION);
    const UINT id = GetMenuItemID(menu, i);
    items.push_back({id == static_cast<UINT>(-1) ? ControlId{} : static_cast<ControlId>(id), caption});
  }
  return items;
}

bool operator==(const Item& a, const Item& b) { return a.id == b.id && a.caption == b.caption; }

TEST(TrayArea, MenuItemsInTheirOrder) {
  HiddenWindow window;
  TrayArea tray;
  EXPECT_EQ(tray.Menu(), nullptr);
  tray.Create(window.hwnd());
  HMENU menu = tray.Menu();
  ASSERT_NE(menu, nullptr);
  const std::vector<Item> expected{{ControlId::T1, L"VelmarPro"},
                                   {ControlId{}, L""},
                                   {ControlId::N19, L"Транслит буфера обмена..."},
                                   {ControlId{}, L""},
                                   {ControlId{}, L"Параметры"},
                                   {ControlId{}, L""},
                                   {ControlId::N26, L"Справка"},
                                   {ControlId::N27, L"О программе..."},
                                   {ControlId{}, L""},
                                   {ControlId::N29, L"Выход"}};
  EXPECT_TRUE(ItemsOf(menu) == expected);
  EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), static_cast<UINT>(ControlId::T1));

  HMENU options = GetSubMenu(menu, 4);
  ASSERT_NE(options, nullptr);
  const std::vector<Item> expectedOptions{{ControlId::N24, L"Запускать вместе с Windows"},
                                          {ControlId{}, L""},
                                          {ControlId::N31, L"Горячие клавиши: Транслит на лету\tCtrl+Alt+Q"},
                                          {ControlId::N32, L"Горячие клавиши: Транслит\tCtrl+Alt+T"}};
  EXPECT_TRUE(ItemsOf(options) == expectedOptions);
  tray.Create(window.hwnd());
  EXPECT_EQ(tray.Menu(), menu) << "built once";
}

// Shows the menu and closes it again at once, as a click elsewhere would.
void ShowAndClose(TrayArea& tray, HWND window) {
  SetTimer(window, 1, 10, [](HWND owner, UINT, UINT_PTR id, DWORD) {
    KillTimer(owner, id);
    EndMenu();
  });
  tray.ShowMenu(window);
}

TEST(TrayArea, MenuShowsTheAutostartCheckMark) {
  HiddenWindow window;
  TrayArea tray;
  tray.Create(window.hwnd());
  const auto checked = [&] {
    return (GetMenuState(tray.Menu(), static_cast<UINT>(ControlId::N24), MF_BYCOMMAND) & MF_CHECKED) != 0;
  };
  tray.autostartChecked = true;
  ShowAndClose(tray, window.hwnd());
  EXPECT_TRUE(checked());
  tray.autostartChecked = false;
  ShowAndClose(tray, window.hwnd());
  EXPECT_FALSE(checked());
}

// A Run key of the test's own, gone before and after.
class TestRunKey {
 public:
  static constexpr const wchar_t* kParent = L"Software\\VelmarProTrayTest";
  static constexpr const wchar_t* kPath = L"Software\\VelmarProTrayTest\\Run";
  TestRunKey() { RegDeleteTreeW(HKEY_CURRENT_USER, kParent); }
  ~TestRunKey() { RegDeleteTreeW(HKEY_CURRENT_USER, kParent); }
  TestRunKey(const TestRunKey&) = delete;
  TestRunKey& operator=(const TestRunKey&) = delete;

  bool Exists() const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  std::wstring Value() const {
    wchar_t data[1024] = L"";
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kPath, kAutostartValueName, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS)
      return L"<none>";
    return type == REG_SZ ? data : L"<not a string>";
  }
};

TEST(Autostart, ValueWrittenAndRemoved) {
  const TestRunKey run;
  // Switching off what was never on creates nothing.
  SetAutostart(false, TestRunKey::kPath);
  EXPECT_FALSE(run.Exists());
  EXPECT_FALSE(AutostartRegistered(TestRunKey::kPath));

  SetAutostart(true, TestRunKey::kPath);
  EXPECT_TRUE(AutostartRegistered(TestRunKey::kPath));
  wchar_t exe[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  EXPECT_EQ(run.Value(), AutostartCommand(exe));
  EXPECT_NE(run.Value().find(L"-autorun"), std::wstring::npos);
  SetAutostart(true, TestRunKey::kPath);  // again: still the one value
  EXPECT_EQ(run.Value(), AutostartCommand(exe));

  SetAutostart(false, TestRunKey::kPath);
  EXPECT_FALSE(AutostartRegistered(TestRunKey::kPath));
  EXPECT_EQ(run.Value(), L"<none>");
  EXPECT_TRUE(run.Exists()) << "the key itself stays, as other programs' values live there";

  // The program's value counts whatever it holds.
  const DWORD number = 1;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, TestRunKey::kPath, kAutostartValueName, REG_DWORD, &number, sizeof number),
            ERROR_SUCCESS);
  EXPECT_TRUE(AutostartRegistered(TestRunKey::kPath));
}

}  // namespace
}  // namespace velmar
