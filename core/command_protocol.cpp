#include "command_protocol.h"

#include <cstring>

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
    text += TableCaption(t);
    text += " [";
    text += t.Description;
    text += "]\r\n";
  }
  return text;
}

std::string ActiveModuleMessage(std::int32_t selected) {
  return std::string(kActiveModule) + std::to_string(selected);
}

std::string ResultMessage(std::string_view text) { return std::string(kResult) + std::string(text); }

}  // namespace velmar::protocol
