#include "command_protocol.h"

#include <algorithm>
#include <cstring>

#include "cp1251.h"
#include "unicode_table.h"
#include "utf8.h"

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
      {kRegisterUtf8, CommandKind::RegisterUtf8, true},
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

std::string ArgumentToUtf8(std::string_view argument, ClientEncoding encoding) {
  std::u32string ignored;
  if (encoding == ClientEncoding::Utf8 && !DecodeUtf8(argument, ignored)) return std::string(argument);
  return Cp1251ToUtf8(argument);
}

std::string ToClientText(std::string_view utf8, ClientEncoding encoding) {
  if (encoding == ClientEncoding::Utf8) return std::string(utf8);
  // What Windows-1251 has not comes out as its undefined byte: a "?" instead.
  std::string out;
  Utf8ToCp1251(utf8, out, nullptr);
  std::replace(out.begin(), out.end(), static_cast<char>(kCp1251Undefined), '?');
  return out;
}

std::string ModuleListMessage(const TTableStore& store, ClientEncoding encoding) {
  std::string text(kModuleList);
  for (const TTransTable& t : store.Store) {
    // A Unicode table's names lose in Windows-1251 what it cannot hold.
    std::string line = TableTextToUtf8(t, TableCaption(t));
    line += " [";
    line += TableTextToUtf8(t, t.Description);
    line += "]\r\n";
    text += ToClientText(line, encoding);
  }
  return text;
}

std::string ActiveModuleMessage(std::int32_t selected) {
  return std::string(kActiveModule) + std::to_string(selected);
}

std::string ResultMessage(std::string_view utf8, ClientEncoding encoding) {
  return std::string(kResult) + ToClientText(utf8, encoding);
}

}  // namespace velmar::protocol
