#include "table_edit_model.h"

#include <algorithm>
#include <system_error>

#include "convert.h"
#include "cp1251.h"
#include "run_progress.h"
#include "table_converter.h"
#include "table_file.h"
#include "text_lines.h"
#include "unicode_case.h"
#include "unicode_engine.h"
#include "unicode_table.h"
#include "utf8.h"

namespace velmar {
namespace {

constexpr const char* kInformation = "Information";
constexpr const char* kTable = "Table";
constexpr const char* kSets = "Sets";
constexpr const char* kContext = "Context";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool BlankAtEdge(std::string_view s) { return !s.empty() && (IsBlank(s.front()) || IsBlank(s.back())); }
bool HasStandIn(std::string_view s) { return s.find(static_cast<char>(kCp1251Undefined)) != std::string_view::npos; }

bool IsLatinOrDigit(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }
bool IsSetName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), IsLatinOrDigit);
}
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool AsciiEqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The problem of the conditions after "@", if any: read as the loader reads
// them (words in any case, blanks around them ignored).
std::optional<PairProblem> ConditionsProblem(std::string_view conditions, const std::vector<LetterSet>& sets) {
  std::optional<PairProblem> unknownSet;
  while (true) {
    const std::size_t comma = conditions.find(',');
    const std::string_view item = TrimBlanks(conditions.substr(0, comma));
    if (!AsciiEqualsNoCase(item, "start") && !AsciiEqualsNoCase(item, "end")) {
      const std::size_t colon = item.find(':');
      if (colon == std::string_view::npos) return PairProblem::ContextUnreadable;
      const std::string_view word = TrimBlanks(item.substr(0, colon)), name = TrimBlanks(item.substr(colon + 1));
      if ((!AsciiEqualsNoCase(word, "after") && !AsciiEqualsNoCase(word, "before")) || name.empty())
        return PairProblem::ContextUnreadable;
      if (std::none_of(sets.begin(), sets.end(),
                       [&](const LetterSet& s) { return AsciiEqualsNoCase(TrimBlanks(s.name), name); }))
        unknownSet = PairProblem::ContextUnknownSet;
    }
    if (comma == std::string_view::npos) break;
    conditions.remove_prefix(comma + 1);
  }
  return unknownSet;
}

// Lines of the sections the editor keeps as they stand, grouped with their headers.
std::vector<std::string> KeptSections(std::string_view text) {
  std::vector<std::string> kept;
  bool keeping = false;
  for (std::string_view raw : SplitLines(text)) {
    std::string_view line = raw;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (!line.empty() && line.front() == '[') {
      const std::size_t close = line.find(']');
      std::string_view name = line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
      while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
      while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
      keeping = true;
      for (const char* edited : {kInformation, kTable, kSets, kContext})
        if (EqualsNoCase(name, edited)) keeping = false;
      if (keeping) kept.emplace_back();
    }
    if (keeping) kept.back().append(raw).append("\r\n");
  }
  return kept;
}

}  // namespace

bool IsContextSource(std::string_view source) {
  // The conditions follow the last "@", as the loader reads them.
  const std::size_t at = source.rfind('@');
  return at != std::string_view::npos && at > 0 && at + 1 < source.size();
}

std::string SetsText(const std::vector<LetterSet>& sets) {
  std::string text;
  for (const LetterSet& set : sets) text.append(set.name).append("=").append(set.letters).append("\r\n");
  return text;
}

std::vector<LetterSet> ParseSetsText(std::string_view text) {
  std::vector<LetterSet> sets;
  for (std::string_view line : SplitLines(text)) {
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    if (line.empty()) continue;
    const std::size_t eq = line.find('=');
    LetterSet set;
    set.name = std::string(line.substr(0, eq));
    if (eq != std::string_view::npos) set.letters = std::string(line.substr(eq + 1));
    while (!set.name.empty() && IsBlank(set.name.back())) set.name.pop_back();
    while (!set.letters.empty() && IsBlank(set.letters.front())) set.letters.erase(0, 1);
    sets.push_back(std::move(set));
  }
  return sets;
}

