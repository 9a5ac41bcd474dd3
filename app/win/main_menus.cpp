#include "main_menus.h"

namespace velmar {
namespace {

int Id(ControlId id) { return static_cast<int>(id); }

// The command of the item picked under `button`; 0 for none.
UINT TrackUnder(HMENU menu, HWND owner, HWND button) {
  RECT r;
  GetWindowRect(button, &r);
  return static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, r.left, r.bottom, 0, owner, nullptr));
}

}  // namespace

void ModeMenu::Create() {
  menu_.Reset(CreatePopupMenu());
  AppendMenuW(menu_.get(), MF_STRING, Id(ControlId::N3), L"Использовать '_' вместо пробелов");
  AppendMenuW(menu_.get(), MF_STRING, Id(ControlId::N4), L"Использовать дефиз вместо пробелов");
  AppendMenuW(menu_.get(), MF_STRING, Id(ControlId::N5), L"Сжимать текст");
  AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu_.get(), MF_STRING, Id(ControlId::N7), L"Слова из заглавных букв писать заглавными");
}

void ModeMenu::Show(HWND owner, HWND button) {
  CheckMenuItem(menu_.get(), Id(ControlId::N3), options_.underscore ? MF_CHECKED : MF_UNCHECKED);
  CheckMenuItem(menu_.get(), Id(ControlId::N4), options_.hyphen ? MF_CHECKED : MF_UNCHECKED);
  CheckMenuItem(menu_.get(), Id(ControlId::N5), options_.compress ? MF_CHECKED : MF_UNCHECKED);
  CheckMenuItem(menu_.get(), Id(ControlId::N7), options_.capitalWords ? MF_CHECKED : MF_UNCHECKED);
  Pick(static_cast<ControlId>(TrackUnder(menu_.get(), owner, button)));
}

void ModeMenu::Pick(ControlId item) {
  if (item != ControlId::N3 && item != ControlId::N4 && item != ControlId::N5 && item != ControlId::N7) return;
  const OutputOption picked = item == ControlId::N3   ? OutputOption::Underscore
                              : item == ControlId::N4 ? OutputOption::Hyphen
                              : item == ControlId::N5 ? OutputOption::Compress
                                                      : OutputOption::CapitalWords;
  options_ = ToggleOutputOption(options_, picked);
}

void SaveMenu::Create() {
  menu_.Reset(CreatePopupMenu());
  AppendMenuW(menu_.get(), MF_STRING, Id(ControlId::N1), L"Сохранить оригинал...");
  AppendMenuW(menu_.get(), MF_STRING, Id(ControlId::N2), L"Сохранить перевод...");
}

std::optional<ControlId> SaveMenu::Show(HWND owner, HWND button) const {
  const auto picked = static_cast<ControlId>(TrackUnder(menu_.get(), owner, button));
  if (picked != ControlId::N1 && picked != ControlId::N2) return std::nullopt;
  return picked;
}

}  // namespace velmar
