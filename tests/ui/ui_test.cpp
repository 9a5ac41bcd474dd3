// The Win32 pieces that work without a window: text at the window edge and
// pictures decoded by WIC. Windows only (runs under Wine).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "cp1251.h"
#include "image.h"
#include "tables.h"
#include "text.h"
#include "tray_icon.h"
#include "window.h"

namespace {

TEST(WindowText, EveryCharacterOfTheCodePageRoundTrips) {
  std::string all;
  for (int b = 1; b < 256; ++b)
    if (b != 0x98) all += static_cast<char>(b);
  const std::wstring wide = ui::FromCp1251(all);
  ASSERT_EQ(wide.size(), all.size());
  for (std::size_t i = 0; i < all.size(); ++i)
    EXPECT_EQ(static_cast<char32_t>(wide[i]), velmar::Cp1251ToUnicode(static_cast<unsigned char>(all[i])))
        << "byte " << int(static_cast<unsigned char>(all[i]));
  std::vector<std::wstring> standIns;
  EXPECT_EQ(ui::ToCp1251(wide, &standIns), all);
  EXPECT_TRUE(standIns.empty());
  EXPECT_EQ(ui::ToCp1251(L"Щука"), "\xD9\xF3\xEA\xE0");
}

TEST(WindowText, CharactersOutsideTheCodePageBecomeStandInsInOrder) {
  // U+00FC and U+00F1 have look-alikes (u, n) that must not be taken; U+0098
  // itself is no character of the code page either.
  const std::wstring text = L"a\U0001F600b\u4E2D\u00FC\u0098\u00F1";
  std::vector<std::wstring> standIns;
  const std::string bytes = ui::ToCp1251(text, &standIns);
  EXPECT_EQ(bytes, "a\x98" "b\x98\x98\x98\x98");
  ASSERT_EQ(standIns.size(), 5u);
  EXPECT_EQ(standIns[0], L"\U0001F600");  // a surrogate pair stays one stand-in
  EXPECT_EQ(standIns[1], L"\u4E2D");
  EXPECT_EQ(standIns[3], L"\u0098");
  EXPECT_EQ(ui::FromCp1251(bytes, standIns), text);
}

TEST(WindowText, MissingStandInsShowTheReplacementCharacter) {
  const std::vector<std::wstring> one = {L"\u4E2D"};
  EXPECT_EQ(ui::FromCp1251("x\x98y\x98", one), L"x\u4E2Dy\uFFFD");
  EXPECT_EQ(ui::Widen("Транслит"), L"Транслит");
}

TEST(Pictures, FlagStripDecodesWithAlpha) {
  ui::ComApartment com;
  const ui::Image flags = ui::Image::FromResource(L"FLAGS16");
  EXPECT_EQ(flags.Width(), 16 * 261);
  EXPECT_EQ(flags.Height(), 16);
  // Drawn over white: a flag's rows show colour, the transparent margin stays white.
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, target);
  RECT all{0, 0, 16, 16};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  flags.Draw(dc, 0, 0, 16 * velmar::kFlagRussia, 0, 16, 16);
  EXPECT_EQ(GetPixel(dc, 8, 0), RGB(255, 255, 255));  // margin above the 16x11 flag
  const COLORREF middle = GetPixel(dc, 8, 7);          // the blue stripe of the Russian flag
  EXPECT_GT(GetBValue(middle), 150);
  EXPECT_LT(GetRValue(middle), 100);
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
}

TEST(Pictures, MissingResourceIsAnError) {
  ui::ComApartment com;
  EXPECT_THROW(ui::Image::FromResource(L"NO_SUCH_PICTURE"), std::runtime_error);
}

// The shell's fields hold 64 (title), 128 (tip) and 256 (balloon text)
// characters with the NUL, and cut what does not fit wherever it ends.
TEST(TrayText, ATextTooLongForItsFieldEndsAtAWholeWordWithAnEllipsis) {
  const struct {
    std::wstring text;
    std::size_t capacity;
    std::wstring fitted;
  } cases[] = {
      {L"один два три", 13, L"один два три"},  // fits with its NUL
      {L"один два три", 12, L"один два…"},
      {L"один два три", 10, L"один два…"},
      {L"один два три", 9, L"один…"},  // "два" would not be whole
      {L"один, два три", 9, L"один…"},  // no comma before the ellipsis
      {L"Транслитерация", 8, L"Трансл…"},  // one word longer than the field
      {L"ab\U0001F600cd", 5, L"ab…"},  // a pair of surrogates is never halved
      {L"", 1, L""},
  };
  for (const auto& c : cases) EXPECT_EQ(ui::FitToField(c.text, c.capacity), c.fitted) << c.capacity;

  std::wstring words;
  while (words.size() < 400) words += L"Программа выполняет транслит выделенного Вами текста. ";
  ui::TrayIcon icon;  // never added: what it would hand the shell
  icon.ShowBalloon(words.substr(0, 80), words, ui::TrayIcon::BalloonIcon::Info, 1);
  for (const std::wstring_view shown : {icon.BalloonText(), icon.BalloonTitle()}) {
    ASSERT_GT(shown.size(), 1u);
    EXPECT_EQ(shown.back(), L'\u2026');
    const std::wstring_view kept = shown.substr(0, shown.size() - 1);
    EXPECT_EQ(words.compare(0, kept.size(), kept), 0);
    const wchar_t next = words[kept.size()];
    EXPECT_TRUE(next == L' ' || next == L'.') << "cut inside a word: " << ui::Narrow(kept);
  }
  EXPECT_LE(icon.BalloonText().size(), 255u);
  EXPECT_LE(icon.BalloonTitle().size(), 63u);
}

// What the user reads when a command ends with an exception: Russian words
// for what has no readable text of its own, the program's own texts as they are.
TEST(FailureMessage, IsTheExceptionsTextOrTheProgramsOwnWords) {
  const std::filesystem::filesystem_error fileError("remove", std::filesystem::path(L"C:\\нет\\файл.txt"),
                                                     std::error_code(5, std::system_category()));
  const struct {
    std::exception_ptr failure;
    std::wstring message;
  } cases[] = {
      {std::make_exception_ptr(std::bad_alloc()), L"Недостаточно памяти для выполнения команды"},
      {std::make_exception_ptr(std::length_error("basic_string::_M_create")), L"Недостаточно памяти для выполнения команды"},
      {std::make_exception_ptr(fileError), L"Не удалось выполнить действие с файлом «C:\\нет\\файл.txt» (код ошибки 5)"},
      {std::make_exception_ptr(std::runtime_error("'abc' is not a valid integer value")),
       L"'abc' is not a valid integer value"},
      {std::make_exception_ptr(std::runtime_error("Не удалось создать окно")), L"Не удалось создать окно"},
      {std::make_exception_ptr(std::runtime_error("")), L"Непредвиденная ошибка"},
      {std::make_exception_ptr(42), L"Непредвиденная ошибка"},
  };
  for (const auto& c : cases) EXPECT_EQ(ui::FailureMessage(c.failure), c.message);
}

}  // namespace
