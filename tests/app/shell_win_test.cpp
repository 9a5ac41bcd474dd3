// The main window's helpers that own state of their own, in process on hidden
// windows under Wine: the global hotkeys and the protocol server.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hotkeys.h"
#include "protocol_server.h"
#include "utf8.h"

namespace velmar {
namespace {

// A hidden top-level window of a class of its own that keeps the texts of
// the WM_COPYDATA messages it receives.
class TestWindow {
 public:
  explicit TestWindow(const wchar_t* className) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, className, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TestWindow() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }
  std::vector<std::string> received;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_COPYDATA) {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      self->received.emplace_back(static_cast<const char*>(data->lpData), data->cbData);
      return TRUE;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  HWND hwnd_;
};

// Whether another window holds Ctrl+Alt+key.
bool Held(UINT key) {
  if (!RegisterHotKey(nullptr, 0x7001, MOD_CONTROL | MOD_ALT, key)) return true;
  UnregisterHotKey(nullptr, 0x7001);
  return false;
}

TEST(GlobalHotkeys, RegisteredUntilUnregisteredOrDestroyed) {
  TestWindow window(L"VelmarHotkeyTestWindow");
  {
    GlobalHotkeys hotkeys;
    hotkeys.Register(window.hwnd());
    hotkeys.Register(window.hwnd());  // a table reload: still one registration
    EXPECT_TRUE(Held('Q'));
    EXPECT_TRUE(Held('T'));
    hotkeys.Unregister();
    EXPECT_FALSE(Held('Q'));
    EXPECT_FALSE(Held('T'));
    EXPECT_EQ(GlobalFindAtomA(kMainHotkeyAtom), 0);
    // Again after a close that failed.
    hotkeys.Register(window.hwnd());
    EXPECT_TRUE(Held('Q'));
  }
  EXPECT_FALSE(Held('Q'));
  EXPECT_FALSE(Held('T'));
  EXPECT_EQ(GlobalFindAtomA(kQuickHotkeyAtom), 0);
}

TEST(GlobalHotkeys, WhichHotkeyAndWhenNone) {
  TestWindow window(L"VelmarHotkeyTestWindow");
  GlobalHotkeys hotkeys;
  hotkeys.Register(window.hwnd());
  const WPARAM mainId = GlobalFindAtomA(kMainHotkeyAtom);
  const WPARAM quickId = GlobalFindAtomA(kQuickHotkeyAtom);
  ASSERT_NE(mainId, 0u);
  EXPECT_EQ(hotkeys.ToHandle(mainId, false, false), Hotkey::Main);
  EXPECT_EQ(hotkeys.ToHandle(quickId, false, false), Hotkey::Quick);
  EXPECT_EQ(hotkeys.ToHandle(mainId + quickId, false, false), std::nullopt);
  EXPECT_EQ(hotkeys.ToHandle(quickId, true, false), std::nullopt);
  EXPECT_EQ(hotkeys.ToHandle(quickId, false, true), std::nullopt);
  {
    const auto handling = hotkeys.Handle();
    EXPECT_EQ(hotkeys.ToHandle(mainId, false, false), std::nullopt) << "one hotkey at a time";
  }
  EXPECT_EQ(hotkeys.ToHandle(mainId, false, false), Hotkey::Main);
}

TEST(ProtocolServer, MessagesWithoutDataCarryNoCommand) {
  const char text[] = "show_velpro_window";
  COPYDATASTRUCT data{0, sizeof text, const_cast<char*>(text)};
  const auto command = ProtocolServer::Receive(reinterpret_cast<LPARAM>(&data));
  ASSERT_TRUE(command);
  EXPECT_EQ(command->kind, protocol::CommandKind::Show);

  EXPECT_FALSE(ProtocolServer::Receive(0));
  COPYDATASTRUCT noPointer{0, 64, nullptr};
  EXPECT_FALSE(ProtocolServer::Receive(reinterpret_cast<LPARAM>(&noPointer)));
  COPYDATASTRUCT noBytes{0, 0, const_cast<char*>(text)};
  EXPECT_FALSE(ProtocolServer::Receive(reinterpret_cast<LPARAM>(&noBytes)));
}

TEST(ProtocolServer, RepliesGoToTheRegisteredClassOnly) {
  TestWindow program(L"VelmarServerTestProgram");
  TestWindow client(L"VelmarServerTestClient");
  ProtocolServer server(program.hwnd());
  server.Send("nobody");
  server.SendResult(L"nobody");
  EXPECT_TRUE(client.received.empty());

  server.Register("VelmarServerTestClient");
  EXPECT_TRUE(server.Registered());
  server.Send("api_velmar_activemodule:0");
  server.SendResult(L"Schuka\r\n");
  server.SendClosed();
  EXPECT_EQ(client.received, (std::vector<std::string>{std::string("api_velmar_activemodule:0\0", 26),
                                                       std::string("api_velmar_result:Schuka\r\n\0", 27),
                                                       std::string("api_velmar_closed\0", 18)}));

  // A table reload forgets the registration: answers still go, results do not.
  client.received.clear();
  server.ForgetRegistration();
  server.SendResult(L"x");
  server.SendClosed();
  server.Send("answer");
  EXPECT_EQ(client.received, (std::vector<std::string>{std::string("answer\0", 7)}));

  // An empty class ends the registration; the program's own class is no client.
  client.received.clear();
  server.Register("");
  server.Send("answer");
  server.Register("VelmarServerTestProgram");
  server.Send("answer");
  EXPECT_TRUE(client.received.empty());
  EXPECT_TRUE(program.received.empty());
}

TEST(ProtocolServer, EachClientInItsOwnEncoding) {
  TestWindow program(L"VelmarServerTestProgram");
  TestWindow client(L"VelmarКлиент");
  ProtocolServer server(program.hwnd());

  // A UTF-8 client: its class name, the texts it sends and the results it gets.
  server.Register("VelmarКлиент", protocol::ClientEncoding::Utf8);
  EXPECT_EQ(server.Encoding(), protocol::ClientEncoding::Utf8);
  server.SendResult(L"Đorđe Ђ \U0001F600\r\n");
  EXPECT_EQ(client.received, (std::vector<std::string>{std::string("api_velmar_result:Đorđe Ђ 😀\r\n") + '\0'}));
  EXPECT_EQ(server.TextOf("Ђорђе"), L"Ђорђе");
  // An 8-bit program's text meanwhile is no UTF-8 and is read as Windows-1251.
  EXPECT_EQ(server.TextOf(Cp1251FromUtf8Literal("Привет")), L"Привет");

  // An 8-bit client: Windows-1251 both ways, "?" for what it cannot carry.
  client.received.clear();
  server.Register(Cp1251FromUtf8Literal("VelmarКлиент"));
  EXPECT_EQ(server.Encoding(), protocol::ClientEncoding::Cp1251);
  server.SendResult(L"Đorđe Ђ \U0001F600");
  EXPECT_EQ(client.received,
            (std::vector<std::string>{"api_velmar_result:" + Cp1251FromUtf8Literal("?or?e Ђ ?") + '\0'}));
  EXPECT_EQ(server.TextOf(Cp1251FromUtf8Literal("Привет")), L"Привет");
}

}  // namespace
}  // namespace velmar
