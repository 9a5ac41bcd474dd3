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

  // "api_velmar_register:": the window class replies go to; an empty class
  // name ends the registration.
  void Register(std::string clientClass);
  // A table reload forgets the registration (the class stays for the answers
  // to "api_velmar_getmodules").
  void ForgetRegistration() { registered_ = false; }
  bool Registered() const { return registered_; }

  // A reply to the client's window class (Windows-1251, sent with its NUL).
  // Our own window is no client: a result would come back as a command.
  void Send(std::string_view text) const;
  // The result of a run and the closing notice, to a registered client only.
  void SendResult(std::string_view result) const;
  void SendClosed() const;

  // The error box of a bad command. Its own message loop receives further
  // commands: a flood of bad ones would stack a box on a box, so one shows
  // at a time and errors meanwhile are dropped.
  void ShowError(const std::wstring& message);

 private:
  HWND window_;
  std::string clientClass_;
  bool registered_ = false;
  bool errorShown_ = false;
};

}  // namespace velmar
