// The main window's ways into the table editor: its button, and "edit this
// table" from the table list. A save into the table folder reloads the tables.
#include "uMain.h"

#include <windowsx.h>

#include "table_edit_model.h"
#include "uTableEditor.h"

namespace velmar {
namespace {

constexpr UINT kEditTableCommand = 1;

}  // namespace

void TVelmarPro_Api::sSpeedButton3Click() { OpenTableEditor({}); }

void TVelmarPro_Api::OpenTableEditor(const std::filesystem::path& file) {
  std::vector<std::filesystem::path> saved;
  {
    TTableEditForm editor;
    editor_ = &editor;
    saved = editor.ShowModal(hwnd_, file);
    editor_ = nullptr;
  }
  // A table saved into the folder can be used at once, unless the program
  // was closed meanwhile (from the tray menu), which took the editor with it.
  if (hwnd_ && SavedIntoFolder(saved, exeFolder_ / L"Table")) ReloadTablesKeepingChoice();
}

bool TVelmarPro_Api::ConfirmEditorExit(bool close) { return !editor_ || editor_->ConfirmExit(close); }

void TVelmarPro_Api::ReloadTablesKeepingChoice() {
  // A table and its reverse share their file: the row is found by the file
  // and its place after the file's first row.
  const int selected = ListBox1_.Selected();
  const std::filesystem::path file = TableFileOfRow(selected);
  int offset = selected;
  for (int row = 0; row < selected && !file.empty(); ++row)
    if (TableFileOfRow(row) == file) {
      offset = selected - row;
      break;
    }
  const bool registered = protocol_.Registered();
  FormCreate(false);
  protocol_.RestoreRegistration(registered);
  int row = file.empty() ? offset : -1;
  for (int r = 0; r < store_.StoreCount() && row < 0 && !file.empty(); ++r)
    if (TableFileOfRow(r) == file) row = r + offset;
  // The table's file may be gone, or hold no pairs any more: then the first row, as a reload has it.
  if (row >= 0 && row < store_.StoreCount() && (file.empty() || TableFileOfRow(row) == file)) {
    ListBox1_.Select(row);
    ShowSelectedTable();
  }
}

// The file of a row of the table list, or nothing for the built-in tables.
std::filesystem::path TVelmarPro_Api::TableFileOfRow(LRESULT row) const {
  if (row < 0 || row >= store_.StoreCount()) return {};
  return store_.Store[static_cast<std::size_t>(row)].FilePath;
}

void TVelmarPro_Api::ListBox1DblClick() {
  // The run of the first click waits until the editor is closed.
  KillTimer(hwnd_, static_cast<UINT_PTR>(TimerId::listClickRun));
  const bool runPending = listClickRunPending_;
  listClickRunPending_ = false;
  const std::filesystem::path file = TableFileOfRow(ListBox1_.Selected());
  if (!file.empty()) OpenTableEditor(file);
  if (runPending && hwnd_) Button1Click();
}

void TVelmarPro_Api::ListBox1ContextPopup(LPARAM where) {
  HWND list = ListBox1_.hwnd();
  POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
  LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (where == -1) {
    // From the keyboard: under the selected row.
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    at = {r.left + 20, r.bottom};
    ClientToScreen(list, &at);
  } else {
    POINT client = at;
    ScreenToClient(list, &client);
    const auto hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
    if (HIWORD(hit)) return;  // below the last row
    row = LOWORD(hit);
  }
  const std::filesystem::path file = TableFileOfRow(row);
  const ui::Menu menu(CreatePopupMenu());
  AppendMenuW(menu.get(), MF_STRING | (file.empty() ? MF_GRAYED : 0), kEditTableCommand, L"Редактировать таблицу");
  const auto picked = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON,
                                     at.x, at.y, 0, hwnd_, nullptr);
  if (picked == static_cast<BOOL>(kEditTableCommand) && !file.empty()) OpenTableEditor(file);
}

}  // namespace velmar
