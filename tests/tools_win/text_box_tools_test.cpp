#include "text_box_tools.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "window_test_util.h"

namespace velmar {
namespace {

using test::Cp1251;
using test::TextOf;
using test::W;

// A multi-line box without wrapping, like the program's two text boxes.
class TextBox {
 public:
  TextBox() {
    hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL, 0, 0, 300, 200,
                            owner_.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  HWND hwnd() const { return hwnd_; }
  HWND owner() const { return owner_.hwnd(); }
  void Set(std::string_view utf8, int selStart = 0, int selEnd = 0) {
    SetWindowTextW(hwnd_, W(utf8).c_str());
    SendMessageW(hwnd_, EM_SETSEL, selStart, selEnd);
  }

 private:
  test::OwnerWindow owner_;
  HWND hwnd_ = nullptr;
};

TEST(StatisticsLinesOf, SelectionOrAllLines) {
  struct Case {
    const char* text;
    int selStart, selEnd;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"abc\r\ndef", 0, 0, {"abc", "def"}},
      {"abc\r\n\r\ndef\r\n", 0, 0, {"abc", "", "def"}},  // no empty line after the last break
      {"abc\r\ndef", 1, 3, {"bc"}},
      {"abc\r\ndef", 1, 7, {"bc", "de"}},
      {"abc\r\ndef", 7, 1, {"bc", "de"}},
      {"abc\r\ndef", 1, 5, {"bc"}},  // a break at the end of the selection adds no line
      {"Привет, мир", 8, 11, {Cp1251("мир")}},
      // A character outside the code page is one stand-in byte, never a look-alike letter.
      {"ā😀b", 0, 0, {"\x98\x98" "b"}},
  };
  TextBox box;
  for (const Case& c : cases) {
    box.Set(c.text, c.selStart, c.selEnd);
    const std::optional<std::vector<std::string>> lines = StatisticsLinesOf(box.hwnd());
    ASSERT_TRUE(lines) << c.text;
    EXPECT_EQ(*lines, c.lines) << c.text << " " << c.selStart << ".." << c.selEnd;
  }
  box.Set("");
  EXPECT_FALSE(StatisticsLinesOf(box.hwnd()));
}

TEST(ReplaceSelectionWithAmount, ReplacesTheSelectionWithoutUndo) {
  TextBox box;
  box.Set("Итого: 1 250,75 руб., всё", 7, 20);
  EXPECT_TRUE(ReplaceSelectionWithAmount(box.owner(), box.hwnd(), Currency::kRubles));
  EXPECT_EQ(TextOf(box.hwnd()), W("Итого: одна тысяча двести пятьдесят рублей 75 копеек, всё"));
  EXPECT_FALSE(SendMessageW(box.hwnd(), EM_CANUNDO, 0, 0));

  box.Set("2 шт.", 0, 5);
  EXPECT_TRUE(ReplaceSelectionWithAmount(box.owner(), box.hwnd(), Currency::kHryvnias));
  EXPECT_EQ(TextOf(box.hwnd()), W("две гривны 00 копеек"));
}

TEST(ReplaceSelectionWithAmount, NothingWithoutSelectionOrDigits) {
  TextBox box;
  box.Set("без цифр 12", 0, 8);
  EXPECT_FALSE(ReplaceSelectionWithAmount(box.owner(), box.hwnd(), Currency::kRubles));
  box.Set("без цифр 12", 9, 9);
  EXPECT_FALSE(ReplaceSelectionWithAmount(box.owner(), box.hwnd(), Currency::kRubles));
  EXPECT_EQ(TextOf(box.hwnd()), W("без цифр 12"));
}

TEST(ReplaceSelectionWithAmount, TooManyDigitsShowTheMessageAndChangeNothing) {
  TextBox box;
  const std::string digits21(21, '7');
  box.Set(digits21, 0, 21);
  std::wstring message;
  test::TickWhilePumping tick([&] {
    HWND dialog = test::FindOwnWindow(L"#32770", L"VelmarPro");
    if (!dialog) return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t cls[16] = {};
      GetClassNameW(child, cls, 16);
      if (lstrcmpiW(cls, L"STATIC") == 0 && GetWindowTextLengthW(child) > 0) message = TextOf(child);
    }
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_FALSE(ReplaceSelectionWithAmount(box.owner(), box.hwnd(), Currency::kRubles));
  EXPECT_EQ(message, W("Слишком длинное число (макс. длина 20 символов)."));
  EXPECT_EQ(TextOf(box.hwnd()), W(digits21));

  box.Set("00000000000000000042", 0, 20);
  EXPECT_TRUE(ReplaceSelectionWithAmount(box.owner(), box.hwnd(), Currency::kRubles));
  EXPECT_EQ(TextOf(box.hwnd()), W("сорок два рубля 00 копеек"));
}

TEST(UserDecimalSeparator, IsOneOfTheUsualOnes) {
  const std::string separator = UserDecimalSeparator();
  EXPECT_TRUE(separator == "." || separator == ",") << separator;
}

}  // namespace
}  // namespace velmar
