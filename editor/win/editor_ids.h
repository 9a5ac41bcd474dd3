#pragma once
// Window classes and control identifiers of the table editor and its
// parameters dialog: what WM_COMMAND carries and GetDlgItem finds, shared
// with the tests that drive the windows from outside.
#include <windows.h>

namespace velmar {

inline constexpr wchar_t kTableEditClass[] = L"TTableEditForm";
inline constexpr wchar_t kTableParamClass[] = L"TTableParamForm";

enum class EditorId : int {
  sSpeedButton1 = 101,  // open
  sSpeedButton2 = 102,  // save as
  sSpeedButton4 = 103,  // parameters
  sSpeedButton3 = 104,  // close
  btn_Delete = 105,     // delete the selected pair
  btn_Up = 106,         // move it up
  btn_Down = 107,       // move it down
  Separator1 = 108,
  Separator2 = 109,
  Separator3 = 110,
  ListBox1 = 111,       // the pairs
  sSpeedButton5 = 112,  // add a pair
  Label1 = 113,         // "Орегинал:"
  Edit1 = 114,          // source
  Label2 = 115,         // ">"
  Label3 = 116,         // "Транскрипция:"
  Edit2 = 117,          // target
  LabelSample = 118,    // "Проба:"
  EditSample = 119,     // a sample line
  LabelArrow = 120,
  EditResult = 121,     // its conversion (read-only)
  StatusBar1 = 122,
  // Not a control: F1, the guide to the table format.
  FormatGuide = 0xF1,
};

enum class ParamId : int {
  LabelFrom = 201,
  EditFrom = 202,
  LabelFromIcon = 203,
  ComboBox1 = 204,
  LabelTo = 205,
  EditTo = 206,
  LabelToIcon = 207,
  ComboBox2 = 208,
  LabelDesc = 209,
  EditDesc = 210,
  Bevel1 = 211,
  LabelSets = 212,  // "Наборы букв для контекстов"
  EditSets = 213,   // one "name=letters" a line
  Button1 = IDOK,      // "ОК"
  Button2 = IDCANCEL,  // "Отмена"
};

constexpr int Id(EditorId id) { return static_cast<int>(id); }
constexpr int Id(ParamId id) { return static_cast<int>(id); }

}  // namespace velmar