TTransTable NewEditorTable() {
  TTransTable t;
  t.From = "\xD3\xEA\xF0\xE0\xE8\xED\xF1\xEA\xE8\xE9";  // Украинский
  t.To = "\xC0\xED\xE3\xEB\xE8\xE9\xF1\xEA\xE8\xE9";    // Английский
  t.Description = "\xCD\xEE\xE2\xE0\xFF \xF2\xE0\xE1\xEB\xE8\xF6\xE0 \xF2\xF0\xE0\xED\xF1\xEA\xF0\xE8\xEF\xF6\xE8\xE8";  // Новая таблица транскрипции
  t.FromIcon = kFlagUkraine;
  t.ToIcon = kFlagUnitedStates;
  return t;
}

EditorLoad EditorTableFromProfile(const ProfileFile& file, bool unicode) {
  EditorLoad load;
  TTransTable& t = load.table;
  t.From = file.GetString(kInformation, "From");
  t.To = file.GetString(kInformation, "To");
  t.Description = file.GetString(kInformation, "Description");
  t.FromIcon = file.GetInt(kInformation, "FromIcon", kFlagUkraine);
  t.ToIcon = file.GetInt(kInformation, "ToIcon", kFlagUnitedStates);
  if (unicode) {
    // Keys named twice in Unicode's sense of case count once, at their first
    // place with their first value, as the loader reads them (the byte-wise
    // comparison of the Windows-1251 path would take "Џ" for "П").
    t.Encoding = TableEncoding::Utf8;
  }
  // Each section keeps at most as many keys as the loader reads of it.
  for (const char* section : {kTable, kContext}) {
    const auto entries = TableSectionEntries(file, section, unicode);
    load.keysInFile += static_cast<int>(entries.size());
    int taken = 0;
    for (const auto& [key, value] : entries) {
      if (taken++ >= kEditorPairCapacity) break;
      t.AddPair(key, value);
    }
  }
  for (const auto& [name, letters] : file.Entries(kSets))
    load.sections.sets.push_back({unicode ? name : Cp1251ToUtf8(name), unicode ? letters : Cp1251ToUtf8(letters)});
  return load;
}

EditorLoad LoadEditorTable(const std::filesystem::path& path) {
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return EditorTableFromProfile(ProfileFile{});
  if (bytes->starts_with("\xFE\xFF")) {
    // Read as Windows-1251 this is no table at all, and a save over it would
    // throw its pairs away: the editor does not open it.
    EditorLoad load = EditorTableFromProfile(ProfileFile{});
    load.error = "файл в кодировке UTF-16 big-endian, а таблицы читаются в UTF-8, UTF-16 little-endian или Windows-1251";
    return load;
  }
  const TableFileText text = DecodeTableFile(*bytes);
  if (!text.error.empty()) {
    EditorLoad load = EditorTableFromProfile(ProfileFile{});
    load.error = text.encoding == TableEncoding::Utf16Le
                     ? "файл начинается с метки UTF-16 little-endian, но его текст не в этой кодировке"
                     : "файл начинается с метки UTF-8, но его текст не в этой кодировке";
    return load;
  }
  EditorLoad load = EditorTableFromProfile(ProfileFile::Parse(text.text), text.encoding != TableEncoding::Cp1251);
  load.table.Encoding = text.encoding;
  for (std::string& section : KeptSections(text.text))
    load.sections.kept.push_back(text.encoding == TableEncoding::Cp1251 ? Cp1251ToUtf8(section) : std::move(section));
  return load;
}

TTransTable AsUnicodeTable(TTransTable table) {
  if (table.IsUnicode()) return table;
  for (std::string* text : {&table.From, &table.To, &table.Description}) *text = Cp1251ToUtf8(*text);
  for (int i = 0; i < table.TableCount; ++i) {
    table.Table[i].Source = Cp1251ToUtf8(table.Table[i].Source);
    table.Table[i].Target = Cp1251ToUtf8(table.Table[i].Target);
  }
  table.Encoding = TableEncoding::Utf8;
  return table;
}

TableEncoding SavingEncoding(const TTransTable& table, TableEncoding opened, const EditorSections& sections) {
  if (opened != TableEncoding::Cp1251) return opened;
  return EditorFileBytes(table, TableEncoding::Cp1251, sections) ? TableEncoding::Cp1251 : TableEncoding::Utf8;
}

