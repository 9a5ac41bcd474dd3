#include "table_file.h"

#include <algorithm>
#include <system_error>
#include <unordered_set>

#include "convert.h"
#include "cp1251.h"
#include "file_names.h"
#include "unicode_case.h"
#include "unicode_table.h"

namespace velmar {
namespace {

constexpr const char* kInformation = "Information";

std::string Blanks(std::string_view s) { return ReplaceAll(s, "_", " "); }

std::string LowerFolded(const std::filesystem::path& p) {
  auto name = p.filename().u8string();
  std::string s(name.begin(), name.end());
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool HasTableExtension(const std::filesystem::path& p) {
  std::string name = LowerFolded(p);
  constexpr std::string_view kExt = ".table";
  return name.size() >= kExt.size() && name.compare(name.size() - kExt.size(), kExt.size(), kExt) == 0;
}

// The keys of a section in file order with their values, at most as many as
// a table keeps. A key named twice (in any case) counts once, at its first
// place, with its first value; a Unicode table compares them by Unicode case.
std::vector<ProfileFile::Entry> SectionPairs(const ProfileFile& file, std::string_view section, bool unicode) {
  if (!unicode) return file.Entries(section, kMaxKeysPerSection);
  return DistinctUnicodeEntries(file, section, kMaxKeysPerSection);
}

}  // namespace

std::vector<ProfileFile::Entry> DistinctUnicodeEntries(const ProfileFile& file, std::string_view section,
                                                       std::size_t most) {
  std::vector<ProfileFile::Entry> pairs;
  std::unordered_set<std::string> seen;
  for (auto& [key, value] : file.AllEntries(section)) {
    if (pairs.size() >= most) break;
    if (!seen.insert(Utf8ToLower(key)).second) continue;
    pairs.push_back({std::move(key), std::move(value)});
  }
  return pairs;
}

TTransTable TableFromProfile(const ProfileFile& file, TableEncoding encoding) {
  TTransTable t;
  t.Encoding = encoding;
  t.From = file.GetString(kInformation, "From");
  t.To = file.GetString(kInformation, "To");
  t.Description = file.GetString(kInformation, "Description");
  t.FromIcon = file.GetInt(kInformation, "FromIcon", kFlagUkraine);
  t.ToIcon = file.GetInt(kInformation, "ToIcon", kFlagUnitedStates);
  auto lower = [&](std::string_view s) { return t.IsUnicode() ? Utf8ToLower(s) : Cp1251ToLower(s); };

  // Lower-cased copies first, then the pairs as written; "_" stands for a blank.
  const auto pairs = SectionPairs(file, "Table", t.IsUnicode());
  for (const auto& [key, value] : pairs) t.AddPair(Blanks(lower(key)), Blanks(lower(value)));
  for (const auto& [key, value] : pairs) t.AddPair(Blanks(key), Blanks(value));

  // "First" pairs keep their "_".
  const auto firstPairs = SectionPairs(file, "First", t.IsUnicode());
  for (const auto& [key, value] : firstPairs) t.AddFirstPair(lower(key), lower(value));
  for (const auto& [key, value] : firstPairs) t.AddFirstPair(key, value);
  return t;
}

TTransTable ReadTableFile(const std::filesystem::path& path, std::string* error) {
  TTransTable t;
  if (auto bytes = ReadWholeFile(path)) {
    TableFileText text = DecodeTableFile(*bytes);
    if (text.error.empty()) t = TableFromProfile(ProfileFile::Parse(text.text), text.encoding);
    else if (error) *error = text.error;
  } else if (error) {
    std::error_code ec;
    const bool regular = std::filesystem::is_regular_file(path, ec) || !std::filesystem::exists(path, ec);
    *error = regular ? "cannot read the file" : "it is not a regular file";
  }
  t.FilePath = path;
  return t;
}

std::vector<std::filesystem::path> ListTableFiles(const std::filesystem::path& folder,
                                                  std::vector<std::filesystem::path>* skipped) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    // A device name would open the device (a serial port can block the start).
    const auto name = it->path().filename().u8string();
    if (IsReservedDeviceName(std::string_view(reinterpret_cast<const char*>(name.data()), name.size()))) continue;
    if (!HasTableExtension(it->path())) continue;
    // Only a regular file (or a link to one): a FIFO would block the read,
    // a link to a device never end it. A link to nothing is skipped too.
    std::error_code statusError;
    if (it->is_regular_file(statusError)) files.push_back(it->path());
    else if (skipped && !it->is_directory(statusError)) skipped->push_back(it->path());
  }
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
    std::string la = LowerFolded(a), lb = LowerFolded(b);
    return la != lb ? la < lb : a.filename() < b.filename();
  });
  return files;
}

void LoadTableFile(TTableStore& store, std::int32_t k, const std::filesystem::path& path) {
  TTransTable t = ReadTableFile(path);
  if (static_cast<std::size_t>(k) < store.Store.size()) store.Store[k] = std::move(t);
  else store.Store.push_back(std::move(t));
}

void LoadTables(TTableStore& store, const std::filesystem::path& tableFolder,
                std::vector<std::filesystem::path>* skipped) {
  store.Clear();
  store.BuildBuiltInTables();
  for (const auto& path : ListTableFiles(tableFolder, skipped)) {
    std::int32_t k = store.StoreCount();
    LoadTableFile(store, k, path);
    store.DeriveReverseTable(k);
  }
}

}  // namespace velmar
