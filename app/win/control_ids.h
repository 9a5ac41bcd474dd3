#pragma once
// The main window's control identifiers: the values WM_COMMAND carries and
// GetDlgItem finds, shared with the end-to-end test client.

#include <string_view>
#include <utility>

namespace velmar {

// Control identifiers; the values are what WM_COMMAND carries. Each value is
// written out: the end-to-end tests and other programs rely on them, so a new
// control takes a new value and never shifts the others.
enum class ControlId : int {
  sSpeedButton1 = 101,  // "Загрузить модули"
  sSpeedButton3 = 102,  // table editor
  ListBox1 = 103,
  Image1 = 104,
  Label1 = 105,  // the embossed title
  Bevel1 = 106,
  btn_Velmar = 107,
  sSpeedButton2 = 108,  // "Режим"
  sSpeedButton4 = 109,  // "Справка"
  btn_About = 110,
  sSpeedButton9 = 111,  // "Выход"
  Bevel3 = 112,
  Label3 = 113,
  Label4 = 114,
  Label5 = 115,
  Memo1 = 116,
  btn_New = 117,
  btn_Open = 118,
  btn_Save = 119,
  SaveSeparator = 120,
  btn_Cut = 121,
  btn_Copy = 122,
  btn_Paste = 123,
  btn_Undo = 124,
  Image4 = 125,
  CheckBox1 = 126,
  Memo2 = 127,
  Label2 = 128,
  Image2 = 129,  // progress bar frame
  Image3 = 130,  // progress bar fill
  VerticalSplitter = 131,
  HorizontalSplitter = 132,
  N3 = 201,  // mode menu: "_" for blanks
  N4 = 202,  // mode menu: hyphen for blanks
  N5 = 203,  // mode menu: compress
  N7 = 204,  // mode menu: words in capitals stay in capitals
  N1 = 211,  // save menu: the source box
  N2 = 212,  // save menu: the result box
  q1 = 221,  // context menu of the text boxes: amount in words, rubles
  N6 = 222,  // amount in words, hryvnias
  N8 = 223,  // undo
  N10 = 224,  // cut
  N11 = 225,  // copy
  N12 = 226,  // paste
  N13 = 227,  // delete
  N15 = 228,  // select all
  N17 = 229,  // statistics
  T1 = 301,  // tray menu: "VelmarPro", show the main window
  N19 = 302,  // tray menu: the clipboard into the source box
  N24 = 303,  // tray menu: start with Windows
  N26 = 304,  // tray menu: help
  N27 = 305,  // tray menu: about
  N29 = 306,  // tray menu: exit
  N31 = 307,  // tray menu: caption naming the quick hotkey
  N32 = 308,  // tray menu: caption naming the main hotkey
};

// The names the end-to-end tests find the controls and menu items by.
inline constexpr std::pair<std::string_view, ControlId> kControlNames[] = {
    {"sSpeedButton1", ControlId::sSpeedButton1},
    {"sSpeedButton3", ControlId::sSpeedButton3},
    {"ListBox1", ControlId::ListBox1},
    {"Image1", ControlId::Image1},
    {"Label1", ControlId::Label1},
    {"Bevel1", ControlId::Bevel1},
    {"btn_Velmar", ControlId::btn_Velmar},
    {"sSpeedButton2", ControlId::sSpeedButton2},
    {"sSpeedButton4", ControlId::sSpeedButton4},
    {"btn_About", ControlId::btn_About},
    {"sSpeedButton9", ControlId::sSpeedButton9},
    {"Bevel3", ControlId::Bevel3},
    {"Label3", ControlId::Label3},
    {"Label4", ControlId::Label4},
    {"Label5", ControlId::Label5},
    {"Memo1", ControlId::Memo1},
    {"btn_New", ControlId::btn_New},
    {"btn_Open", ControlId::btn_Open},
    {"btn_Save", ControlId::btn_Save},
    {"SaveSeparator", ControlId::SaveSeparator},
    {"btn_Cut", ControlId::btn_Cut},
    {"btn_Copy", ControlId::btn_Copy},
    {"btn_Paste", ControlId::btn_Paste},
    {"btn_Undo", ControlId::btn_Undo},
    {"Image4", ControlId::Image4},
    {"CheckBox1", ControlId::CheckBox1},
    {"Memo2", ControlId::Memo2},
    {"Label2", ControlId::Label2},
    {"Image2", ControlId::Image2},
    {"Image3", ControlId::Image3},
    {"VerticalSplitter", ControlId::VerticalSplitter},
    {"HorizontalSplitter", ControlId::HorizontalSplitter},
    {"N3", ControlId::N3},
    {"N4", ControlId::N4},
    {"N5", ControlId::N5},
    {"N7", ControlId::N7},
    {"N1", ControlId::N1},
    {"N2", ControlId::N2},
    {"q1", ControlId::q1},
    {"N6", ControlId::N6},
    {"N8", ControlId::N8},
    {"N10", ControlId::N10},
    {"N11", ControlId::N11},
    {"N12", ControlId::N12},
    {"N13", ControlId::N13},
    {"N15", ControlId::N15},
    {"N17", ControlId::N17},
    {"T1", ControlId::T1},
    {"N19", ControlId::N19},
    {"N24", ControlId::N24},
    {"N26", ControlId::N26},
    {"N27", ControlId::N27},
    {"N29", ControlId::N29},
    {"N31", ControlId::N31},
    {"N32", ControlId::N32},
};

// The message the tray icon sends the main window (WM_APP + 20); lParam is the mouse message.
inline constexpr unsigned kTrayCallbackMessage = 0x8000 + 20;

// Timer identifiers.
enum class TimerId : unsigned {
  tmr_AutoVelmar = 1,  // automatic conversion, a second after the last change of the source text
  updTimer = 2,        // the update check, once, a second after start
  listClickRun = 3,    // the run of a table picked by a click, once the time for a double click is over
};

// The window class other programs find the main window by.
inline constexpr wchar_t kMainWindowClass[] = L"TVelmarPro_Api";

}  // namespace velmar
