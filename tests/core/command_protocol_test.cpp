#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "command_protocol.h"
#include "test_util.h"

namespace velmar::protocol {
namespace {
using test::W;

TEST(CommandProtocol, CommandsInTheirOrderAndTheirArguments) {
  struct Case { std::string text; CommandKind kind; std::string argument; };
  const Case cases[] = {
      {"show_velpro_window", CommandKind::Show, ""},
      {"api_velmar_go:" + W("Привет мир"), CommandKind::Go, W("Привет мир")},
      {"api_velmar_go:show_velpro_window", CommandKind::Show, ""},   // the show word is tested first
      {"api_velmar_getmodules", CommandKind::GetModules, ""},
      {"api_velmar_setactivemodule:1", CommandKind::SetActiveModule, "1"},
      {"api_velmar_setactivemodule:api_velmar_getmodules", CommandKind::GetModules, ""},
      {"x api_velmar_go:abc", CommandKind::Go, "o:abc"},  // the argument is cut by the word's length
      {"api_velmar_register:MyClient", CommandKind::Register, "MyClient"},
      {"api_velmar_register:api_velmar_go:x", CommandKind::Go, "ister:api_velmar_go:x"},
      {"api_velmar_register_utf8:MyClient", CommandKind::RegisterUtf8, "MyClient"},
      {"api_velmar_register_utf8:", CommandKind::RegisterUtf8, ""},
      {"hello", CommandKind::None, ""},
      {"API_VELMAR_GETMODULES", CommandKind::None, ""},  // case matters
      {"", CommandKind::None, ""},
  };
  for (const auto& c : cases) {
    Command cmd = ParseCommand(c.text);
    EXPECT_EQ(cmd.kind, c.kind) << c.text;
    EXPECT_EQ(cmd.argument, c.argument) << c.text;
  }
}

TEST(CommandProtocol, MessageTextStopsAtNulAndNeverReadsPastTheSize) {
  const char data[] = {'a', 'b', '\0', 'c'};
  EXPECT_EQ(MessageText(data, 4), "ab");
  const char unterminated[] = {'s', 'h', 'o', 'w'};
  EXPECT_EQ(MessageText(unterminated, 3), "sho");
  EXPECT_EQ(MessageText(nullptr, 10), "");
  EXPECT_EQ(MessageText(data, 0), "");
}

TEST(CommandProtocol, AnswersToGetModules) {
  TTableStore store;
  store.BuildBuiltInTables();
  EXPECT_EQ(ModuleListMessage(store),
            "api_velmar_modulelist:" + W("Русский - Английский [BGN/PCGN (1965)]\r\nАнглийский - Русский [BGN/PCGN (1965)]\r\n"));
  EXPECT_EQ(ModuleListMessage(TTableStore{}), "api_velmar_modulelist:");
  EXPECT_EQ(ActiveModuleMessage(0), "api_velmar_activemodule:0");
  EXPECT_EQ(ActiveModuleMessage(-1), "api_velmar_activemodule:-1");
  EXPECT_EQ(ResultMessage("Schuka\r\n"), "api_velmar_result:Schuka\r\n");
}

// A store with a Unicode table after the built-in ones (or alone).
TTableStore WithSerbianTable(bool builtIns, std::string description) {
  TTableStore store;
  if (builtIns) store.BuildBuiltInTables();
  TTransTable serbian;
  serbian.Encoding = TableEncoding::Utf8;
  serbian.From = "Српски";
  serbian.To = "Srpski";
  serbian.Description = std::move(description);
  store.Store.push_back(serbian);
  return store;
}

TEST(CommandProtocol, MessagesStayWindows1251WithQuestionMarksForTheRest) {
  const TTableStore store = WithSerbianTable(false, "Ćirilica");
  EXPECT_EQ(ModuleListMessage(store), "api_velmar_modulelist:" + W("Српски - Srpski [?irilica]\r\n"));
  EXPECT_EQ(ResultMessage("Đorđe Ђ Щ №"), "api_velmar_result:" + W("?or?e Ђ Щ №"));
  EXPECT_EQ(ResultMessage("Zhuk\r\n"), "api_velmar_result:Zhuk\r\n");
}

TEST(CommandProtocol, AUtf8ClientGetsEveryCharacter) {
  const TTableStore store = WithSerbianTable(true, "Ćirilica 😀");
  // A Windows-1251 table's names are turned into UTF-8, a Unicode table's go as they are.
  EXPECT_EQ(ModuleListMessage(store, ClientEncoding::Utf8),
            "api_velmar_modulelist:Русский - Английский [BGN/PCGN (1965)]\r\n"
            "Английский - Русский [BGN/PCGN (1965)]\r\nСрпски - Srpski [Ćirilica 😀]\r\n");
  EXPECT_EQ(ResultMessage("Đorđe Ђ\r\n", ClientEncoding::Utf8), "api_velmar_result:Đorđe Ђ\r\n");
  EXPECT_EQ(ToClientText("", ClientEncoding::Cp1251), "");
}

TEST(CommandProtocol, ArgumentsAreReadInTheClientsEncoding) {
  struct Case { std::string argument; ClientEncoding encoding; std::string utf8; };
  const Case cases[] = {
      {W("Привет мир"), ClientEncoding::Cp1251, "Привет мир"},
      {"Привет Đorđe", ClientEncoding::Utf8, "Привет Đorđe"},
      // UTF-8 bytes from an 8-bit client are Windows-1251 letters to it.
      {"Đ", ClientEncoding::Cp1251, "Дђ"},
      // No UTF-8: an 8-bit client's text while a UTF-8 client is registered.
      {W("Привет мир"), ClientEncoding::Utf8, "Привет мир"},
      {"abc\xE2\x82", ClientEncoding::Utf8, "abcв‚"},  // cut inside a character
      {"", ClientEncoding::Utf8, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ArgumentToUtf8(c.argument, c.encoding), c.utf8) << c.utf8;
}

}  // namespace
}  // namespace velmar::protocol
