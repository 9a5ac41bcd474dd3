#include "protocol_server.h"

#include "text.h"
#include "window.h"

namespace velmar {

std::optional<protocol::Command> ProtocolServer::Receive(LPARAM copyData) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(copyData);
  if (!data || !data->lpData || data->cbData == 0) return std::nullopt;
  return protocol::ParseCommand(protocol::MessageText(data->lpData, data->cbData));
}

void ProtocolServer::Register(std::string_view clientClass, protocol::ClientEncoding encoding) {
  clientClass_ = ui::Widen(protocol::ArgumentToUtf8(clientClass, encoding));
  registered_ = !clientClass_.empty();
  encoding_ = encoding;
}

std::wstring ProtocolServer::TextOf(std::string_view argument) const {
  return ui::Widen(protocol::ArgumentToUtf8(argument, encoding_));
}

void ProtocolServer::Send(std::string_view text) const {
  if (clientClass_.empty()) return;
  HWND client = FindWindowW(clientClass_.c_str(), nullptr);
  if (!client || client == window_) return;
  std::string message(text);
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = static_cast<DWORD>(message.size() + 1);
  data.lpData = message.data();
  DWORD_PTR result = 0;
  SendMessageTimeoutW(client, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                      SMTO_NORMAL | SMTO_ABORTIFHUNG, kClientTimeoutMs, &result);
}

void ProtocolServer::SendResult(std::wstring_view result) const {
  if (registered_) Send(protocol::ResultMessage(ui::Narrow(result), encoding_));
}

void ProtocolServer::SendClosed() const {
  if (registered_) Send(protocol::kClosed);
}

void ProtocolServer::ShowError(const std::wstring& message) {
  if (errorShown_) return;
  errorShown_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{errorShown_};
  ui::ShowError(window_, message);
}

}  // namespace velmar
