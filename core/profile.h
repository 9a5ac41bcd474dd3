#pragma once
// Profile (INI) files: the table files, the settings file and the table editor
// all use this. Bytes are Windows-1251; section and key names compare without
// regard to case (Cyrillic included). Writing keeps every other line as it was.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmar {

// Decimal with optional sign, or hexadecimal after "$" or "0x"/"0X";
// anything else (or a value outside 32 bits) gives nothing. Hexadecimal may
// spell the full 32-bit pattern ("0xFFFFFFFF" is -1), and its sign negates
// that pattern modulo 2^32 ("-0x80000000" is the lowest value).
constexpr std::optional<std::int32_t> ParseInt32(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  const std::int64_t limit = base == 16 ? 0xFFFFFFFFLL : std::numeric_limits<std::int32_t>::max() + 1LL;
  std::int64_t value = 0;
  for (char c : text) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return std::nullopt;
    value = value * base + d;
    if (value > limit) return std::nullopt;
  }
  if (base == 16) {
    const auto bits = static_cast<std::uint32_t>(value);
    return static_cast<std::int32_t>(negative ? 0u - bits : bits);
  }
  if (negative) return static_cast<std::int32_t>(-value);
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// Why a file was not written.
enum class WriteFailure {
  None,
  ReadOnly,  // the file is marked read-only: it is left as it was
  Create,    // no temporary file could be made beside it (a missing or read-only folder)
  Write,     // writing the bytes failed (a full disk)
  Replace,   // the finished file could not take the old one's place
};

class ProfileFile {
 public:
  ProfileFile() = default;

  static ProfileFile Parse(std::string_view bytes);
  // Nothing when the file cannot be read.
  static std::optional<ProfileFile> Load(const std::filesystem::path& path);

  bool HasSection(std::string_view section) const;
  // Key names of a section in file order; a key named twice is listed once,
  // at its first place, and its first value is the one read.
  std::vector<std::string> KeyNames(std::string_view section) const;
  // The same keys with their values, in one pass over the file; reading stops
  // once maxKeys keys are found.
  struct Entry {
    std::string key;
    std::string value;
  };
  std::vector<Entry> Entries(std::string_view section, std::size_t maxKeys = SIZE_MAX) const;
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view fallback = {}) const;
  std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t fallback) const;
  // Every entry of a section in file order, repeated keys included (for
  // callers that compare key names in another way, such as UTF-8 tables).
  std::vector<Entry> AllEntries(std::string_view section) const;

  // Replaces the first entry of the key (any case) or appends it to its
  // section, creating the section at the end of the file when needed.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  void EraseSection(std::string_view section);

  // CR LF separated lines.
  std::string Serialize() const;
  // Writes through a temporary file beside the target, so a failed write
  // leaves the old file whole. False when the file cannot be written.
  bool Save(const std::filesystem::path& path, WriteFailure* failure = nullptr) const;

 private:
  struct Line {
    std::string text;     // the line as it stands in the file
    std::string section;  // section it belongs to (empty before the first header)
    bool header = false;
    bool entry = false;
    std::string key;      // trimmed key of an entry
    std::string value;    // trimmed value, quotes stripped
  };
  std::vector<Line> lines_;
};

bool EqualsNoCase(std::string_view a, std::string_view b);

// The text without the blanks and tabs at its ends.
std::string_view TrimBlanks(std::string_view s);

// The whole file, or nothing when it cannot be read or is no regular file (a
// folder, a FIFO, a device).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Whether an existing file is marked read-only (no write permission for its
// owner, which is how the Windows attribute shows).
bool IsReadOnlyFile(const std::filesystem::path& path);

// Writes `bytes` to a temporary file beside `path` and renames it over
// `path` only when whole: a failed write leaves an older file as it was. A
// read-only target is refused, never replaced: a rename over it succeeds
// under Wine and on POSIX, and would drop the mark with the old contents.
// `failure` (optional) says why it failed.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         WriteFailure* failure = nullptr);

}  // namespace velmar
