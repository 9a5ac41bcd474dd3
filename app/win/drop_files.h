#pragma once
// Files dragged from Explorer (or, under Wine, from any X program) onto the
// main window: WM_DROPFILES, which Windows sends to a window that accepts
// files and Wine makes out of an X drag. Where the files were let go decides
// what they are for (drop_rules.h); this side reads the drop, asks, tells and
// hands the work to the main window's own commands.
#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "drop_rules.h"

namespace velmar {

struct DropHost {
  HWND window = nullptr;     // accepts the files: WM_DROPFILES comes to it
  HWND sourceBox = nullptr;  // a text file dropped here opens in it
  HWND tableList = nullptr;  // a table dropped here joins the table folder
  std::filesystem::path tableFolder;
  std::function<bool()> busy;                               // a run holds the boxes and the list
  std::function<void(const std::wstring& file)> openText;  // the open command, for this file
  std::function<void()> reloadTables;                       // after tables were added or replaced
  // A yes-or-no question and a message; message boxes owned by `window` when not set.
  std::function<bool(const std::wstring& question)> ask;
  std::function<void(const std::wstring& message)> tell;
};

// The files of a drop, in the order the drop lists them, and where it was let
// go in screen coordinates (from the client point of `window`, which receives it).
std::vector<DroppedFile> DroppedFiles(HDROP drop);
POINT DropPoint(HDROP drop, HWND window);

class FileDrop {
 public:
  // From now on the window accepts files.
  void Attach(DropHost host);
  // WM_DROPFILES: does what the drop means and frees it.
  void OnDropFiles(HDROP drop);

 private:
  DropArea AreaAt(POINT screen) const;
  void AddTables(const std::vector<DroppedFile>& files);
  bool Ask(const std::wstring& question) const;
  void Tell(const std::wstring& message) const;

  DropHost host_;
};

}  // namespace velmar