std::string WrittenValue(std::string_view value) {
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
  // The reader trims blanks, then takes one pair of quotation marks off.
  if (BlankAtEdge(value) || quoted) return "\"" + std::string(value) + "\"";
  return std::string(value);
}

std::string SerializeEditorTable(const TTransTable& table, const EditorSections& sections) {
  const auto own = [&](const std::string& utf8) {
    if (table.IsUnicode()) return utf8;
    std::string bytes;
    Utf8ToCp1251(utf8, bytes, nullptr);
    return bytes;
  };
  std::string out = "[Information]\r\n";
  const auto entry = [&out](std::string_view key, std::string_view value) {
    out.append(key).append("=").append(WrittenValue(value)).append("\r\n");
  };
  entry("From", table.From);
  entry("To", table.To);
  entry("Description", table.Description);
  entry("FromIcon", std::to_string(table.FromIcon));
  entry("ToIcon", std::to_string(table.ToIcon));
  for (const bool context : {false, true}) {
    if (context && !sections.sets.empty()) {
      out += "[Sets]\r\n";
      for (const LetterSet& set : sections.sets) entry(own(set.name), own(set.letters));
    }
    bool header = false;
    for (int i = 0; i < table.TableCount; ++i) {
      if (IsContextSource(table.Table[i].Source) != context) continue;
      if (!header) out += context ? "[Context]\r\n" : "[Table]\r\n";
      header = true;
      entry(table.Table[i].Source, table.Table[i].Target);
    }
  }
  for (const std::string& kept : sections.kept) out += own(kept);
  return out;
}

std::optional<std::string> EditorFileBytes(const TTransTable& table, TableEncoding encoding,
                                           const EditorSections& sections) {
  // A fresh file: the text is built from nothing, so no old key or section stays.
  const std::string text = SerializeEditorTable(table, sections);
  if (!table.IsUnicode()) {
    if (encoding != TableEncoding::Cp1251) return EditorFileBytes(AsUnicodeTable(table), encoding, sections);
    // The sets and kept sections are UTF-8: a letter Windows-1251 lacks needs a Unicode file.
    std::string extra = SetsText(sections.sets), bytes;
    for (const std::string& kept : sections.kept) extra += kept;
    std::vector<std::string> outside;
    if (Utf8ToCp1251(extra, bytes, &outside) || !outside.empty()) return std::nullopt;
    return text;
  }
  switch (encoding) {
    case TableEncoding::Utf8:
      return std::string(kUtf8ByteOrderMark) + text;
    case TableEncoding::Utf16Le:
      return std::string(kUtf16LeByteOrderMark) + Utf8ToUtf16Le(text);
    case TableEncoding::Cp1251:
      break;
  }
  std::string cp1251;
  std::vector<std::string> outside;
  if (Utf8ToCp1251(text, cp1251, &outside) || !outside.empty()) return std::nullopt;
  return cp1251;
}

bool SaveEditorTable(const TTransTable& table, const std::filesystem::path& path, TableEncoding encoding,
                     const EditorSections& sections, WriteFailure* failure) {
  const std::optional<std::string> bytes = EditorFileBytes(table, encoding, sections);
  if (!bytes && failure) *failure = WriteFailure::Write;
  return bytes && WriteFileAtomically(path, *bytes, failure);
}

std::vector<std::vector<int>> CaseMergeGroups(const TTransTable& table) {
  std::vector<std::vector<int>> groups;
  std::vector<bool> taken(static_cast<std::size_t>(table.TableCount), false);
  for (int i = 0; i < table.TableCount; ++i) {
    if (taken[i]) continue;
    std::vector<int> group{i};
    for (int j = i + 1; j < table.TableCount; ++j) {
      const std::string& a = table.Table[i].Source;
      const std::string& b = table.Table[j].Source;
      // The loader reads keys of a Unicode table without regard to Unicode
      // case, and keeps a key in small letters beside the same with capitals.
      if (!taken[j] && (table.IsUnicode() ? Utf8EqualsNoCase(a, b) : EqualsNoCase(a, b)) &&
          IsSmallKey(table, a) == IsSmallKey(table, b)) {
        group.push_back(j);
        taken[j] = true;
      }
    }
    if (group.size() > 1) groups.push_back(std::move(group));
  }
  return groups;
}

