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
  sSpeedButton2,        // save as
  sSpeedButton4,        // parameters
  sSpeedButton3,        // close
  btn_Delete,           // delete the selected pair
  btn_Up,               // move it up
  btn_Down,             // move it down
  Separator1,
  Separator2,
  Separator3,
  ListBox1,             // the pairs
  sSpeedButton5,        // add a pair
  Label1,               // "Орегинал:"
  Edit1,                // source
  Label2,               // ">"
  Label3,               // "Транскрипция:"
  Edit2,                // target
  LabelSample,          // "Проба:"
  EditSample,           // a sample line
  LabelArrow,
  EditResult,           // its conversion (read-only)
  StatusBar1,
};

enum class ParamId : int {
  LabelFrom = 201,
  EditFrom,
  LabelFromIcon,
  ComboBox1,
  LabelTo,
  EditTo,
  LabelToIcon,
  ComboBox2,
  LabelDesc,
  EditDesc,
  Bevel1,
  LabelSets,  // "Наборы букв для контекстов"
  EditSets,   // one "name=letters" a line
  Button1 = IDOK,      // "ОК"
  Button2 = IDCANCEL,  // "Отмена"
};

}  // namespace velmar
