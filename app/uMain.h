#pragma once
// The main window: table list, source and result boxes, toolbars, the window
// side of a conversion run, the settings file and the show request.
#include <windows.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "control_ids.h"
#include "controls.h"
#include "image.h"
#include "tables.h"
#include "thread_velmar.h"
#include "window.h"

namespace velmar {

class TVelmarPro_Api : public ui::Window {
 public:
  static constexpr const wchar_t* kClassName = kMainWindowClass;

  TVelmarPro_Api();
  ~TVelmarPro_Api() override;

  // Creates the window (hidden); its creation step runs.
  void Create();
  void FormShow();
  void Show();

  // The base address of the maker's server for the online parts.
  const std::string& Server() const { return server_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct IconPair {
    ui::Image normal, hot;
  };

  void LoadIcons();
  void CreateControls();
  void Layout();
  void LayoutInfoLine(int x, int y);
  HWND Control(ControlId id) const;
  ui::FlatButton* Button(int id);
  void AddButton(ui::FlatButton& button, ControlId id, std::wstring_view text, ui::FlatButton::Look look,
                 const wchar_t* icon);

  void FormCreate(bool realCreation);
  bool FormClose();
  void ShowSelectedTable();
  void ListBox1Click();
  void ListBox1DrawItem(const DRAWITEMSTRUCT& item);
  void DrawStatic(const DRAWITEMSTRUCT& item);
  void ShowModeMenu();
  void OnCopyData(const COPYDATASTRUCT& data);
  void BringForward();
  void Memo2Change();

  // The conversion run.
  void Button1Click();
  void SetRunning(bool running);
  void ShowProgress(std::int64_t progress, bool finishing);
  void CompleteRun();

  // Colours of the text boxes and labels; read-only boxes ask with WM_CTLCOLORSTATIC.
  LRESULT OnCtlColor(HDC dc, HWND control);

  std::filesystem::path exeFolder_;
  std::string version_;
  std::string server_;  // base address of the maker's server, read once at start
  std::wstring programTitle_;
  std::wstring decimalSeparator_;

  TTableStore store_;

  // Pictures, fonts and brushes.
  ui::Image flags_, logo_, progressFrame_, progressFill_;
  std::map<std::wstring, IconPair> icons_;  // by resource name, loaded once
  ui::Font font_, listFont_, listBold_, listItalic_, titleFont_, memoFont_, label2Font_, label2RunFont_;
  ui::Brush white_, lightBlue_;

  // Controls.
  ui::FlatButton sSpeedButton1_, sSpeedButton3_, btn_Velmar_, sSpeedButton2_, sSpeedButton4_, btn_About_,
      sSpeedButton9_, btn_New_, btn_Open_, btn_Save_, btn_Cut_, btn_Copy_, btn_Paste_, btn_Undo_, CheckBox1_;
  std::vector<ui::FlatButton*> buttons_;
  ui::Splitter vSplitter_, hSplitter_;
  HMENU PopupMenu2_ = nullptr;
  bool N3_ = false, N4_ = false, N5_ = false;

  int leftWidth_ = 217;
  int upperHeight_ = 202;
  int progressWidth_ = 0;

  // The run in progress, if any.
  std::unique_ptr<TThreadVelmar> run_;
  std::vector<std::wstring> runStandIns_;
  WPARAM runSerial_ = 0;
  bool runRequested_ = false;  // a run asked for during a run: it follows the current one
  bool inCompletion_ = false;
  HWND focusBeforeRun_ = nullptr;
};

}  // namespace velmar
