#pragma once
// TTableEditForm: the table editor. It edits one table (its pairs in a list,
// its header in the parameters dialog) and opens and saves it as a table file.
#include <windows.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls.h"
#include "editor_ids.h"
#include "image.h"
#include "standard_controls.h"
#include "table_edit_model.h"
#include "tables.h"
#include "dialog.h"

namespace velmar {

class TTableEditForm : public ui::Dialog {
 public:
  TTableEditForm();

  // Shows the editor modally over `owner`, centred on it, with a new table or
  // with `file` loaded. Returns the files saved meanwhile, in order.
  std::vector<std::filesystem::path> ShowModal(HWND owner, const std::filesystem::path& file = {});

  // The program is ending (its exit command, the end of the session, an
  // installer closing it): the editor's close question first. False when
  // the user chose to stay; otherwise the editor closes (`close`) and the
  // exit may go on.
  bool ConfirmExit(bool close);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(ui::Dpi previous) override;

 private:
  void LoadPictures();  // at the window's display scale
  void MakeFonts();
  void CreateControls();
  void DescribeControls();  // names and roles for screen readers
  void AddButton(ui::FlatButton& button, EditorId id, const wchar_t* text, const wchar_t* icon,
                 const wchar_t* tip);
  void Layout();
  int Selected() const;
  void SetEdits(const TCharTable& pair);
  void FillList(int select);
  void Changed();  // the table differs from its file now

  void FormShow();
  void LoadFromFile(const std::filesystem::path& path);
  void sSpeedButton1Click();  // open
  bool sSpeedButton2Click();  // save as; true when saved
  void sSpeedButton4Click();  // parameters
  void sSpeedButton3Click();  // close
  void sSpeedButton5Click();  // add
  void DeletePair();
  void MovePair(int step);
  void ListBox1Click();
  void EditChange(const ui::Edit& edit);  // Edit1 or Edit2: the selected pair follows as the user types
  void ListBox1DrawItem(const DRAWITEMSTRUCT& item);
  void UpdateSample();
  void ShowEditState();  // says in the status bar which pair the edit boxes edit
  // Refuses a save of pairs that would not read back as shown; true when it may go on.
  bool RefuseUnwritable();
  // Asks about unsaved changes; false when the user wants to stay.
  bool ConfirmDiscard();
  // Says what a save would change in the table; false when the user goes back.
  bool ConfirmSaveAsShown();

  HWND owner_ = nullptr;
  std::unique_ptr<TTransTable> table_;
  EditorSections sections_;  // the letter sets and the sections kept as they stand
  TableEncoding openedEncoding_ = TableEncoding::Cp1251;  // of the file the table came from
  std::vector<std::filesystem::path> saved_;
  bool modified_ = false;
  bool done_ = false;

  ui::Image flags_, marker_;
  std::map<std::wstring, ui::IconPair> icons_;
  ui::Font font_, listFont_, boldFont_;
  ui::AcceleratorTable accelerators_;
  HWND tooltip_ = nullptr;

  // The controls, in their tab order.
  ui::FlatButton sSpeedButton1_, sSpeedButton2_;
  ui::Label Separator1_;
  ui::FlatButton sSpeedButton4_;
  ui::Label Separator2_;
  ui::FlatButton sSpeedButton3_, btn_Delete_, btn_Up_, btn_Down_;
  ui::Label Separator3_;
  ui::ListBox ListBox1_;
  ui::FlatButton sSpeedButton5_;
  ui::Label Label1_;
  ui::Edit Edit1_;
  ui::Label Label2_, Label3_;
  ui::Edit Edit2_;
  ui::Label LabelSample_;
  ui::Edit EditSample_;
  ui::Label LabelArrow_;
  ui::Edit EditResult_;
  ui::StatusBar StatusBar1_;
};

}  // namespace velmar
