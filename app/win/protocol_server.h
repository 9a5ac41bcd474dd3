#pragma once
// The main window's side of the command protocol towards its one client:
// reading a WM_COPYDATA, the client's registration, the replies (a client
// that hangs is waited for a few seconds at most), and the error box of a
// bad command, one at a time.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "command_protocol.h"

namespace velmar {

class ProtocolServer {
 public:
  // A client that does not answer within this time is not waited for longer:
  // the program's window must not hang with it.
  static constexpr UINT kClientTimeoutMs = 5000;

  explicit ProtocolServer(HWND window = nullptr) : window_(window) {}
  void SetWindow(HWND window) { window_ = window; }

  // The command a WM_COPYDATA's lParam carries, read within the bytes the
  // message holds; nothing for a message without data.
  static std::optional<protocol::Command> Receive(LPARAM copyData);

  // "api_velmar_register:" and "api_velmar_register_utf8:": the window class
  // replies go to and the encoding of the client's texts, both ways; an
  // empty class name ends the registration.
  void Register(std::string_view clientClass, protocol::ClientEncoding encoding = protocol::ClientEncoding::Cp1251);
  // A table reload forgets the registration (the class stays for the answers
  // to "api_velmar_getmodules").
  void ForgetRegistration() { registered_ = false; }
  // A reload that must not end the client's registration puts it back.
  void RestoreRegistration(bool registered) { registered_ = registered; }
  bool Registered() const { return registered_; }
  protocol::ClientEncoding Encoding() const { return encoding_; }

  // A text of a command (the text to convert, say) in the client's encoding.
  std::wstring TextOf(std::string_view argument) const;

  // A reply to the client's window class, in its encoding and with its NUL.
  // Our own window is no client: a result would come back as a command.
  void Send(std::string_view text) const;
  // The result of a run and the closing notice, to a registered client only.
  void SendResult(std::wstring_view result) const;
  void SendClosed() const;

  // The error box of a bad command. Its own message loop receives further
  // commands: a flood of bad ones would stack a box on a box, so one shows
  // at a time and errors meanwhile are dropped.
  void ShowError(const std::wstring& message);

 private:
  HWND window_;
  std::wstring clientClass_;
  bool registered_ = false;
  protocol::ClientEncoding encoding_ = protocol::ClientEncoding::Cp1251;
  bool errorShown_ = false;
};

}  // namespace velmar
