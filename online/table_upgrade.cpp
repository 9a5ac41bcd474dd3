#include "table_upgrade.h"

#include <algorithm>
#include <system_error>

#include "profile.h"
#include "sha256.h"
#include "table_file.h"

namespace velmar::online {

namespace {

// Calls take(hex, name) for every "hex  name" line of a digest list.
template <typename Take>
void ForEachDigestLine(std::string_view text, Take take) {
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = TrimBlanks(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() < 64 || line.front() == '#') continue;
    std::string hex(line.substr(0, 64));
    std::transform(hex.begin(), hex.end(), hex.begin(), [](char c) {
      return c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    if (hex.find_first_not_of("0123456789abcdef") != std::string::npos) continue;
    take(std::move(hex), std::string(TrimBlanks(line.substr(64))));
  }
}

}  // namespace

std::set<std::string> ReadShippedDigests(std::string_view text) {
  std::set<std::string> digests;
  ForEachDigestLine(text, [&](std::string hex, const std::string&) { digests.insert(std::move(hex)); });
  return digests;
}

std::vector<std::filesystem::path> RemoveUnchangedStandardTables(const std::filesystem::path& tableFolder,
                                                                  std::string_view digestList) {
  std::set<std::pair<std::string, std::string>> shipped;  // (digest, file name)
  std::set<std::string> names;
  ForEachDigestLine(digestList, [&](std::string hex, const std::string& name) {
    if (name.empty()) return;
    names.insert(name);
    shipped.emplace(std::move(hex), name);
  });
  std::vector<std::filesystem::path> removed;
  for (const std::string& name : names) {
    const std::filesystem::path table = tableFolder / std::filesystem::u8path(name);
    std::error_code ec;
    const std::filesystem::path beside = tableFolder / NewVersionName(std::filesystem::u8path(name));
    if (std::filesystem::is_regular_file(beside, ec) && std::filesystem::remove(beside, ec))
      removed.push_back(beside.filename());
    const std::optional<std::string> bytes =
        std::filesystem::is_regular_file(table, ec) ? ReadWholeFile(table) : std::nullopt;
    if (bytes && shipped.contains({Sha256Hex(*bytes), name}) && std::filesystem::remove(table, ec))
      removed.push_back(table.filename());
  }
  return removed;
}

std::filesystem::path NewVersionName(const std::filesystem::path& name) {
  std::filesystem::path beside = name;
  beside += ".new";
  return beside;
}

std::vector<TableUpgradeStep> UpgradeStandardTables(const std::filesystem::path& newTables,
                                                    const std::filesystem::path& tableFolder,
                                                    const std::set<std::string>& shippedDigests) {
  std::vector<TableUpgradeStep> steps;
  std::error_code ec;
  std::filesystem::create_directories(tableFolder, ec);
  for (const std::filesystem::path& source : ListTableFiles(newTables)) {
    TableUpgradeStep step{source.filename()};
    const std::optional<std::string> bytes = ReadWholeFile(source);
    const std::filesystem::path installed = tableFolder / step.name;
    const std::optional<std::string> old = ReadWholeFile(installed);
    std::filesystem::path target = installed;
    if (!old && !std::filesystem::exists(installed, ec)) {
      step.action = TableUpgrade::Added;
    } else if (old && bytes && *old == *bytes) {
      step.action = TableUpgrade::Current;
    } else if (old && shippedDigests.contains(Sha256Hex(*old))) {
      step.action = TableUpgrade::Replaced;
    } else {
      step.action = TableUpgrade::KeptBeside;
      target = tableFolder / NewVersionName(step.name);
    }
    if (step.action != TableUpgrade::Current && (!bytes || !WriteFileAtomically(target, *bytes)))
      step.action = TableUpgrade::Failed;
    steps.push_back(std::move(step));
  }
  return steps;
}

std::wstring UpgradeLogLine(const TableUpgradeStep& step) {
  const std::wstring name = step.name.wstring();
  switch (step.action) {
    case TableUpgrade::Added:
      return L"Таблица " + name + L": установлена";
    case TableUpgrade::Current:
      return L"Таблица " + name + L": уже новая";
    case TableUpgrade::Replaced:
      return L"Таблица " + name + L": обновлена";
    case TableUpgrade::KeptBeside:
      return L"Таблица " + name + L": изменена вами и оставлена как есть; новая версия записана рядом как " +
             NewVersionName(step.name).wstring();
    case TableUpgrade::Failed:
      return L"Таблица " + name + L": не удалось записать";
  }
  return {};
}

}  // namespace velmar::online
