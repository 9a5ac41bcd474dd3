#include "text_boxes.h"

namespace velmar {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightBlue = RGB(242, 250, 255);  // $FFFAF2
constexpr DWORD kMemoStyle = WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                             ES_WANTRETURN | ES_NOHIDESEL;

int Id(ControlId id) { return static_cast<int>(id); }

}  // namespace

TextBoxes::TextBoxes() = default;

void TextBoxes::Create(Box box, HWND parent, HFONT font) {
  ui::Edit& memo = Of(box);
  memo.Create(parent, Id(box == Box::Result ? ControlId::Memo2 : ControlId::Memo1), kMemoStyle);
  SendMessageW(memo.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(memo.hwnd(), EM_SETLIMITTEXT, 0, 0);  // as much as the control can hold
  memo.onChange = [this, box] { Changed(box); };
  memo.SetBackground(box == Box::Result ? kLightBlue : kWhite);
  if (contextMenu_) return;

  contextMenu_.Reset(CreatePopupMenu());
  HMENU menu = contextMenu_.get();
  AppendMenuW(menu, MF_STRING, Id(ControlId::q1), L"Сумма прописью [Рубли]");
  AppendMenuW(menu, MF_STRING, Id(ControlId::N6), L"Сумма прописью [Гривна]");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, Id(ControlId::N8), L"Отменить");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, Id(ControlId::N10), L"Вырезать");
  AppendMenuW(menu, MF_STRING, Id(ControlId::N11), L"Копировать");
  AppendMenuW(menu, MF_STRING, Id(ControlId::N12), L"Вставить");
  AppendMenuW(menu, MF_STRING, Id(ControlId::N13), L"Удалить");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, Id(ControlId::N15), L"Выделить все");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, Id(ControlId::N17), L"Свойства");
}

void TextBoxes::Click(Box box) {
  SetActive(box);
  const bool resultWhite = box == Box::Result;
  if (resultWhite == resultWhite_) return;
  resultWhite_ = resultWhite;
  memo1_.SetBackground(resultWhite_ ? kLightBlue : kWhite);
  memo2_.SetBackground(resultWhite_ ? kWhite : kLightBlue);
}

void TextBoxes::ResetColours() {
  resultWhite_ = false;
  memo1_.SetBackground(kWhite);
  memo2_.SetBackground(kLightBlue);
}

// EM_REPLACESEL would also change a read-only box (both are during a run): not so.
void TextBoxes::DeleteSelection() {
  ui::Edit& box = Target();
  if (box.ReadOnly()) return;
  box.ReplaceSelection(L"", false);
}

void TextBoxes::SetReadOnly(bool readOnly) {
  memo1_.SetReadOnly(readOnly);
  memo2_.SetReadOnly(readOnly);
}

bool TextBoxes::SetTextQuietly(Box box, const std::wstring& text) { return Of(box).SetTextQuietly(text); }

void TextBoxes::Changed(Box box) {
  SetActive(box);
  const std::function<void()>& handler = box == Box::Source ? onSourceChange : onResultChange;
  if (handler) handler();
}

std::optional<LRESULT> TextBoxes::Memo::OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      owner_.Click(box_);
      break;
    case WM_CHAR:
      owner_.SetActive(box_);  // a key typed into the box
      break;
    case WM_CONTEXTMENU:
      owner_.Click(box_);  // before the menu opens, so its commands act on this box
      owner_.ShowContextMenu(*this, lParam);
      return 0;
    default:
      break;
  }
  return ui::Edit::OnOwnMessage(message, wParam, lParam);
}

void TextBoxes::ShowContextMenu(const ui::Edit& memo, LPARAM where) {
  POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
  if (where == -1) {  // from the keyboard: at the box's top left corner
    at = {4, 4};
    ClientToScreen(memo.hwnd(), &at);
  }
  const BOOL command = TrackPopupMenu(contextMenu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                                      at.x, at.y, 0, GetParent(memo.hwnd()), nullptr);
  if (command != 0 && onMenuCommand) onMenuCommand(static_cast<ControlId>(command));
}

}  // namespace velmar
