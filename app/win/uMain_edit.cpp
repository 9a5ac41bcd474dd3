// The main window's editing commands and view options: New, Open, the two
// saves, the standard edit operations of the toolbar and the context menu,
// automatic conversion, help and about. The boxes themselves (the active one,
// its colours, the context menu) are the TextBoxes' (text_boxes.h), the files
// are read and written by text_files.h.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app_logic.h"
#include "edit_rules.h"
#include "text.h"
#include "text_files.h"
#include "text_stats.h"
#include "uAbout.h"
#include "uMain.h"

namespace velmar {
namespace {

constexpr UINT_PTR kAutoTimer = static_cast<UINT_PTR>(TimerId::tmr_AutoVelmar);
constexpr UINT kAutoInterval = 1000;

}  // namespace

void TVelmarPro_Api::CreateEditCommands() {
  btn_New_.onClick = [this] { btn_NewClick(); };
  btn_Open_.onClick = [this] { btn_OpenClick(); };
  btn_Save_.onClick = [this] { ShowSaveMenu(); };
  // The toolbar buttons take the keyboard focus; it goes back to the box they acted on.
  const auto onBox = [this](void (TVelmarPro_Api::*command)()) {
    return [this, command] {
      (this->*command)();
      SetFocus(boxes_.Target().hwnd());
    };
  };
  btn_Cut_.onClick = onBox(&TVelmarPro_Api::btn_CutClick);
  btn_Copy_.onClick = onBox(&TVelmarPro_Api::btn_CopyClick);
  btn_Paste_.onClick = onBox(&TVelmarPro_Api::btn_PasteClick);
  btn_Undo_.onClick = onBox(&TVelmarPro_Api::btn_UndoClick);
  CheckBox1_.onClick = [this] { CheckBox1Click(); };
  sSpeedButton4_.onClick = [this] { sSpeedButton4Click(); };
  btn_About_.onClick = [this] { btn_AboutClick(); };
  sSpeedButton3_.onClick = [this] { sSpeedButton3Click(); };
  sSpeedButton1_.onClick = [this] { sSpeedButton1Click(); };

  PopupMenu1_.Create();
  boxes_.onSourceChange = [this] { Memo1Change(); };
  boxes_.onResultChange = [this] { Memo2Change(); };
  boxes_.onMenuCommand = [this](ControlId item) { PopupMenu3Command(item); };
}

// The commands of the text boxes' context menu.
void TVelmarPro_Api::PopupMenu3Command(ControlId item) {
  switch (item) {
    case ControlId::q1:
      AmountToWords(Currency::kRubles);
      break;
    case ControlId::N6:
      AmountToWords(Currency::kHryvnias);
      break;
    case ControlId::N8:
      btn_UndoClick();
      break;
    case ControlId::N10:
      btn_CutClick();
      break;
    case ControlId::N11:
      btn_CopyClick();
      break;
    case ControlId::N12:
      btn_PasteClick();
      break;
    case ControlId::N13:
      N13Click();
      break;
    case ControlId::N15:
      N15Click();
      break;
    case ControlId::N17:
      N17Click();
      break;
    default:
      break;
  }
}

bool TVelmarPro_Api::SetBoxText(ControlId box, const std::wstring& text) {
  return boxes_.SetTextQuietly(box == ControlId::Memo2 ? TextBoxes::Box::Result : TextBoxes::Box::Source, text);
}

void TVelmarPro_Api::SetCaption(const std::wstring& caption) {
  // The window's caption is also its taskbar text; the tray icon's hint follows it.
  SetWindowTextW(hwnd_, caption.c_str());
  tray_.SetTip(caption);
}

void TVelmarPro_Api::btn_NewClick() {
  SetCaption(programTitle_.empty() ? ui::Widen(kProgramTitle) : programTitle_);
  // Emptying the boxes is no edit: the active box stays, no run is armed.
  SetBoxText(ControlId::Memo1, L"");
  SetBoxText(ControlId::Memo2, L"");
  sourceEncoding_ = TextEncoding::Cp1251;
  Memo2Change();
}

void TVelmarPro_Api::btn_OpenClick() {
  const std::wstring path = ChooseFile(hwnd_, false);
  if (!path.empty()) OpenTextFile(path);
}

void TVelmarPro_Api::OpenTextFile(const std::wstring& path) {
  SetBoxText(ControlId::Memo2, L"");
  Memo2Change();  // the status line describes the emptied box, whether a run follows or not
  SetCaption((programTitle_.empty() ? ui::Widen(kProgramTitle) : programTitle_) + L" - " + FileName(path));

  std::string bytes;
  DWORD error = 0;
  if (!ReadWholeFile(path, bytes, error)) {
    ui::ShowError(hwnd_, FileErrorText(L"Cannot open file", path, error));
    return;
  }
  TextEncoding encoding = TextEncoding::Cp1251;
  const std::wstring text = DecodeOpenedText(bytes, &encoding);
  const bool changed = text != boxes_.Source().Text();
  if (!SetBoxText(ControlId::Memo1, text)) {
    ui::ShowError(hwnd_, L"Text exceeds memo capacity");
    return;
  }
  sourceEncoding_ = encoding;
  if (changed) Memo1Change();
  // The run starts at once; the timer the change armed would only repeat it.
  if (CheckBox1_.checked) tmr_AutoVelmarTimer();
}

void TVelmarPro_Api::ShowSaveMenu() {
  const auto item = PopupMenu1_.Show(hwnd_, btn_Save_.hwnd());
  if (item == ControlId::N1)
    N1Click();
  else if (item == ControlId::N2)
    N2Click();
}

// The source box goes back in the encoding of the file it was opened from.
void TVelmarPro_Api::N1Click() { SaveBox(boxes_.Source(), sourceEncoding_); }

void TVelmarPro_Api::N2Click() { SaveBox(boxes_.Result(), TextEncoding::Cp1251); }

void TVelmarPro_Api::SaveBox(const ui::Edit& box, TextEncoding origin) {
  const std::wstring path = ChooseFile(hwnd_, true);
  if (path.empty()) return;
  const std::optional<std::string> bytes = EncodeForSaving(hwnd_, box.Text(), origin);
  if (!bytes) return;
  if (const std::wstring error = WriteWholeFile(path, *bytes); !error.empty()) ui::ShowError(hwnd_, error);
}

void TVelmarPro_Api::btn_UndoClick() { boxes_.Undo(); }

void TVelmarPro_Api::btn_CutClick() { boxes_.Cut(); }

void TVelmarPro_Api::btn_CopyClick() { boxes_.Copy(); }

void TVelmarPro_Api::btn_PasteClick() { boxes_.Paste(); }

void TVelmarPro_Api::N13Click() { boxes_.DeleteSelection(); }

void TVelmarPro_Api::N15Click() { boxes_.SelectAll(); }

// Every change of the source text starts the second of waiting anew.
void TVelmarPro_Api::Memo1Change() {
  boxes_.SetActive(TextBoxes::Box::Source);
  KillTimer(hwnd_, kAutoTimer);
  if (CheckBox1_.checked) SetTimer(hwnd_, kAutoTimer, kAutoInterval, nullptr);
}

// The status line describes the result box.
void TVelmarPro_Api::Memo2Change() {
  const std::string text = ui::ToCp1251(boxes_.Result().Text());
  Label2_.SetText(ui::Widen(StatusLine(text, ui::Narrow(decimalSeparator_))));
}

// Switching automatic conversion on runs the current text a second later;
// switching it off cancels a run that was waiting.
void TVelmarPro_Api::CheckBox1Click() {
  KillTimer(hwnd_, kAutoTimer);
  if (CheckBox1_.checked) SetTimer(hwnd_, kAutoTimer, kAutoInterval, nullptr);
}

void TVelmarPro_Api::tmr_AutoVelmarTimer() {
  Button1Click();
  KillTimer(hwnd_, kAutoTimer);
}

// Help: "Help.chm" beside the program, else "ReadMe.txt" there, else the
// maker's web site. When the system has nothing to open it with, the user is
// told so rather than left waiting for a window that never comes.
void TVelmarPro_Api::sSpeedButton4Click() {
  const HelpTarget help = FindHelp(exeFolder_);
  const std::wstring target = help.source == HelpSource::WebSite ? ui::Widen(server_) : help.file.wstring();
  const int show = help.source == HelpSource::HelpFile ? SW_SHOW : SW_SHOWNORMAL;
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(hwnd_, L"open", target.c_str(), nullptr, nullptr, show));
  if (result <= 32) {
    const DWORD error = GetLastError();
    ui::ShowError(hwnd_, FileErrorText(L"Не удалось открыть", target, error != 0 ? error : ERROR_NO_ASSOCIATION));
  }
}

// The about window, shown modally and destroyed when it closes.
void TVelmarPro_Api::btn_AboutClick() {
  TAboutForm about(hwnd_, version_, server_);
  about.ShowModal();
}

}  // namespace velmar
