#include "table_edit_model.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "convert.h"
#include "cp1251.h"
#include "run_progress.h"
#include "table_file.h"

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

bool HasUnicodeMark(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  char head[3] = {};
  in.read(head, 3);
  const std::string_view start(head, static_cast<std::size_t>(in.gcount()));
  return start.starts_with("\xEF\xBB\xBF") || start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF");
}

EditorLoad EditorTableFromProfile(const ProfileFile& file) {
  EditorLoad load;
  TTransTable& t = load.table;
  t.From = file.GetString(kInformation, "From");
  t.To = file.GetString(kInformation, "To");
  t.Description = file.GetString(kInformation, "Description");
  t.FromIcon = file.GetInt(kInformation, "FromIcon", kFlagUkraine);
  t.ToIcon = file.GetInt(kInformation, "ToIcon", kFlagUnitedStates);
  const std::vector<std::string> keys = file.KeyNames(kTable);
  load.keysInFile = static_cast<int>(keys.size());
  for (const std::string& key : keys) {
    if (t.TableCount >= kEditorPairCapacity) break;
    t.AddPair(key, file.GetString(kTable, key));
  }
  return load;
}

EditorLoad LoadEditorTable(const std::filesystem::path& path) {
  const auto file = ProfileFile::Load(path);
  return EditorTableFromProfile(file ? *file : ProfileFile{});
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

bool SaveEditorTable(const TTransTable& table, const std::filesystem::path& path) {
  // A fresh file: the profile file is built from nothing, so no old key or section stays.
  return ProfileFile::Parse(SerializeEditorTable(table)).Save(path);
}

std::vector<std::vector<int>> CaseMergeGroups(const TTransTable& table) {
  std::vector<std::vector<int>> groups;
  std::vector<bool> taken(static_cast<std::size_t>(table.TableCount), false);
  for (int i = 0; i < table.TableCount; ++i) {
    if (taken[i]) continue;
    std::vector<int> group{i};
    for (int j = i + 1; j < table.TableCount; ++j) {
      if (!taken[j] && EqualsNoCase(table.Table[i].Source, table.Table[j].Source)) {
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
  if (HasStandIn(table.From) || HasStandIn(table.To) || HasStandIn(table.Description))
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
    if (HasStandIn(s) || HasStandIn(t)) issues.push_back({i, PairProblem::OutsideCodePage});
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
  return WithoutStandInPairs(TableFromProfile(file));
}

std::string PreviewLine(const TTransTable& preview, std::string_view sample) {
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
