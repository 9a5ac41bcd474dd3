// The main window's side of the command protocol: other programs send it
// WM_COPYDATA texts; the answers, the results of runs and the closing notice
// go back the same way to the window class a client has registered.
#include "uMain.h"

#include <string>

#include "command_protocol.h"
#include "protocol_rules.h"
#include "text.h"

namespace velmar {
namespace {

// A client that does not answer within this time is not waited for longer:
// the program's window must not hang with it.
constexpr UINT kClientTimeoutMs = 5000;

}  // namespace

void TVelmarPro_Api::ReceiveMessage(const COPYDATASTRUCT& data) {
  // The text is read within the bytes the message carries, whatever else the sender claims.
  const protocol::Command command = protocol::ParseCommand(protocol::MessageText(data.lpData, data.cbData));
  switch (command.kind) {
    case protocol::CommandKind::Show:
      BringForward();
      break;
    case protocol::CommandKind::Go: {
      const std::wstring text = ui::FromCp1251(command.argument);
      const bool changed = text != ui::GetText(Control(ControlId::Memo1));
      if (!SetBoxText(ControlId::Memo1, text)) {
        ShowProtocolError(L"Text exceeds memo capacity");
        break;
      }
      if (changed) Memo1Change();
      // The run starts now, and only once: the timer the change armed is switched off.
      tmr_AutoVelmarTimer();
      break;
    }
    case protocol::CommandKind::GetModules: {
      SendToClient(protocol::ModuleListMessage(store_));
      const auto selected = SendMessageW(Control(ControlId::ListBox1), LB_GETCURSEL, 0, 0);
      SendToClient(protocol::ActiveModuleMessage(static_cast<std::int32_t>(selected)));
      break;
    }
    case protocol::CommandKind::SetActiveModule: {
      const auto index = ParseTableIndex(command.argument);
      if (!index) {
        ShowProtocolError(ui::FromCp1251(NotAnIntegerMessage(command.argument)));
        break;
      }
      // An index outside the list selects nothing and changes nothing. No run
      // starts; the information line shows the table the next run will use.
      if (*index < 0 || *index >= store_.StoreCount()) break;
      SendMessageW(Control(ControlId::ListBox1), LB_SETCURSEL, static_cast<WPARAM>(*index), 0);
      ShowSelectedTable();
      break;
    }
    case protocol::CommandKind::Register:
      // An empty class name ends the registration.
      clientClass_ = command.argument;
      clientRegistered_ = !clientClass_.empty();
      break;
    case protocol::CommandKind::None:
      break;
  }
}

// The message box's own loop receives further commands: a flood of bad ones
// would stack a box on a box. One shows at a time; errors meanwhile are dropped.
void TVelmarPro_Api::ShowProtocolError(const std::wstring& message) {
  if (protocolErrorShown_) return;
  protocolErrorShown_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{protocolErrorShown_};
  ui::ShowError(hwnd_, message);
}

void TVelmarPro_Api::SendToClient(std::string_view text) {
  if (clientClass_.empty()) return;
  HWND client = FindWindowW(ui::FromCp1251(clientClass_).c_str(), nullptr);
  // Our own window is no client: a result would come back as a command.
  if (!client || client == hwnd_) return;
  std::string message(text);
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = static_cast<DWORD>(message.size() + 1);
  data.lpData = message.data();
  DWORD_PTR result = 0;
  SendMessageTimeoutW(client, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                      kClientTimeoutMs, &result);
}

void TVelmarPro_Api::SendResultToClient() {
  if (!clientRegistered_) return;
  SendToClient(protocol::ResultMessage(ui::ToCp1251(ui::GetText(Control(ControlId::Memo2)))));
}

void TVelmarPro_Api::SendClosedToClient() {
  if (clientRegistered_) SendToClient(protocol::kClosed);
}

}  // namespace velmar
