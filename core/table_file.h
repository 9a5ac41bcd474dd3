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

// Whether a key is written in small letters only (a key without letters is).
bool IsSmallKey(const TTransTable& table, std::string_view key);

// The keys of a section of a table in file order with their values, as the
// loader reads them: a key named twice counts once, at its first place with
// its first value (compared without regard to case, Unicode case in a Unicode
// table). With couples, a key in small letters and the same key with
// capitals are both kept, the first of each: the small one's pair then
// stands for the small letters in place of the lower-cased copy of the other
// ("І=I" beside "і=ı"). At most `most` keys, such a couple counting as one.
std::vector<ProfileFile::Entry> TableSectionEntries(const ProfileFile& file, std::string_view section, bool unicode,
                                                    std::size_t most = SIZE_MAX, bool couples = true);

// Reads a table file in the encoding its byte order mark names (Windows-1251
// without one). A file that cannot be read, or is no text in its encoding,
// gives the empty table (no names, icons 244 and 247, no pairs) with FilePath
// set all the same, and *error (when given) says why.
TTransTable ReadTableFile(const std::filesystem::path& path, std::string* error = nullptr);

// The ".table" files of a folder (any case of the ending, no subfolders),
// sorted by name without regard to case, as Windows file systems list them.
// Only regular files (symbolic links followed) are listed; the others of
// that name but folders (a FIFO, a device, a link to nothing) go to *skipped.
std::vector<std::filesystem::path> ListTableFiles(const std::filesystem::path& folder,
                                                  std::vector<std::filesystem::path>* skipped = nullptr);

// Reads the file into slot k (appending the slot when the store has no slot k yet).
void LoadTableFile(TTableStore& store, std::int32_t k, const std::filesystem::path& path);

// Empties the store and fills it: the built-in table and its reverse, then
// every table file of the folder and its reverse. A missing folder is no error.
// What ListTableFiles skips goes to *skipped.
void LoadTables(TTableStore& store, const std::filesystem::path& tableFolder,
                std::vector<std::filesystem::path>* skipped = nullptr);

}  // namespace velmar
