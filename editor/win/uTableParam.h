#pragma once
// TTableParamForm: the header of the editor's table (names, description and
// the two flags) in a small modal dialog.
#include <windows.h>

#include "editor_ids.h"
#include "image.h"
#include "standard_controls.h"
#include "table_edit_model.h"
#include "tables.h"
#include "dialog.h"

namespace velmar {

class TTableParamForm : public ui::Dialog {
 public:
  // Fills the dialog from `table`, shows it modally over `owner` (centred on
  // `centreOn`) and copies the values back only when the user confirms with
  // "ОК". True when confirmed. `sets` (optional): the table's letter sets,
  // edited in a box of their own, one "name=letters" a line.
  static bool Execute(HWND owner, HWND centreOn, TTransTable& table, const ui::Image& flags,
                      std::vector<LetterSet>* sets = nullptr);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(ui::Dpi previous) override;

 private:
  explicit TTableParamForm(const ui::Image& flags);
  void Create(HWND owner, HWND centreOn);
  void CreateControls();
  void ComboBoxDrawItem(const DRAWITEMSTRUCT& item) const;  // ComboBox1DrawItem and ComboBox2DrawItem
  void Finish(bool ok);

  const ui::Image& flags_;
  ui::Font font_;
  ui::DesignLayout layout_;  // the controls' places at 96 DPI
  bool done_ = false;
  bool ok_ = false;

  // The controls, in their tab order.
  ui::Label LabelFrom_;
  ui::Edit EditFrom_;
  ui::Label LabelFromIcon_;
  ui::ComboBox ComboBox1_;
  ui::Label LabelTo_;
  ui::Edit EditTo_;
  ui::Label LabelToIcon_;
  ui::ComboBox ComboBox2_;
  ui::Label LabelDesc_;
  ui::Edit EditDesc_;
  ui::Label LabelSets_;
  ui::Edit EditSets_;
  ui::Label Bevel1_;
  ui::PushButton Button1_, Button2_;
};

}  // namespace velmar
