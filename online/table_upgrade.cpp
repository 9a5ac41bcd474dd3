#include "table_upgrade.h"

#include <algorithm>
#include <system_error>

#include "profile.h"
#include "sha256.h"
#include "table_file.h"

namespace velmar::online {

std::set<std::string> ReadShippedDigests(std::string_view text) {
  std::set<std::string> digests;
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
    if (hex.find_first_not_of("0123456789abcdef") == std::string::npos) digests.insert(std::move(hex));
  }
  return digests;
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
