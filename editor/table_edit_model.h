#pragma once
// The table editor's model, free of windows: the editor table and its pairs
// exactly as written (no change of case, "_" kept), reading and writing a
// table file, and the checks a save makes first.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile.h"
#include "tables.h"

namespace velmar {

// The loader reads at most this many keys of a section, so the editor holds no more pairs.
inline constexpr int kEditorPairCapacity = 500;

// A new table: "Украинский", "Английский", "Новая таблица транскрипции", flags 244 and 247, no pairs.
TTransTable NewEditorTable();

// A table of any encoding: its Encoding says how its texts are held (bytes
// of Windows-1251, or UTF-8 for a file with a Unicode byte order mark).
struct EditorLoad {
  TTransTable table;   // header and pairs as written (Table below TableCount)
  int keysInFile = 0;  // keys of the "Table" section, including those beyond the capacity
  std::string error;   // a Unicode file that is no text in its encoding (the table is then empty)
  bool Truncated() const { return keysInFile > table.TableCount; }
};

// A file that cannot be read, or holds none of the sections, gives the empty
// table: no names, flags 244 and 247, no pairs.
// `unicode`: the texts are UTF-8 and keys are told apart by Unicode's case.
EditorLoad EditorTableFromProfile(const ProfileFile& file, bool unicode = false);
EditorLoad LoadEditorTable(const std::filesystem::path& path);

// The table with every text turned from Windows-1251 into UTF-8: a Unicode
// table, for texts the code page cannot hold. A Unicode table stays as it is.
TTransTable AsUnicodeTable(TTransTable table);

// The encoding a save writes: a table opened from a Unicode file keeps its
// encoding; a new table or one opened from a Windows-1251 file is written in
// Windows-1251 unless one of its texts needs more, then in UTF-8 with the
// byte order mark. `opened` is the encoding of the file the table came from
// (Windows-1251 for a new table).
TableEncoding SavingEncoding(const TTransTable& table, TableEncoding opened);

// The text of the table file, in the table's own encoding: "Information"
// with its five keys, then "Table" with one key per pair in order (left out
// when there are no pairs). Pairs whose sources differ only in case must be
// merged first.
std::string SerializeEditorTable(const TTransTable& table);

// The bytes of the file in `encoding`: Windows-1251 as they stand, UTF-8 or
// UTF-16 little-endian after the byte order mark. A text of a Unicode table
// that Windows-1251 cannot hold is no Windows-1251 file: nothing then.
std::optional<std::string> EditorFileBytes(const TTransTable& table, TableEncoding encoding);

// Writes a fresh file in `encoding` through a temporary file and a rename:
// nothing of an older file lingers, and a failed save leaves it whole. False
// on failure.
bool SaveEditorTable(const TTransTable& table, const std::filesystem::path& path,
                     TableEncoding encoding = TableEncoding::Cp1251);

// Rows whose sources are equal without regard to case; each group in row
// order, groups ordered by their first row. Such rows become one key on saving.
std::vector<std::vector<int>> CaseMergeGroups(const TTransTable& table);

// The table as its file holds it: each group of rows that differ only in the
// case of their source becomes one pair at the first row, with that row's
// source and the target of the last row (the value written last wins).
TTransTable MergeCaseDuplicates(const TTransTable& table);

// Why a pair cannot be written so that it reads back the same.
enum class PairProblem {
  SourceBlankAtEdge,  // a key loses its blanks at either end ("_" stands for a blank)
  SourceHasEquals,    // the key would end at the "="
  SourceStartsBracket,  // the line would read as a section header
  TargetBlankAtEdge,  // a value loses its blanks at either end
  TargetQuoted,       // a value in quotation marks loses them
  OutsideCodePage,    // a character Windows-1251 cannot hold (the stand-in byte)
};
struct PairIssue {
  int row;  // -1: the header (names and description)
  PairProblem problem;
};
// Every problem of every pair, in row order; the header only for OutsideCodePage.
std::vector<PairIssue> UnwritablePairs(const TTransTable& table);

// The name a save writes to: ".table" appended unless the name ends with it (in any case).
std::filesystem::path WithTableExtension(const std::filesystem::path& chosen);

// A flag of the catalogue: 0..260. Other numbers show no flag and are kept.
bool IsFlagNumber(int icon);
// The icon a confirmed flag list gives: its selected item, or the old number when none is selected.
int PickedIcon(int selectedItem, int previous);

// The table the main window would build from the saved file (lower-cased
// copies, "_" as blank), and the conversion of one sample line with it.
TTransTable PreviewTable(const TTransTable& editorTable);
std::string PreviewLine(const TTransTable& preview, std::string_view sample);

// Whether any of the saved files lies in the folder.
bool SavedIntoFolder(const std::vector<std::filesystem::path>& saved, const std::filesystem::path& folder);

}  // namespace velmar
