#pragma once
// The messages other programs exchange with the running program: one
// WM_COPYDATA per message, each one 8-bit text whose first characters name
// the command. Parsing and building the texts lives here, free of any window.
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

inline constexpr std::string_view kModuleList = "api_velmar_modulelist:";
inline constexpr std::string_view kActiveModule = "api_velmar_activemodule:";
inline constexpr std::string_view kResult = "api_velmar_result:";
inline constexpr std::string_view kClosed = "api_velmar_closed";

enum class CommandKind { None, Show, Go, GetModules, SetActiveModule, Register };

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

// Answers to "api_velmar_getmodules".
std::string ModuleListMessage(const TTableStore& store);
std::string ActiveModuleMessage(std::int32_t selected);

// The run's result for a registered client.
std::string ResultMessage(std::string_view text);

}  // namespace velmar::protocol
