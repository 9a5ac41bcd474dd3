// What the main window's controls tell a screen reader. Most say it through
// Windows' own description of their class and their window text (the flat
// buttons their captions, the labels their texts); set here is only what
// that cannot say.
#include <utility>

#include "accessible.h"
#include "run_text.h"
#include "uMain.h"

namespace velmar {

// "Русский → Английский, BGN/PCGN (1965)": a row as it reads aloud. The list
// box keeps the caption ("Русский - Английский") as the row's string, which
// the program and its clients read.
std::wstring TVelmarPro_Api::ListBox1RowName(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= store_.Store.size()) return {};
  const TTransTable& table = store_.Store[static_cast<std::size_t>(row)];
  std::wstring name = TableText(table, table.From) + L" \u2192 " + TableText(table, table.To);
  const std::wstring description = TableText(table, table.Description);
  if (!description.empty()) name += L", " + description;
  return name;
}

void TVelmarPro_Api::DescribeControls() {
  ui::Accessibility list;
  list.name = L"Таблицы";
  list.rowName = [this](int row) { return ListBox1RowName(row); };
  ui::SetAccessibility(ListBox1_.hwnd(), std::move(list));

  // The caption is cut short to fit the toolbar; its name is not.
  ui::SetAccessibleName(btn_About_.hwnd(), L"О программе");
  ui::Accessibility autoConvert;
  autoConvert.role = ROLE_SYSTEM_CHECKBUTTON;
  autoConvert.extraState = [this] { return CheckBox1_.checked ? STATE_SYSTEM_CHECKED : 0; };
  ui::SetAccessibility(CheckBox1_.hwnd(), std::move(autoConvert));
  for (const ui::FlatButton* menuButton : {&sSpeedButton2_, &btn_Save_})
    ui::SetAccessibleName(menuButton->hwnd(), {}, ROLE_SYSTEM_BUTTONMENU);

  ui::SetAccessibleName(Image1_.hwnd(), L"Логотип VelmarPro", ROLE_SYSTEM_GRAPHIC);
  ui::SetAccessibleName(Label4_.hwnd(), L"\u2192");
  ui::SetAccessibleName(boxes_.Source().hwnd(), L"Исходный текст");
  ui::SetAccessibleName(boxes_.Result().hwnd(), L"Результат");
  ui::SetAccessibleName(Image2_.hwnd(), L"Ход преобразования", ROLE_SYSTEM_PROGRESSBAR);
  ui::SetAccessibleName(Image3_.hwnd(), L"Ход преобразования", ROLE_SYSTEM_GRAPHIC);
  for (HWND line : {Bevel1_.hwnd(), Bevel3_.hwnd(), SaveSeparator_.hwnd(), Image4_.hwnd(), vSplitter_.hwnd(),
                    hSplitter_.hwnd()})
    ui::MarkSeparator(line);
}

}  // namespace velmar
