#include "table_file.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <unordered_map>

#include "convert.h"
#include "cp1251.h"
#include "file_names.h"
#include "unicode_case.h"
#include "unicode_table.h"
#include "utf8.h"

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

// A key of a section and its value; and, where the section also holds the
// key in small letters, that key and its value.
struct KeyEntry {
  std::string key, value;
  std::optional<ProfileFile::Entry> small;
};

// The keys of a section in file order with their values, at most as many as
// a table keeps; a key in small letters joins the same key with capitals, at
// the place of the first of the two.
std::vector<KeyEntry> SectionPairs(const ProfileFile& file, std::string_view section, const TTransTable& t) {
  std::vector<KeyEntry> pairs;
  const auto lower = [&](std::string_view s) { return t.IsUnicode() ? Utf8ToLower(s) : Cp1251ToLower(s); };
  for (auto& [key, value] : TableSectionEntries(file, section, t.IsUnicode(), kMaxKeysPerSection)) {
    auto other = std::find_if(pairs.begin(), pairs.end(), [&](const KeyEntry& p) { return lower(p.key) == lower(key); });
    if (other == pairs.end()) {
      pairs.push_back({std::move(key), std::move(value), std::nullopt});
    } else if (IsSmallKey(t, key)) {
      other->small = ProfileFile::Entry{std::move(key), std::move(value)};
    } else {
      other->small = ProfileFile::Entry{std::move(other->key), std::move(other->value)};
      other->key = std::move(key);
      other->value = std::move(value);
    }
  }
  return pairs;
}

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// The letters of a set or a context as the engines see the table's text:
// bytes of a Windows-1251 table, code points of a Unicode table; small.
std::u32string SmallLetters(const TTransTable& t, std::string_view text) {
  std::u32string letters;
  if (t.IsUnicode()) {
    std::u32string decoded;
    DecodeUtf8(text, decoded);
    for (char32_t cp : decoded) letters += UnicodeToLower(cp);
  } else {
    for (char c : text) letters += static_cast<char32_t>(Cp1251ToLower(static_cast<unsigned char>(c)));
  }
  return letters;
}

// "start,after:vowel" with the table's sets; nothing, and *why, when a
// condition cannot be read.
std::optional<PairContext> ParseConditions(std::string_view text,
                                           const std::vector<std::pair<std::string, std::u32string>>& sets,
                                           std::string& why) {
  PairContext context;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t comma = text.find(',', pos);
    if (comma == std::string_view::npos) comma = text.size();
    const std::string word = AsciiLower(TrimBlanks(text.substr(pos, comma - pos)));
    pos = comma + 1;
    if (word == "start") {
      context.start = true;
      continue;
    }
    if (word == "end") {
      context.end = true;
      continue;
    }
    const std::size_t colon = word.find(':');
    const std::string side = word.substr(0, colon);
    if (colon == std::string::npos || (side != "after" && side != "before")) {
      why = "unknown condition \"" + word + "\"";
      return std::nullopt;
    }
    const std::string name(TrimBlanks(std::string_view(word).substr(colon + 1)));
    auto set = std::find_if(sets.begin(), sets.end(), [&](const auto& s) { return s.first == name; });
    if (set == sets.end()) {
      why = "no set named \"" + name + "\"";
      return std::nullopt;
    }
    (side == "after" ? context.after : context.before) += set->second;
  }
  return context;
}

}  // namespace

bool IsSmallKey(const TTransTable& table, std::string_view key) {
  return key == (table.IsUnicode() ? Utf8ToLower(key) : Cp1251ToLower(key));
}

std::vector<ProfileFile::Entry> TableSectionEntries(const ProfileFile& file, std::string_view section, bool unicode,
                                                    std::size_t most, bool couples) {
  std::vector<ProfileFile::Entry> entries;
  std::unordered_map<std::string, std::pair<bool, bool>> seen;  // by lower-cased key: small, with capitals
  for (auto& [key, value] : file.AllEntries(section)) {
    std::string lower = unicode ? Utf8ToLower(key) : Cp1251ToLower(key);
    const bool small = couples && lower == key;
    auto found = seen.find(lower);
    if (found == seen.end()) {
      if (seen.size() >= most) continue;
      found = seen.emplace(std::move(lower), std::pair{false, false}).first;
    }
    bool& taken = small ? found->second.first : found->second.second;
    if (taken) continue;
    taken = true;
    entries.push_back({std::move(key), std::move(value)});
  }
  return entries;
}

