// The main window's commands of the protocol: other programs send it
// WM_COPYDATA texts, read and answered through the protocol server
// (protocol_server.h); here each command does its part in the window.
#include "uMain.h"

#include <string>

#include "command_protocol.h"
#include "protocol_rules.h"
#include "text.h"

namespace velmar {

void TVelmarPro_Api::ReceiveMessage(const protocol::Command& command) {
  switch (command.kind) {
    case protocol::CommandKind::Show:
      BringForward();
      break;
    case protocol::CommandKind::Go: {
      const std::wstring text = protocol_.TextOf(command.argument);
      const bool changed = text != ui::GetText(Control(ControlId::Memo1));
      if (!SetBoxText(ControlId::Memo1, text)) {
        protocol_.ShowError(L"Text exceeds memo capacity");
        break;
      }
      if (changed) Memo1Change();
      // The run starts now, and only once: the timer the change armed is switched off.
      tmr_AutoVelmarTimer();
      break;
    }
    case protocol::CommandKind::GetModules: {
      protocol_.Send(protocol::ModuleListMessage(store_, protocol_.Encoding()));
      const auto selected = SendMessageW(Control(ControlId::ListBox1), LB_GETCURSEL, 0, 0);
      protocol_.Send(protocol::ActiveModuleMessage(static_cast<std::int32_t>(selected)));
      break;
    }
    case protocol::CommandKind::SetActiveModule: {
      const auto index = ParseTableIndex(command.argument);
      if (!index) {
        protocol_.ShowError(protocol_.TextOf(NotAnIntegerMessage(command.argument)));
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
      protocol_.Register(command.argument, protocol::ClientEncoding::Cp1251);
      break;
    case protocol::CommandKind::RegisterUtf8:
      protocol_.Register(command.argument, protocol::ClientEncoding::Utf8);
      break;
    case protocol::CommandKind::None:
      break;
  }
}

void TVelmarPro_Api::SendResultToClient() {
  if (protocol_.Registered()) protocol_.SendResult(ui::GetText(Control(ControlId::Memo2)));
}

}  // namespace velmar
