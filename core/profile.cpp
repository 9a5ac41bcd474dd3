#include "profile.h"

#include <fstream>
#include <system_error>
#include <unordered_set>

#include "cp1251.h"
#include "text_lines.h"

namespace velmar {
namespace {

std::string_view StripQuotes(std::string_view s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
    return s.substr(1, s.size() - 2);
  }
  return s;
}

}  // namespace

std::string_view TrimBlanks(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  // A FIFO would block the open and a device (/dev/zero) never end.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Cp1251ToLower(static_cast<unsigned char>(a[i])) !=
        Cp1251ToLower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

ProfileFile ProfileFile::Parse(std::string_view bytes) {
  ProfileFile file;
  std::string section;
  for (std::string_view raw : SplitLines(bytes)) {
    Line line;
    line.text = std::string(raw);
    std::string_view trimmed = TrimBlanks(raw);
    if (!trimmed.empty() && trimmed.front() == '[') {
      std::size_t close = trimmed.find(']');
      section = std::string(TrimBlanks(trimmed.substr(1, close == std::string_view::npos ? close : close - 1)));
      line.header = true;
    } else if (std::size_t eq = trimmed.find('='); eq != std::string_view::npos) {
      line.entry = true;
      line.key = std::string(TrimBlanks(trimmed.substr(0, eq)));
      line.value = std::string(StripQuotes(TrimBlanks(trimmed.substr(eq + 1))));
    }
    line.section = section;
    file.lines_.push_back(std::move(line));
  }
  return file;
}

std::optional<ProfileFile> ProfileFile::Load(const std::filesystem::path& path) {
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  return Parse(*bytes);
}

bool ProfileFile::HasSection(std::string_view section) const {
  for (const auto& l : lines_)
    if (l.header && EqualsNoCase(l.section, section)) return true;
  return false;
}

std::vector<ProfileFile::Entry> ProfileFile::Entries(std::string_view section, std::size_t maxKeys) const {
  std::vector<Entry> entries;
  std::unordered_set<std::string> seen;  // lower-cased names
  for (const auto& l : lines_) {
    if (entries.size() >= maxKeys) break;
    if (!l.entry || !EqualsNoCase(l.section, section)) continue;
    if (seen.insert(Cp1251ToLower(l.key)).second) entries.push_back({l.key, l.value});
  }
  return entries;
}

std::vector<std::string> ProfileFile::KeyNames(std::string_view section) const {
  std::vector<std::string> keys;
  for (auto& entry : Entries(section)) keys.push_back(std::move(entry.key));
  return keys;
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key) const {
  for (const auto& l : lines_)
    if (l.entry && EqualsNoCase(l.section, section) && EqualsNoCase(l.key, key)) return l.value;
  return std::nullopt;
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view fallback) const {
  auto v = Get(section, key);
  return v ? *v : std::string(fallback);
}

std::int32_t ProfileFile::GetInt(std::string_view section, std::string_view key,
                                 std::int32_t fallback) const {
  auto v = Get(section, key);
  if (!v) return fallback;
  auto n = ParseInt32(*v);
  return n ? *n : fallback;
}

std::vector<ProfileFile::Entry> ProfileFile::AllEntries(std::string_view section) const {
  std::vector<Entry> entries;
  for (const auto& l : lines_)
    if (l.entry && EqualsNoCase(l.section, section)) entries.push_back({l.key, l.value});
  return entries;
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string text = std::string(key) + "=" + std::string(value);
  std::optional<std::size_t> lastOfSection;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    Line& l = lines_[i];
    if (!EqualsNoCase(l.section, section)) continue;
    if (l.header || l.entry) lastOfSection = i;
    if (l.entry && EqualsNoCase(l.key, key)) {
      l.text = text;
      l.key = std::string(key);
      l.value = std::string(value);
      return;
    }
  }
  Line entry;
  entry.text = text;
  entry.section = std::string(section);
  entry.entry = true;
  entry.key = std::string(key);
  entry.value = std::string(value);
  if (lastOfSection) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*lastOfSection) + 1, std::move(entry));
    return;
  }
  Line header;
  header.text = "[" + std::string(section) + "]";
  header.section = std::string(section);
  header.header = true;
  lines_.push_back(std::move(header));
  lines_.push_back(std::move(entry));
}

void ProfileFile::EraseSection(std::string_view section) {
  std::erase_if(lines_, [&](const Line& l) { return EqualsNoCase(l.section, section); });
}

std::string ProfileFile::Serialize() const {
  std::string out;
  for (const auto& l : lines_) {
    out += l.text;
    out += "\r\n";
  }
  return out;
}

bool ProfileFile::Save(const std::filesystem::path& path, WriteFailure* failure) const {
  return WriteFileAtomically(path, Serialize(), failure);
}

bool IsReadOnlyFile(const std::filesystem::path& path) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::is_regular_file(status)) return false;
  return (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, WriteFailure* failure) {
  const auto fail = [failure](WriteFailure why) {
    if (failure) *failure = why;
    return false;
  };
  if (failure) *failure = WriteFailure::None;
  if (IsReadOnlyFile(path)) return fail(WriteFailure::ReadOnly);
  std::filesystem::path temp = path;
  temp += ".tmp";
  {
    std::ofstream outFile(temp, std::ios::binary | std::ios::trunc);
    if (!outFile) return fail(WriteFailure::Create);
    outFile.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    outFile.flush();
    if (!outFile) {
      outFile.close();
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return fail(WriteFailure::Write);
    }
  }
  std::error_code ec;
  // Marked read-only while the bytes were written: still not replaced.
  if (IsReadOnlyFile(path)) {
    std::filesystem::remove(temp, ec);
    return fail(WriteFailure::ReadOnly);
  }
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    return fail(WriteFailure::Replace);
  }
  return true;
}

}  // namespace velmar
