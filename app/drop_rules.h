#pragma once
// Files dragged onto the main window: what a drop means where it lands, and
// the copy of a dropped table into the table folder. Portable: the window side
// (drop_files.h) gathers the files and the place and shows what these decide.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tables.h"

namespace velmar {

// Where the files were let go.
enum class DropArea { SourceBox, TableList, Elsewhere };

struct DroppedFile {
  std::filesystem::path path;
  bool isFolder = false;
};

enum class DropAction {
  OpenText,     // the one file opens in the source box as "Открыть" opens it
  AddTables,    // every file is a table for the table folder
  Refuse,       // `reason` says why
};

struct DropDecision {
  DropAction action = DropAction::Refuse;
  std::string reason;  // UTF-8, for the user; empty when nothing was dropped
};

DropDecision DecideDrop(DropArea area, const std::vector<DroppedFile>& files);

// A file of the table folder whose name equals `name` when letters are
// compared without regard to case (Cyrillic ones too), as Windows compares
// file names; empty when there is none.
std::filesystem::path SameNameTable(const std::filesystem::path& tableFolder, const std::filesystem::path& name);

enum class AddOutcome {
  Added,        // a new file in the folder
  Replaced,     // the user let it replace the table of the same name
  Kept,         // the user kept the table of the same name
  AlreadyThere, // the dropped file is the folder's own file
  Refused,      // not copied: `reason` says why
};

struct AddResult {
  AddOutcome outcome = AddOutcome::Refused;
  std::filesystem::path target;  // the file in the table folder
  std::string reason;            // UTF-8, for Refused
};

// Copies a dropped table into the table folder (made when missing). The file
// name must be one the module catalogue would accept, the file must read as a
// table, and a table of the same name is replaced only when `replace`, asked
// with that file's path, says yes. The copy is whole or nothing: a failed
// write leaves the old table as it was.
AddResult AddTableFile(const std::filesystem::path& source, const std::filesystem::path& tableFolder,
                       const std::function<bool(const std::filesystem::path& existing)>& replace);

// The question before replacing `existing` (UTF-8).
std::string ReplaceQuestion(const std::filesystem::path& existing);

// A table of the store by its file and side (a file's own table or its
// reverse), so that a reload can select it again: its slot, or -1.
std::int32_t FindTableSlot(const TTableStore& store, const std::filesystem::path& file, bool reverse);
// Whether a slot holds the reverse of the table before it.
bool IsReverseSlot(std::int32_t slot);

}  // namespace velmar
