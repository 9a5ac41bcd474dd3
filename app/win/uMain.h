#pragma once
// The main window: table list, source and result boxes, toolbars, the window
// side of a conversion run, the settings file and the show request.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "amount_words.h"
#include "command_protocol.h"
#include "control_ids.h"
#include "controls.h"
#include "conversion_run.h"
#include "drop_files.h"
#include "edit_rules.h"
#include "hotkeys.h"
#include "image.h"
#include "main_menus.h"
#include "on_the_fly.h"
#include "protocol_server.h"
#include "standard_controls.h"
#include "status_label.h"
#include "tables.h"
#include "text_boxes.h"
#include "tray.h"
#include "window.h"

namespace velmar {

class TDwnlModulesForm;
class TUpdateForm;

class TVelmarPro_Api : public ui::Window {
 public:
  static constexpr const wchar_t* kClassName = kMainWindowClass;

  TVelmarPro_Api();
  ~TVelmarPro_Api() override;

  // Creates the window (hidden); its creation step runs.
  void Create();
  void FormShow();
  void Show();
  // The update window, created hidden at start (uMain_update.cpp).
  void CreateUpdateForm();

  // The base address of the maker's server for the online parts.
  const std::string& Server() const { return server_; }
  // The address of the maker's web site, named in the module window's messages.
  const std::string& Site() const { return site_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();  // uMain_layout.cpp, with the layout and the drawn controls
  void CreateLeftColumn();
  void CreateUpperPart();
  void CreateLowerPart();
  void DescribeControls();  // uMain_access.cpp: names and roles for screen readers
  void AddDrawnLabel(ui::Label& label, ControlId id, DWORD style, std::function<void(const DRAWITEMSTRUCT&)> draw);
  void Layout();
  // Fonts and pictures at the window's display scale.
  void MakeFonts();
  void LoadPictures();
  void DpiChanged(ui::Dpi previous) override;
  int LeftWidth() const;    // of the left column, as the layout has it
  int UpperHeight() const;  // of the part above the horizontal splitter
  void LayoutInfoLine(int x, int y, int right);
  HWND Control(ControlId id) const;  // a control's window by its id
  void AddButton(ui::FlatButton& button, ControlId id, std::wstring_view text, ui::FlatButton::Look look,
                 const wchar_t* icon);

  void FormCreate(bool realCreation);
  void updTimerTimer();
  bool FormClose();
  void ShowSelectedTable();
  void ListBox1Click();
  // The run a click on the table list asked for, held back for the time of
  // a double click: the run disables the list, which would swallow the
  // second click of a double click that opens the editor.
  void listClickRunTimer();
  bool listClickRunPending_ = false;
  void ListBox1DrawItem(const DRAWITEMSTRUCT& item);
  struct RowTexts {
    std::wstring caption, description;
    int captionHeight = 0;
    bool cut = false;  // one of them is wider than the row
  };
  RowTexts ListBox1RowTexts(int row) const;
  std::wstring ListBox1RowTip(int row) const;
  std::wstring ListBox1RowName(int row) const;  // a row as a screen reader reads it
  void DrawTitle(const DRAWITEMSTRUCT& item);  // Label1
  void DrawInfoText(const DRAWITEMSTRUCT& item, int colour);  // Label3, Label4, Label5
  void sSpeedButton2Click();  // the mode menu
  void BringForward();
  void Memo2Change();

  // The conversion run (uMain_run.cpp); its reports come as these messages.
  static constexpr UINT kRunProgressMessage = WM_APP + 1;  // wParam: progress, lParam: run serial
  static constexpr UINT kRunDoneMessage = WM_APP + 2;      // lParam: run serial
  void Button1Click();
  void SetRunning(bool running);
  void ShowProgress(std::int64_t progress, bool finishing);
  void CompleteRun();

  // Editing commands and view options (uMain_edit.cpp).
  void CreateEditCommands();
  void PopupMenu3Command(ControlId item);  // the text boxes' context menu
  // A box's whole text set by the program: no change of the box.
  bool SetBoxText(ControlId box, const std::wstring& text);
  void SetCaption(const std::wstring& caption);
  void btn_NewClick();
  void btn_OpenClick();
  void OpenTextFile(const std::wstring& path);  // Open with the file chosen (the dialog, or a drop)
  void ShowSaveMenu();
  void N1Click();
  void N2Click();
  void SaveBox(const ui::Edit& box, TextEncoding origin);
  void btn_UndoClick();
  void btn_CutClick();
  void btn_CopyClick();
  void btn_PasteClick();
  void N13Click();
  void N15Click();
  void Memo1Change();
  void CheckBox1Click();
  void tmr_AutoVelmarTimer();
  void sSpeedButton4Click();
  void btn_AboutClick();
  void sSpeedButton3Click();
  // The table editor (uMain_editor.cpp): empty, or with a table file loaded.
  void OpenTableEditor(const std::filesystem::path& file);
  std::filesystem::path TableFileOfRow(LRESULT row) const;
  // The open table editor's close question before the program ends; false
  // when the user stays (the exit is cancelled). `close`: the editor goes.
  bool ConfirmEditorExit(bool close);
  // The table store reloaded after a save into the table folder, keeping the
  // selected table (by its file) and the client's registration.
  void ReloadTablesKeepingChoice();
  void ListBox1DblClick();
  void ListBox1ContextPopup(LPARAM where);  // "edit this table" on a row
  void sSpeedButton1Click();
  // Files dropped onto the window (uMain_drop.cpp, drop_files.h).
  void CreateFileDrop();
  void ReloadTablesKeepingSelection();
  // Text tools (uMain_tools.cpp): the status label's looks, the statistics
  // run and the amount in words on a selection.
  void Label2MouseMove();
  void Label2MouseLeave();
  void Label2Click();  // a click on the status label
  void N17Click();     // "Свойства"
  void StartStatistics();
  void AmountToWords(Currency currency);  // "Сумма прописью [Рубли]" and "[Гривна]"

  // The command protocol (uMain_protocol.cpp).
  void ReceiveMessage(const protocol::Command& command);
  void SendResultToClient();

  // Tray icon, global hotkeys and the conversion on the fly (uMain_tray.cpp).
  void OnTrayIcon(LPARAM mouse);
  bool TrayCommand(int id);  // a command of the tray menu; false for no such item
  void OnHotKey(WPARAM id);
  void MainHotKey();
  void QuickHotKey();
  void PasteClipboardIntoMemo1();
  void BringProgramForward();
  void ShowMainWindow();
  void RestoreWindow();
  void N19Click();
  void N24Click();
  void CheckAutostart();
  void FinishQuickRun();

  std::filesystem::path exeFolder_;
  std::string version_;
  std::string server_;  // base address of the maker's server, read once at start
  std::string site_;    // the maker's web site
  std::unique_ptr<TDwnlModulesForm> modules_;  // the last module window (destroyed once closed)
  std::wstring programTitle_;
  std::wstring decimalSeparator_;

  TTableStore store_;

  // Pictures, fonts and brushes.
  ui::Image flags_, logo_, progressFrame_, progressFill_;
  std::map<std::wstring, ui::IconPair> icons_;  // by resource name, loaded once
  ui::Font font_, listFont_, listBold_, listItalic_, titleFont_, memoFont_;

  // Controls.
  ui::FlatButton sSpeedButton1_, sSpeedButton3_, btn_Velmar_, sSpeedButton2_, sSpeedButton4_, btn_About_,
      sSpeedButton9_, btn_New_, btn_Open_, btn_Save_, btn_Cut_, btn_Copy_, btn_Paste_, btn_Undo_, CheckBox1_;
  ui::ListBox ListBox1_;
  // Image1 the logo, Label1 the title, Label3 > Label5 the table's languages,
  // Image2 and Image3 the progress bar's frame and fill; the others are lines.
  ui::Label Image1_, Label1_, Bevel1_, Bevel3_, Label3_, Label4_, Label5_, SaveSeparator_, Image4_, Image2_, Image3_;
  StatusLabel Label2_;
  TextBoxes boxes_;  // Memo1 and Memo2, and their context menu PopupMenu3
  ui::Splitter vSplitter_, hSplitter_;
  ModeMenu PopupMenu2_;
  SaveMenu PopupMenu1_;

  ProtocolServer protocol_;
  class TTableEditForm* editor_ = nullptr;  // while the table editor is open
  TrayArea tray_;  // CoolTrayIcon1 and its menu
  GlobalHotkeys hotkeys_;
  OnTheFly onTheFly_;
  bool quickSelectionEndsWithBreak_ = false;

  int leftWidth_ = 0;    // pixels at the window's scale
  int upperHeight_ = 0;
  int progressWidth_ = 0;  // of the progress fill at 96 DPI

  ConversionRun run_;
  FileDrop drop_;

  std::shared_ptr<TUpdateForm> updateForm_;  // shared_ptr: the type is incomplete here

  HWND focusBeforeRun_ = nullptr;
  // The encoding of the file the source box was opened from (New: Windows-1251).
  TextEncoding sourceEncoding_ = TextEncoding::Cp1251;
};

}  // namespace velmar
