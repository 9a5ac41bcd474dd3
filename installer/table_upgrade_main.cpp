// The installer's helper for the standard tables of an update:
//   table_upgrade.exe NEW_TABLES TABLE_FOLDER DIGESTS LOG
// brings the tables of NEW_TABLES into TABLE_FOLDER, replacing only copies
// whose digest DIGESTS lists (versions we shipped, never changed by the
// user), and writes what it did to LOG, a line a table in UTF-16 LE, which
// the installer shows in its log. Exit code 1 when a table could not be
// written, 2 for wrong arguments.
//   table_upgrade.exe --remove TABLE_FOLDER DIGESTS
// is the uninstaller's: it removes the standard tables the user never
// changed, and keeps every other table.
#include <string>

#include "profile.h"
#include "table_upgrade.h"

int wmain(int argc, wchar_t** argv) {
  using namespace velmar;
  if (argc == 4 && std::wstring(argv[1]) == L"--remove") {
    const std::optional<std::string> digests = ReadWholeFile(argv[3]);
    if (!digests) return 2;
    online::RemoveUnchangedStandardTables(argv[2], *digests);
    return 0;
  }
  if (argc != 5) return 2;
  const std::optional<std::string> digests = ReadWholeFile(argv[3]);
  const auto steps = online::UpgradeStandardTables(argv[1], argv[2], online::ReadShippedDigests(digests.value_or("")));
  std::string log;
  bool failed = false;
  for (const online::TableUpgradeStep& step : steps) {
    failed = failed || step.action == online::TableUpgrade::Failed;
    for (wchar_t c : online::UpgradeLogLine(step) + L"\r\n") {
      log += static_cast<char>(c & 0xFF);
      log += static_cast<char>((c >> 8) & 0xFF);
    }
  }
  if (!WriteFileAtomically(argv[4], log)) return 1;
  return failed ? 1 : 0;
}