TTransTable MergeCaseDuplicates(const TTransTable& table) {
  TTransTable merged = table;
  std::vector<bool> dropped(static_cast<std::size_t>(table.TableCount), false);
  for (const auto& group : CaseMergeGroups(table)) {
    merged.Table[group.front()].Target = table.Table[group.back()].Target;
    for (std::size_t k = 1; k < group.size(); ++k) dropped[group[k]] = true;
  }
  int kept = 0;
  for (int i = 0; i < table.TableCount; ++i)
    if (!dropped[i]) merged.Table[kept++] = merged.Table[i];
  for (int i = kept; i < table.TableCount; ++i) merged.Table[i] = {};
  merged.TableCount = kept;
  return merged;
}

bool RefusesSave(PairProblem problem) { return problem != PairProblem::OutsideCodePage; }

std::vector<PairIssue> UnwritablePairs(const TTransTable& table, const EditorSections& sections) {
  std::vector<PairIssue> issues;
  // In a Unicode table the byte 0x98 is part of a character, never a stand-in.
  const auto standIn = [&](std::string_view s) { return !table.IsUnicode() && HasStandIn(s); };
  if (standIn(table.From) || standIn(table.To) || standIn(table.Description))
    issues.push_back({-1, PairProblem::OutsideCodePage});
  for (int i = 0; i < table.TableCount; ++i) {
    const std::string& s = table.Table[i].Source;
    const std::string& t = table.Table[i].Target;
    if (BlankAtEdge(s)) issues.push_back({i, PairProblem::SourceBlankAtEdge});
    if (s.find('=') != std::string::npos) issues.push_back({i, PairProblem::SourceHasEquals});
    if (!s.empty() && s.front() == '[') issues.push_back({i, PairProblem::SourceStartsBracket});
    if (IsContextSource(s))
      if (const auto problem = ConditionsProblem(std::string_view(s).substr(s.rfind('@') + 1), sections.sets))
        issues.push_back({i, *problem});
    if (standIn(s) || standIn(t)) issues.push_back({i, PairProblem::OutsideCodePage});
  }
  for (std::size_t k = 0; k < sections.sets.size(); ++k) {
    const int row = static_cast<int>(k);
    if (!IsSetName(sections.sets[k].name)) issues.push_back({row, PairProblem::SetBadName});
    if (sections.sets[k].letters.empty()) issues.push_back({row, PairProblem::SetNoLetters});
  }
  return issues;
}

std::filesystem::path WithTableExtension(const std::filesystem::path& chosen) {
  const std::wstring name = chosen.filename().wstring();
  constexpr std::wstring_view kExt = L".table";
  bool has = name.size() >= kExt.size();
  for (std::size_t i = 0; has && i < kExt.size(); ++i) {
    wchar_t c = name[name.size() - kExt.size() + i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    has = c == kExt[i];
  }
  if (has) return chosen;
  std::filesystem::path withExt = chosen;
  withExt += kExt;
  return withExt;
}

bool IsFlagNumber(int icon) { return icon >= 0 && icon < kFlagCount; }

int PickedIcon(int selectedItem, int previous) { return IsFlagNumber(selectedItem) ? selectedItem : previous; }

TTransTable PreviewTable(const TTransTable& editorTable, const EditorSections& sections) {
  // Exactly what the table list would hold after a save: the merged pairs
  // written, then read back by the loader.
  const ProfileFile file = ProfileFile::Parse(SerializeEditorTable(MergeCaseDuplicates(editorTable), sections));
  if (editorTable.IsUnicode()) return TableFromProfile(file, TableEncoding::Utf8);
  return WithoutStandInPairs(TableFromProfile(file));
}

std::string PreviewLine(const TTransTable& preview, std::string_view sample) {
  // As the main window converts by default: contexts applied, words in capitals kept in capitals.
  return TableLineConverter(preview, ConversionOptions{}).Convert(sample);
}

bool SavedIntoFolder(const std::vector<std::filesystem::path>& saved, const std::filesystem::path& folder) {
  for (const auto& path : saved) {
    std::error_code ec;
    const auto parent = path.parent_path();
    if (std::filesystem::equivalent(parent, folder, ec) && !ec) return true;
    if (parent.lexically_normal() == folder.lexically_normal()) return true;
  }
  return false;
}

}  // namespace velmar
