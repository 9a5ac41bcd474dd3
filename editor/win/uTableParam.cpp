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

int Id(ParamId id) { return static_cast<int>(id); }

}  // namespace

TTableParamForm::TTableParamForm(const ui::Image& flags) : flags_(flags) {}

bool TTableParamForm::Execute(HWND owner, HWND centreOn, TTransTable& table, const ui::Image& flags,
                              std::vector<LetterSet>* sets) {
  TTableParamForm form(flags);
  form.Create(owner, centreOn);
  SetWindowTextW(form.Control(ParamId::EditFrom), ShownText(table, table.From).c_str());
  SetWindowTextW(form.Control(ParamId::EditTo), ShownText(table, table.To).c_str());
  SetWindowTextW(form.Control(ParamId::EditDesc), ShownText(table, table.Description).c_str());
  if (sets) SetWindowTextW(form.Control(ParamId::EditSets), ui::Widen(SetsText(*sets)).c_str());
  EnableWindow(form.Control(ParamId::EditSets), sets != nullptr);
  for (ParamId combo : {ParamId::ComboBox1, ParamId::ComboBox2})
    for (int n = 0; n < kFlagCount; ++n) SendMessageW(form.Control(combo), CB_ADDSTRING, 0, 0);
  // A number outside the catalogue selects nothing, and stays unless the user picks a flag.
  SendMessageW(form.Control(ParamId::ComboBox1), CB_SETCURSEL, IsFlagNumber(table.FromIcon) ? table.FromIcon : -1, 0);
  SendMessageW(form.Control(ParamId::ComboBox2), CB_SETCURSEL, IsFlagNumber(table.ToIcon) ? table.ToIcon : -1, 0);
  SetFocus(form.Control(ParamId::Button1));

  form.RunModal(form.done_);
  if (!form.ok_ || !form.hwnd()) return false;
  // Each text taken may turn the table into a Unicode one, so all are read first.
  const std::wstring from = ui::GetText(form.Control(ParamId::EditFrom));
  const std::wstring to = ui::GetText(form.Control(ParamId::EditTo));
  const std::wstring description = ui::GetText(form.Control(ParamId::EditDesc));
  table.From = TakenText(table, from);
  table.To = TakenText(table, to);
  table.Description = TakenText(table, description);
  const auto selected = [&](ParamId combo) {
    return static_cast<int>(SendMessageW(form.Control(combo), CB_GETCURSEL, 0, 0));
  };
  if (sets) {
    // Kept in UTF-8 whatever the table's encoding; a letter Windows-1251
    // lacks makes the saved file UTF-8.
    *sets = ParseSetsText(ui::Narrow(ui::GetText(form.Control(ParamId::EditSets))));
  }
  table.FromIcon = PickedIcon(selected(ParamId::ComboBox1), table.FromIcon);
  table.ToIcon = PickedIcon(selected(ParamId::ComboBox2), table.ToIcon);
  return true;
}

void TTableParamForm::Create(HWND owner, HWND centreOn) {
  dpi_ = ui::ScaleForWindow(owner);  // opens over its owner, on its monitor
  font_ = ui::MakeFont({L"Segoe UI", -11}, dpi_);
  Register(kTableParamClass, nullptr, GetSysColorBrush(COLOR_BTNFACE), nullptr);
  CreateDialogWindow(kTableParamClass, L"Параметры таблицы", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                     WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, {kClientWidth, kClientHeight},
                     dpi_, owner, centreOn);

  // The labels carry access keys: Alt and the letter go to the box after the label.
  constexpr DWORD kLabel = SS_LEFTNOWORDWRAP;
  constexpr DWORD kEdit = WS_TABSTOP | ES_AUTOHSCROLL;
  constexpr DWORD kFlags = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED;
  const struct {
    ParamId id;
    const wchar_t* kind;
    const wchar_t* text;
    DWORD style, exStyle;
    int x, y, w, h;
  } controls[] = {
      {ParamId::LabelFrom, L"STATIC", L"&Орегинал:", kLabel, 0, 8, 8, 225, 15},
      {ParamId::EditFrom, L"EDIT", L"", kEdit, WS_EX_CLIENTEDGE, 8, 24, 225, 23},
      {ParamId::LabelFromIcon, L"STATIC", L"&Иконка:", kLabel, 0, 240, 8, 57, 15},
      {ParamId::ComboBox1, L"COMBOBOX", L"", kFlags, 0, 240, 24, 41, 300},
      {ParamId::LabelTo, L"STATIC", L"&Транскрипция:", kLabel, 0, 8, 54, 225, 15},
      {ParamId::EditTo, L"EDIT", L"", kEdit, WS_EX_CLIENTEDGE, 8, 70, 225, 23},
      {ParamId::LabelToIcon, L"STATIC", L"Икон&ка:", kLabel, 0, 240, 54, 57, 15},
      {ParamId::ComboBox2, L"COMBOBOX", L"", kFlags, 0, 240, 70, 41, 300},
      {ParamId::LabelDesc, L"STATIC", L"Опи&сание:", kLabel, 0, 8, 100, 273, 15},
      {ParamId::EditDesc, L"EDIT", L"", kEdit, WS_EX_CLIENTEDGE, 8, 116, 273, 23},
      {ParamId::LabelSets, L"STATIC", L"&Наборы букв для контекстов (имя=буквы):", kLabel, 0, 8, 146, 289, 15},
      {ParamId::EditSets, L"EDIT", L"",
       WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE, 8,
       162, 289, 80},
      {ParamId::Bevel1, L"STATIC", L"", SS_ETCHEDHORZ, 0, 8, 249, 289, 2},
      {ParamId::Button1, L"BUTTON", L"\u041E\u041A" /* ОК */, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 8, 262, 85, 27},
      {ParamId::Button2, L"BUTTON", L"Отмена", WS_TABSTOP | BS_PUSHBUTTON, 0, 212, 262, 85, 27},
  };
  for (const auto& c : controls) {
    HWND control = ui::CreateControl(hwnd_, c.kind, c.text, c.style, c.exStyle, Id(c.id));
    layout_.Place(control, c.x, c.y, c.w, c.h, dpi_);
  }
  // The flag pickers show pictures only; the etched line only decorates.
  ui::SetAccessibleName(GetDlgItem(hwnd_, Id(ParamId::ComboBox1)), L"Иконка оригинала");
  ui::SetAccessibleName(GetDlgItem(hwnd_, Id(ParamId::ComboBox2)), L"Иконка транскрипции");
  ui::MarkSeparator(GetDlgItem(hwnd_, Id(ParamId::Bevel1)));
}

void TTableParamForm::DpiChanged(ui::Dpi) {
  const ui::Font font = std::move(font_);
  font_ = ui::MakeFont({L"Segoe UI", -11}, dpi_);
  ui::ReplaceChildFonts(hwnd_, font.get(), font_.get());
  for (const ParamId id : {ParamId::ComboBox1, ParamId::ComboBox2}) {
    SendMessageW(Control(id), CB_SETITEMHEIGHT, 0, dpi_(kComboItemHeight));
    SendMessageW(Control(id), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), dpi_(kComboItemHeight));
  }
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
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType == ODT_COMBOBOX) measure->itemHeight = static_cast<UINT>(dpi_(kComboItemHeight));
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType == ODT_COMBOBOX) ComboBoxDrawItem(item);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) Finish(true);
      else if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) Finish(false);
      return 0;
    case WM_CLOSE:  // the close box: Cancel
      Finish(false);
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace velmar
