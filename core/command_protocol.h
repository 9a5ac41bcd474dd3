#pragma once
// The messages other programs exchange with the running program: one
// WM_COPYDATA per message, each one 8-bit text whose first characters name
// the command. The texts are Windows-1251, or UTF-8 for a client that
// registered for it. Parsing and building the texts lives here, free of any
// window.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tables.h"

namespace velmar::protocol {

inline constexpr std::string_view kShow = "show_velpro_window";
inline constexpr std::string_view kGo = "api_velmar_go:";
inline constexpr std::string_view kGetModules = "api_velmar_getmodules";
inline constexpr std::string_view kSetActiveModule = "api_velmar_setactivemodule:";
// Our addition: a client names the class of its window, to which the answers,
// the results and the closing notice go.
inline constexpr std::string_view kRegister = "api_velmar_register:";
// The same for a client that sends and gets every text in UTF-8.
inline constexpr std::string_view kRegisterUtf8 = "api_velmar_register_utf8:";

inline constexpr std::string_view kModuleList = "api_velmar_modulelist:";
inline constexpr std::string_view kActiveModule = "api_velmar_activemodule:";
inline constexpr std::string_view kResult = "api_velmar_result:";
inline constexpr std::string_view kClosed = "api_velmar_closed";

enum class CommandKind { None, Show, Go, GetModules, SetActiveModule, Register, RegisterUtf8 };

// The encoding of the texts a client sends and gets.
enum class ClientEncoding { Cp1251, Utf8 };

struct Command {
  CommandKind kind = CommandKind::None;
  // The text after the command word's length: the text to convert, the table
  // index or the client's window class name.
  std::string argument;
};

// The text of a message: its bytes up to the first NUL, never past size
// (whatever length the sender claims elsewhere).
std::string_view MessageText(const void* data, std::size_t size);

// The command a text carries. The command words are looked for anywhere in
// the text, in a fixed order, and the first found wins; the argument is the
// text without as many leading characters as the command word has.
Command ParseCommand(std::string_view text);

// A text a client sent (the text to convert, a class name) as UTF-8. A UTF-8
// client's text that is no well-formed UTF-8 is read as Windows-1251: an
// 8-bit program's command that comes meanwhile still arrives whole.
std::string ArgumentToUtf8(std::string_view argument, ClientEncoding encoding);

// A text (UTF-8) in the client's encoding. Windows-1251 cannot carry every
// character: each one it has not becomes "?".
std::string ToClientText(std::string_view utf8, ClientEncoding encoding);

// Answers to "api_velmar_getmodules".
std::string ModuleListMessage(const TTableStore& store, ClientEncoding encoding = ClientEncoding::Cp1251);
std::string ActiveModuleMessage(std::int32_t selected);

// The run's result (UTF-8) for a registered client.
std::string ResultMessage(std::string_view utf8, ClientEncoding encoding = ClientEncoding::Cp1251);

}  // namespace velmar::protocol
