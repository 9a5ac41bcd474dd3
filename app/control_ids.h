#pragma once
// The main window's control identifiers: the values WM_COMMAND carries and
// GetDlgItem finds, shared with the end-to-end test client.

namespace velmar {

// Control identifiers; the values are what WM_COMMAND carries.
enum class ControlId : int {
  sSpeedButton1 = 101,  // "Загрузить модули"
  sSpeedButton3,        // table editor
  ListBox1,
  Image1,
  Label1,  // the embossed title
  Bevel1,
  btn_Velmar,
  sSpeedButton2,  // "Режим"
  sSpeedButton4,  // "Справка"
  btn_About,
  sSpeedButton9,  // "Выход"
  Bevel3,
  Label3,
  Label4,
  Label5,
  Memo1,
  btn_New,
  btn_Open,
  btn_Save,
  SaveSeparator,
  btn_Cut,
  btn_Copy,
  btn_Paste,
  btn_Undo,
  Image4,
  CheckBox1,
  Memo2,
  Label2,
  Image2,  // progress bar frame
  Image3,  // progress bar fill
  VerticalSplitter,
  HorizontalSplitter,
  N3 = 201,  // mode menu: "_" for blanks
  N4,        // mode menu: hyphen for blanks
  N5,        // mode menu: compress
  N1 = 211,  // save menu: the source box
  N2,        // save menu: the result box
  q1 = 221,  // context menu of the text boxes: amount in words, rubles
  N6,        // amount in words, hryvnias
  N8,        // undo
  N10,       // cut
  N11,       // copy
  N12,       // paste
  N13,       // delete
  N15,       // select all
  N17,       // statistics
  T1 = 301,  // tray menu: "VelmarPro", show the main window
  N19,       // tray menu: the clipboard into the source box
  N24,       // tray menu: start with Windows
  N26,       // tray menu: help
  N27,       // tray menu: about
  N29,       // tray menu: exit
  N31,       // tray menu: caption naming the quick hotkey
  N32,       // tray menu: caption naming the main hotkey
};

// The message the tray icon sends the main window (WM_APP + 20); lParam is the mouse message.
inline constexpr unsigned kTrayCallbackMessage = 0x8000 + 20;

// Timer identifiers.
enum class TimerId : unsigned {
  tmr_AutoVelmar = 1,  // automatic conversion, a second after the last change of the source text
  updTimer = 2,        // the update check, once, a second after start
};

// The window class other programs find the main window by.
inline constexpr wchar_t kMainWindowClass[] = L"TVelmarPro_Api";

}  // namespace velmar
