#include <gtest/gtest.h>

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

TEST(CommandProtocol, MessagesStayWindows1251WithQuestionMarksForTheRest) {
  TTableStore store;
  TTransTable serbian;
  serbian.Encoding = TableEncoding::Utf8;
  serbian.From = "Српски";
  serbian.To = "Srpski";
  serbian.Description = "Ćirilica";
  store.Store.push_back(serbian);
  EXPECT_EQ(ModuleListMessage(store), "api_velmar_modulelist:" + W("Српски - Srpski [?irilica]\r\n"));
  // The stand-in byte of a character Windows-1251 has not.
  EXPECT_EQ(ResultMessage("a\x98" "b"), "api_velmar_result:a?b");
}

}  // namespace
}  // namespace velmar::protocol
