#pragma once
// Table files (".table", a profile file in Windows-1251) and the loader that
// fills the table store from the table folder.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "profile.h"
#include "tables.h"

namespace velmar {

// A section holds at most this many keys: each key gives two pairs.
inline constexpr int kMaxKeysPerSection = kTablePairCapacity / 2;

// The table a profile file describes (FilePath is left to the caller). The
// strings of a Unicode table are UTF-8, its keys compared and lower-cased by
// Unicode's simple case mapping. A "Context" key that cannot be read makes no
// pair, and *problems (when given) says which and why.
TTransTable TableFromProfile(const ProfileFile& file, TableEncoding encoding = TableEncoding::Cp1251,
                             std::string* problems = nullptr);

// The keys of a section of a Unicode table (UTF-8) in file order with their
// values: a key named twice in Unicode's sense of case counts once, at its
// first place with its first value; at most `most` of them.
std::vector<ProfileFile::Entry> DistinctUnicodeEntries(const ProfileFile& file, std::string_view section,
                                                       std::size_t most = SIZE_MAX);

// Reads a table file in the encoding its byte order mark names (Windows-1251
// without one). A file that cannot be read, or is no text in its encoding,
// gives the empty table (no names, icons 244 and 247, no pairs) with FilePath
// set all the same, and *error (when given) says why.
TTransTable ReadTableFile(const std::filesystem::path& path, std::string* error = nullptr);

// The ".table" files of a folder (any case of the ending, no subfolders),
// sorted by name without regard to case, as Windows file systems list them.
std::vector<std::filesystem::path> ListTableFiles(const std::filesystem::path& folder);

// Reads the file into slot k (appending the slot when the store has no slot k yet).
void LoadTableFile(TTableStore& store, std::int32_t k, const std::filesystem::path& path);

// Empties the store and fills it: the built-in table and its reverse, then
// every table file of the folder and its reverse. A missing folder is no error.
void LoadTables(TTableStore& store, const std::filesystem::path& tableFolder);

}  // namespace velmar
