#include "command_protocol.h"

#include <algorithm>
#include <cstring>

#include "cp1251.h"
#include "unicode_table.h"

namespace velmar::protocol {

std::string_view MessageText(const void* data, std::size_t size) {
  if (data == nullptr || size == 0) return {};
  const char* bytes = static_cast<const char*>(data);
  const void* nul = std::memchr(bytes, '\0', size);
  return std::string_view(bytes, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) : size);
}

Command ParseCommand(std::string_view text) {
  struct Word {
    std::string_view word;
    CommandKind kind;
    bool takesArgument;
  };
  static constexpr Word kWords[] = {
      {kShow, CommandKind::Show, false},
      {kGo, CommandKind::Go, true},
      {kGetModules, CommandKind::GetModules, false},
      {kSetActiveModule, CommandKind::SetActiveModule, true},
      {kRegister, CommandKind::Register, true},
  };
  for (const Word& w : kWords) {
    if (text.find(w.word) == std::string_view::npos) continue;
    Command c;
    c.kind = w.kind;
    if (w.takesArgument) c.argument = std::string(text.substr(std::min(w.word.size(), text.size())));
    return c;
  }
  return {};
}

std::string ModuleListMessage(const TTableStore& store) {
  std::string text(kModuleList);
  for (const TTransTable& t : store.Store) {
    // The messages are Windows-1251: a Unicode table's names lose what it cannot hold.
    text += TableTextToCp1251(t, TableCaption(t));
    text += " [";
    text += TableTextToCp1251(t, t.Description);
    text += "]\r\n";
  }
  return text;
}

std::string ActiveModuleMessage(std::int32_t selected) {
  return std::string(kActiveModule) + std::to_string(selected);
}

std::string ResultMessage(std::string_view text) {
  // A character Windows-1251 has not (kept as the stand-in byte) goes as "?".
  std::string message = std::string(kResult) + std::string(text);
  std::replace(message.begin() + static_cast<std::ptrdiff_t>(kResult.size()), message.end(),
               static_cast<char>(kCp1251Undefined), '?');
  return message;
}

}  // namespace velmar::protocol
