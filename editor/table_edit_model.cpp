#include "table_edit_model.h"

#include <algorithm>
#include <system_error>

#include "convert.h"
#include "cp1251.h"
#include "run_progress.h"
#include "table_file.h"
#include "unicode_case.h"
#include "unicode_engine.h"
#include "unicode_table.h"
#include "utf8.h"

namespace velmar {
namespace {

constexpr const char* kInformation = "Information";
constexpr const char* kTable = "Table";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool BlankAtEdge(std::string_view s) { return !s.empty() && (IsBlank(s.front()) || IsBlank(s.back())); }
bool HasStandIn(std::string_view s) { return s.find(static_cast<char>(kCp1251Undefined)) != std::string_view::npos; }

}  // namespace

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
    const auto entries = DistinctUnicodeEntries(file, kTable);
    load.keysInFile = static_cast<int>(entries.size());
    for (const auto& [key, value] : entries) {
      if (t.TableCount >= kEditorPairCapacity) break;
      t.AddPair(key, value);
    }
    return load;
  }
  const std::vector<std::string> keys = file.KeyNames(kTable);
  load.keysInFile = static_cast<int>(keys.size());
  for (const std::string& key : keys) {
    if (t.TableCount >= kEditorPairCapacity) break;
    t.AddPair(key, file.GetString(kTable, key));
  }
  return load;
}

EditorLoad LoadEditorTable(const std::filesystem::path& path) {
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return EditorTableFromProfile(ProfileFile{});
  if (bytes->starts_with("\xFE\xFF")) {
    // Read as Windows-1251 this is no table at all, and a save over it would
    // throw its pairs away: the editor does not open it.
    EditorLoad load = EditorTableFromProfile(ProfileFile{});
    load.error = "the file is in UTF-16 big-endian; tables are read in UTF-8, UTF-16 little-endian or Windows-1251";
    return load;
  }
  const TableFileText text = DecodeTableFile(*bytes);
  if (!text.error.empty()) {
    EditorLoad load = EditorTableFromProfile(ProfileFile{});
    load.error = text.error;
    return load;
  }
  EditorLoad load = EditorTableFromProfile(ProfileFile::Parse(text.text), text.encoding != TableEncoding::Cp1251);
  load.table.Encoding = text.encoding;
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

TableEncoding SavingEncoding(const TTransTable& table, TableEncoding opened) {
  if (opened != TableEncoding::Cp1251) return opened;
  return EditorFileBytes(table, TableEncoding::Cp1251) ? TableEncoding::Cp1251 : TableEncoding::Utf8;
}

std::string SerializeEditorTable(const TTransTable& table) {
  std::string out = "[Information]\r\n";
  const auto entry = [&out](std::string_view key, std::string_view value) {
    out.append(key).append("=").append(value).append("\r\n");
  };
  entry("From", table.From);
  entry("To", table.To);
  entry("Description", table.Description);
  entry("FromIcon", std::to_string(table.FromIcon));
  entry("ToIcon", std::to_string(table.ToIcon));
  if (table.TableCount > 0) out += "[Table]\r\n";
  for (int i = 0; i < table.TableCount; ++i) entry(table.Table[i].Source, table.Table[i].Target);
  return out;
}

std::optional<std::string> EditorFileBytes(const TTransTable& table, TableEncoding encoding) {
  // A fresh file: the text is built from nothing, so no old key or section stays.
  const std::string text = SerializeEditorTable(table);
  if (!table.IsUnicode()) {
    if (encoding == TableEncoding::Cp1251) return text;
    return EditorFileBytes(AsUnicodeTable(table), encoding);
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

bool SaveEditorTable(const TTransTable& table, const std::filesystem::path& path, TableEncoding encoding) {
  const std::optional<std::string> bytes = EditorFileBytes(table, encoding);
  return bytes && WriteFileAtomically(path, *bytes);
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
      // The loader reads keys of a Unicode table without regard to Unicode case.
      if (!taken[j] && (table.IsUnicode() ? Utf8EqualsNoCase(a, b) : EqualsNoCase(a, b))) {
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

std::vector<PairIssue> UnwritablePairs(const TTransTable& table) {
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
    if (BlankAtEdge(t)) issues.push_back({i, PairProblem::TargetBlankAtEdge});
    if (t.size() >= 2 && (t.front() == '"' || t.front() == '\'') && t.back() == t.front())
      issues.push_back({i, PairProblem::TargetQuoted});
    if (standIn(s) || standIn(t)) issues.push_back({i, PairProblem::OutsideCodePage});
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

TTransTable PreviewTable(const TTransTable& editorTable) {
  // Exactly what the table list would hold after a save: the merged pairs
  // written, then read back by the loader.
  const ProfileFile file = ProfileFile::Parse(SerializeEditorTable(MergeCaseDuplicates(editorTable)));
  if (editorTable.IsUnicode()) return TableFromProfile(file, TableEncoding::Utf8);
  return WithoutStandInPairs(TableFromProfile(file));
}

std::string PreviewLine(const TTransTable& preview, std::string_view sample) {
  if (preview.IsUnicode()) return UnicodeLineConverter(preview, false, false).Convert(sample);
  return ConvertLine(sample, preview, false, false);
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
