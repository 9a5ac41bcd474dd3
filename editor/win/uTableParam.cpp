#include "uTableParam.h"

#include "accessible.h"

#include "table_edit_model.h"
#include "editor_text.h"
#include "text.h"

namespace velmar {
namespace {

// Taller than the header alone needs: the letter sets of context pairs have their box here.
constexpr int kClientWidth = 305, kClientHeight = 300;
constexpr int kComboItemHeight = 18;

}  // namespace

TTableParamForm::TTableParamForm(const ui::Image& flags) : flags_(flags) {}

bool TTableParamForm::Execute(HWND owner, HWND centreOn, TTransTable& table, const ui::Image& flags,
                              std::vector<LetterSet>* sets) {
  TTableParamForm form(flags);
  form.Create(owner, centreOn);
  form.EditFrom_.SetText(ShownText(table, table.From));
  form.EditTo_.SetText(ShownText(table, table.To));
  form.EditDesc_.SetText(ShownText(table, table.Description));
  if (sets) form.EditSets_.SetText(ui::Widen(SetsText(*sets)));
  form.EditSets_.Enable(sets != nullptr);
  for (const ui::ComboBox* combo : {&form.ComboBox1_, &form.ComboBox2_})
    for (int n = 0; n < kFlagCount; ++n) combo->Add();
  // A number outside the catalogue selects nothing, and stays unless the user picks a flag.
  form.ComboBox1_.Select(IsFlagNumber(table.FromIcon) ? table.FromIcon : -1);
  form.ComboBox2_.Select(IsFlagNumber(table.ToIcon) ? table.ToIcon : -1);
  SetFocus(form.Button1_.hwnd());

  form.RunModal(form.done_);
  if (!form.ok_ || !form.hwnd()) return false;
  // Each text taken may turn the table into a Unicode one, so all are read first.
  const std::wstring from = form.EditFrom_.Text();
  const std::wstring to = form.EditTo_.Text();
  const std::wstring description = form.EditDesc_.Text();
  table.From = TakenText(table, from);
  table.To = TakenText(table, to);
  table.Description = TakenText(table, description);
  if (sets) {
    // Kept in UTF-8 whatever the table's encoding; a letter Windows-1251
    // lacks makes the saved file UTF-8.
    *sets = ParseSetsText(ui::Narrow(form.EditSets_.Text()));
  }
  table.FromIcon = PickedIcon(form.ComboBox1_.Selected(), table.FromIcon);
  table.ToIcon = PickedIcon(form.ComboBox2_.Selected(), table.ToIcon);
  return true;
}

void TTableParamForm::Create(HWND owner, HWND centreOn) {
  dpi_ = ui::ScaleForWindow(owner);  // opens over its owner, on its monitor
  font_ = ui::MakeFont({L"Segoe UI", -11}, dpi_);
  Register(kTableParamClass, nullptr, GetSysColorBrush(COLOR_BTNFACE), nullptr);
  CreateDialogWindow(kTableParamClass, L"Параметры таблицы", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                     WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, {kClientWidth, kClientHeight},
                     dpi_, owner, centreOn);
  CreateControls();
}

// The controls in their tab order, at their places at 96 DPI, and what each does.
void TTableParamForm::CreateControls() {
  const auto place = [this](const ui::Control& control, int x, int y, int w, int h) {
    layout_.Place(control.hwnd(), x, y, w, h, dpi_);
  };
  // The labels carry access keys: Alt and the letter go to the box after the label.
  constexpr DWORD kLabel = SS_LEFTNOWORDWRAP;
  const auto label = [&](ui::Label& control, ParamId id, const wchar_t* text, int x, int y, int w) {
    control.accessKey = true;
    control.Create(hwnd_, Id(id), text, kLabel);
    place(control, x, y, w, 15);
  };
  const auto edit = [&](ui::Edit& control, ParamId id, int x, int y, int w) {
    control.Create(hwnd_, Id(id));
    place(control, x, y, w, 23);
  };
  const auto flags = [&](ui::ComboBox& control, ParamId id, int x, int y) {
    control.onDrawItem = [this](const DRAWITEMSTRUCT& item) { ComboBoxDrawItem(item); };
    control.Create(hwnd_, Id(id), WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED);
    place(control, x, y, 41, 300);
  };
  label(LabelFrom_, ParamId::LabelFrom, L"&Орегинал:", 8, 8, 225);
  edit(EditFrom_, ParamId::EditFrom, 8, 24, 225);
  label(LabelFromIcon_, ParamId::LabelFromIcon, L"&Иконка:", 240, 8, 57);
  flags(ComboBox1_, ParamId::ComboBox1, 240, 24);
  label(LabelTo_, ParamId::LabelTo, L"&Транскрипция:", 8, 54, 225);
  edit(EditTo_, ParamId::EditTo, 8, 70, 225);
  label(LabelToIcon_, ParamId::LabelToIcon, L"Икон&ка:", 240, 54, 57);
  flags(ComboBox2_, ParamId::ComboBox2, 240, 70);
  label(LabelDesc_, ParamId::LabelDesc, L"Опи&сание:", 8, 100, 273);
  edit(EditDesc_, ParamId::EditDesc, 8, 116, 273);
  label(LabelSets_, ParamId::LabelSets, L"&Наборы букв для контекстов (имя=буквы):", 8, 146, 289);
  EditSets_.Create(hwnd_, Id(ParamId::EditSets),
                   WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN);
  place(EditSets_, 8, 162, 289, 80);
  Bevel1_.Create(hwnd_, Id(ParamId::Bevel1), L"", SS_ETCHEDHORZ);
  place(Bevel1_, 8, 249, 289, 2);
  Button1_.Create(hwnd_, Id(ParamId::Button1), L"\u041E\u041A" /* ОК */, BS_DEFPUSHBUTTON);
  place(Button1_, 8, 262, 85, 27);
  Button2_.Create(hwnd_, Id(ParamId::Button2), L"Отмена");
  place(Button2_, 212, 262, 85, 27);

  // "ОК" and Enter keep what was typed; "Отмена", Esc and the close box drop it.
  Button1_.onClick = [this] { Finish(true); };
  Button2_.onClick = [this] { Finish(false); };
  onOk = [this] { Finish(true); };
  onCancel = [this] { Finish(false); };

  // The flag pickers show pictures only; the etched line only decorates.
  ui::SetAccessibleName(ComboBox1_.hwnd(), L"Иконка оригинала");
  ui::SetAccessibleName(ComboBox2_.hwnd(), L"Иконка транскрипции");
  ui::MarkSeparator(Bevel1_.hwnd());
}

void TTableParamForm::DpiChanged(ui::Dpi) {
  const ui::Font font = std::move(font_);
  font_ = ui::MakeFont({L"Segoe UI", -11}, dpi_);
  ui::ReplaceChildFonts(hwnd_, font.get(), font_.get());
  for (const ui::ComboBox* combo : {&ComboBox1_, &ComboBox2_}) combo->SetItemHeight(dpi_(kComboItemHeight));
  layout_.PlaceAll(dpi_);
}

void TTableParamForm::ComboBoxDrawItem(const DRAWITEMSTRUCT& item) const {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int n = static_cast<int>(item.itemID);
  if (item.itemID != static_cast<UINT>(-1) && IsFlagNumber(n))
    flags_.Draw(item.hDC, item.rcItem.left + dpi_(1), item.rcItem.top, flags_.Height() * n, 0, flags_.Height(),
                flags_.Height());
}

void TTableParamForm::Finish(bool ok) {
  ok_ = ok;
  done_ = true;
}

LRESULT TTableParamForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.get());
    case WM_MEASUREITEM: {
      // The flag pickers' rows, asked for while the boxes are made.
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType == ODT_COMBOBOX) measure->itemHeight = static_cast<UINT>(dpi_(kComboItemHeight));
      return TRUE;
    }
    default:
      return Dialog::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace velmar
