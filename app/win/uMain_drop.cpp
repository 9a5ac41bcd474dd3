// The main window's side of a drop: a text file opens in the source box as the
// open command opens it, tables join the table folder and the list follows.
#include "uMain.h"

namespace velmar {

void TVelmarPro_Api::CreateFileDrop() {
  DropHost host;
  host.window = hwnd_;
  host.sourceBox = boxes_.Source().hwnd();
  host.tableList = ListBox1_.hwnd();
  host.tableFolder = exeFolder_ / L"Table";
  host.busy = [this] { return run_.Running(); };
  host.openText = [this](const std::wstring& file) { OpenTextFile(file); };
  host.reloadTables = [this] { ReloadTablesKeepingSelection(); };
  drop_.Attach(std::move(host));
}

// A table reload that leaves the user on the table they had chosen (found by
// its file and side, since new files move it down the list); the first table
// when it is gone. No run: the chosen table has not changed.
void TVelmarPro_Api::ReloadTablesKeepingSelection() {
  const int selected = ListBox1_.Selected();
  std::filesystem::path file;
  bool reverse = false;
  if (selected >= 0 && selected < store_.StoreCount()) {
    file = store_.Store[static_cast<std::size_t>(selected)].FilePath;
    reverse = IsReverseSlot(selected);
  }
  FormCreate(false);
  if (const std::int32_t slot = FindTableSlot(store_, file, reverse); slot > 0) {
    ListBox1_.Select(slot);
    ShowSelectedTable();
  }
}

}  // namespace velmar
