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

// A named letter set of the "Sets" section, which context pairs name.
struct LetterSet {
  std::string name;
  std::string letters;
  bool operator==(const LetterSet&) const = default;
};

// What a table file holds beside the header and the pairs, in UTF-8 whatever
// the table's encoding (so a Windows-1251 table that turns Unicode keeps them
// as they are): the letter sets, and the sections the editor does not edit
// (such as "First"), each kept line for line with its header.
struct EditorSections {
  std::vector<LetterSet> sets;
  std::vector<std::string> kept;
  bool operator==(const EditorSections&) const = default;
};

// Context pairs are rows of the pair list like the others: their source is
// "source@conditions" ("Е@start,after:vowel"), and they are written to the
// "Context" section, the conditions after the last "@". An "@" at the start
// or the end of a source is a letter.
bool IsContextSource(std::string_view source);

// The sets as the parameters dialog shows them, one "name=letters" a line
// (UTF-8, CR LF), and back: blank lines are skipped.
std::string SetsText(const std::vector<LetterSet>& sets);
std::vector<LetterSet> ParseSetsText(std::string_view text);

// A table of any encoding: its Encoding says how its texts are held (bytes
// of Windows-1251, or UTF-8 for a file with a Unicode byte order mark).
struct EditorLoad {
  TTransTable table;   // header and pairs as written: the "Table" pairs, then the "Context" pairs
  EditorSections sections;
  int keysInFile = 0;  // keys of the "Table" and "Context" sections, including those beyond the capacity
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
TableEncoding SavingEncoding(const TTransTable& table, TableEncoding opened, const EditorSections& sections = {});

// A value as the file holds it: in quotation marks when blanks at its ends or
// quotation marks around it would otherwise be lost on reading.
std::string WrittenValue(std::string_view value);

// The text of the table file, in the table's own encoding: "Information"
// with its five keys, "Table" with the plain pairs in order, "Sets",
// "Context" with the context pairs in order (each left out when empty), then
// the kept sections. Pairs whose sources differ only in case must be merged
// first. A text of `sections` Windows-1251 cannot hold becomes "?" in a
// Windows-1251 table: EditorFileBytes refuses that.
std::string SerializeEditorTable(const TTransTable& table, const EditorSections& sections = {});

// The bytes of the file in `encoding`: Windows-1251 as they stand, UTF-8 or
// UTF-16 little-endian after the byte order mark. A text that Windows-1251
// cannot hold is no Windows-1251 file: nothing then.
std::optional<std::string> EditorFileBytes(const TTransTable& table, TableEncoding encoding,
                                           const EditorSections& sections = {});

// Writes a fresh file in `encoding` through a temporary file and a rename:
// nothing of an older file lingers, and a failed save leaves it whole (a
// read-only file is not touched). False on failure, `failure` says why.
bool SaveEditorTable(const TTransTable& table, const std::filesystem::path& path,
                     TableEncoding encoding = TableEncoding::Cp1251, const EditorSections& sections = {},
                     WriteFailure* failure = nullptr);

// Rows whose sources are equal without regard to case, all in small letters
// or all with capitals; each group in row order, groups ordered by their
// first row. Such rows become one key on saving.
std::vector<std::vector<int>> CaseMergeGroups(const TTransTable& table);

// The table as its file holds it: each group of rows that differ only in the
// case of their source becomes one pair at the first row, with that row's
// source and the target of the last row (the value written last wins).
TTransTable MergeCaseDuplicates(const TTransTable& table);

// Why a pair cannot be written so that it reads back the same. Blanks at the
// ends of a target or of the header's texts, and quotation marks around them,
// are kept by WrittenValue; a key has no such way.
enum class PairProblem {
  SourceBlankAtEdge,    // a key loses its blanks at either end ("_" stands for a blank)
  SourceHasEquals,      // the key would end at the "="
  SourceStartsBracket,  // the line would open a section and take every later pair into it
  ContextUnreadable,    // the conditions after "@" are no list of start, end, after:SET, before:SET
  ContextUnknownSet,    // a condition names a set the table does not define
  SetBadName,           // a set name that is not Latin letters and digits (row: the set's index)
  SetNoLetters,         // a set without letters (row: the set's index)
  OutsideCodePage,      // a character Windows-1251 cannot hold (the stand-in byte)
};
struct PairIssue {
  int row;  // -1: the header (names and description); the set's index for Set problems
  PairProblem problem;
};
// A problem that makes a pair come back otherwise, or damages others: such a
// table is not saved at all. The others are said before a save, which may go on.
bool RefusesSave(PairProblem problem);
// Every problem of every pair, in row order, then those of the sets; the
// header only for OutsideCodePage.
std::vector<PairIssue> UnwritablePairs(const TTransTable& table, const EditorSections& sections = {});

// The name a save writes to: ".table" appended unless the name ends with it (in any case).
std::filesystem::path WithTableExtension(const std::filesystem::path& chosen);

// A flag of the catalogue: 0..260. Other numbers show no flag and are kept.
bool IsFlagNumber(int icon);
// The icon a confirmed flag list gives: its selected item, or the old number when none is selected.
int PickedIcon(int selectedItem, int previous);

// The table the main window would build from the saved file (lower-cased
// copies, "_" as blank, contexts), and the conversion of one sample line
// with it, words in capitals kept in capitals as the program does by default.
TTransTable PreviewTable(const TTransTable& editorTable, const EditorSections& sections = {});
std::string PreviewLine(const TTransTable& preview, std::string_view sample);

// Whether any of the saved files lies in the folder.
bool SavedIntoFolder(const std::vector<std::filesystem::path>& saved, const std::filesystem::path& folder);

}  // namespace velmar
