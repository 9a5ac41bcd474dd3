#pragma once
// The main window's drop-down menus: the mode menu with the output options
// (PopupMenu2) and the save menu (PopupMenu1). Each opens under its button.
#include <windows.h>

#include <optional>

#include "control_ids.h"
#include "edit_rules.h"
#include "handles.h"

namespace velmar {

// Check marks kept while the program runs: the blank options and compress
// off at start, words in capitals as the settings file says.
class ModeMenu {
 public:
  void Create();
  const OutputOptions& Options() const { return options_; }
  void SetCapitalWords(bool on) { options_.capitalWords = on; }
  // Shows the options' check marks; the item picked toggles its option.
  void Show(HWND owner, HWND button);
  // The option of an item (N3, N4, N5, N7) toggled, as picking it does.
  void Pick(ControlId item);

 private:
  ui::Menu menu_;
  OutputOptions options_;
};

// "Сохранить оригинал..." (N1) and "Сохранить перевод..." (N2).
class SaveMenu {
 public:
  void Create();
  // The item picked, or nothing.
  std::optional<ControlId> Show(HWND owner, HWND button) const;

 private:
  ui::Menu menu_;
};

}  // namespace velmar
