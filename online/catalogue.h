#pragma once
// The module catalogue: an INI text on the maker's server, one section per
// module. Everything here is portable; the module window calls it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "file_names.h"

namespace velmar::online {

// Where the catalogue lies under the server's base address.
inline constexpr char kCataloguePath[] = "/zo_velmar/modules/dwl_modules.ini";
// The text fetch reads at most this much; a longer body is cut there.
inline constexpr std::size_t kFetchLimit = 65536;

// The catalogue URL of a server's base address ("http://host:port", with or
// without a trailing slash).
std::string CatalogueUrl(std::string_view server);

// The fetched body as it is stored in "tst.ini": split at CR LF, CR or LF, a
// NUL byte ends the text, every line followed by CR LF.
std::string CatalogueFileText(std::string_view body);

struct ModuleEntry {
  std::string Name, Desc, FileName, URL;
  std::string Sha256;  // optional: the file's digest in hexadecimal
};

// The sections of the catalogue in file order (a section named twice is read
// at its first place), each read with missing keys as empty strings. When the
// body was cut at the fetch limit (`cut`), its last section may be incomplete
// (half a URL) and is left out.
std::vector<ModuleEntry> ParseModuleCatalogue(std::string_view text, bool cut = false);

// The section names of an INI text in file order, each once.
std::vector<std::string> SectionNames(std::string_view text);

// The downloaded mark: some loaded table's file name equals FileName, compared
// as Windows compares file names: every letter without regard to case, Latin
// and Cyrillic alike ("Мой.table" is "мой.table"), other bytes exactly.
bool IsModuleDownloaded(std::string_view fileName, std::span<const std::string> loadedFileNames);
// Two Windows-1251 file names the file system takes for the same.
bool EqualsFileNameNoCase(std::string_view a, std::string_view b);
bool EqualsLatinNoCase(std::string_view a, std::string_view b);

// The bare name of a file in the table folder, checked before anything is
// written under it: not empty, no path separator, drive, "..", wildcard or
// control character, no name Windows keeps for a device, ending in ".table".
bool IsSafeModuleFileName(std::string_view fileName);
// An absolute http:// or https:// address with a host and no blanks or
// control characters.
bool IsWebUrl(std::string_view url);
// The module can be offered for download: a safe FileName and a web URL.
bool IsDownloadable(const ModuleEntry& entry);

// The caption of a download with progress: "Скачивание файла 50.0%..." (UTF-8)
// with the user's decimal separator; the position is taken at most at the
// maximum, and a maximum of 0 counts as done.
std::string DownloadCaption(std::uint64_t position, std::uint64_t maximum, std::string_view decimalSeparator);

}  // namespace velmar::online