// The pairs of the "Context" section ("source@conditions=target") with their
// contexts added to the table; a key that cannot be read makes no pair.
template <typename Pair>
std::vector<Pair> ContextPairsOf(const ProfileFile& file, TTransTable& t, std::string* problems) {
  std::vector<std::pair<std::string, std::u32string>> sets;
  for (const auto& [name, letters] : file.AllEntries("Sets"))
    sets.emplace_back(AsciiLower(TrimBlanks(name)), SmallLetters(t, letters));
  std::vector<Pair> pairs;
  for (auto& [key, value, small] : SectionPairs(file, "Context", t)) {
    const std::size_t at = key.rfind('@');
    std::string why = "no \"@\" and conditions";
    std::optional<PairContext> context;
    if (at != std::string::npos && at > 0) context = ParseConditions(std::string_view(key).substr(at + 1), sets, why);
    if (!context) {
      if (problems) *problems += (problems->empty() ? "" : "; ") + std::string("context key ") + key + ": " + why;
      continue;
    }
    t.Contexts.push_back(*context);
    pairs.push_back({key.substr(0, at), std::move(value), static_cast<std::int32_t>(t.Contexts.size()), std::nullopt});
    if (small) pairs.back().small.emplace(small->key.substr(0, small->key.rfind('@')), std::move(small->value));
  }
  return pairs;
}

TTransTable TableFromProfile(const ProfileFile& file, TableEncoding encoding, std::string* problems) {
  TTransTable t;
  t.Encoding = encoding;
  t.From = file.GetString(kInformation, "From");
  t.To = file.GetString(kInformation, "To");
  t.Description = file.GetString(kInformation, "Description");
  t.FromIcon = file.GetInt(kInformation, "FromIcon", kFlagUkraine);
  t.ToIcon = file.GetInt(kInformation, "ToIcon", kFlagUnitedStates);
  auto lower = [&](std::string_view s) { return t.IsUnicode() ? Utf8ToLower(s) : Cp1251ToLower(s); };

  // The pairs in the order they are applied: each context pair just before
  // the first plain pair with its source, the rest after all of them.
  struct Pair {
    std::string source, target;
    std::int32_t context = 0;
    // The key's small letters written as a key of their own: this pair
    // replaces the lower-cased copy.
    std::optional<std::pair<std::string, std::string>> small;
  };
  std::vector<Pair> pairs;
  std::vector<Pair> contextPairs = ContextPairsOf<Pair>(file, t, problems);
  std::vector<Pair> plainPairs;
  for (auto& [key, value, small] : SectionPairs(file, "Table", t)) {
    plainPairs.push_back({std::move(key), std::move(value), 0, std::nullopt});
    if (small) plainPairs.back().small.emplace(std::move(small->key), std::move(small->value));
  }
  std::vector<bool> placed(contextPairs.size(), false);
  for (Pair& plain : plainPairs) {
    for (std::size_t i = 0; i < contextPairs.size(); ++i) {
      if (!placed[i] && lower(contextPairs[i].source) == lower(plain.source)) {
        pairs.push_back(contextPairs[i]);
        placed[i] = true;
      }
    }
    pairs.push_back(std::move(plain));
  }
  for (std::size_t i = 0; i < contextPairs.size(); ++i)
    if (!placed[i]) pairs.push_back(contextPairs[i]);

  // Lower-cased copies first, then the pairs as written; "_" stands for a blank.
  for (const Pair& p : pairs) {
    if (p.small) t.AddPair(Blanks(p.small->first), Blanks(p.small->second), p.context);
    else t.AddPair(Blanks(lower(p.source)), Blanks(lower(p.target)), p.context);
  }
  for (const Pair& p : pairs) t.AddPair(Blanks(p.source), Blanks(p.target), p.context);

  // "First" pairs keep their "_".
  const auto firstPairs = TableSectionEntries(file, "First", t.IsUnicode(), kMaxKeysPerSection, false);
  for (const auto& [key, value] : firstPairs) t.AddFirstPair(lower(key), lower(value));
  for (const auto& [key, value] : firstPairs) t.AddFirstPair(key, value);
  return t;
}

TTransTable ReadTableFile(const std::filesystem::path& path, std::string* error) {
  TTransTable t;
  if (auto bytes = ReadWholeFile(path)) {
    TableFileText text = DecodeTableFile(*bytes);
    if (text.error.empty()) t = TableFromProfile(ProfileFile::Parse(text.text), text.encoding, error);
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
