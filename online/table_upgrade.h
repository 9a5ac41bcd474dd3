#pragma once
// An update of the standard tables in an installed Table folder: a table the
// user never changed is replaced by the new version, a table the user changed
// is kept and the new version is put beside it, where the program does not
// load it. "Never changed" means its bytes are those of a version we shipped.
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace velmar::online {

// The digests of a list of "hex  name" lines ("#" begins a comment), lower case.
std::set<std::string> ReadShippedDigests(std::string_view text);

enum class TableUpgrade {
  Added,       // the folder had no such table
  Current,     // the installed copy is the new version already
  Replaced,    // the installed copy was an earlier version we shipped
  KeptBeside,  // the user changed it: kept, the new version written as NAME.new
  Failed,      // the new version could not be written
};

struct TableUpgradeStep {
  std::filesystem::path name;  // file name of the table
  TableUpgrade action = TableUpgrade::Added;
};

// The name the new version gets beside a table the user changed.
std::filesystem::path NewVersionName(const std::filesystem::path& name);

// Brings every ".table" file of newTables into tableFolder (created when
// missing), by name order.
std::vector<TableUpgradeStep> UpgradeStandardTables(const std::filesystem::path& newTables,
                                                    const std::filesystem::path& tableFolder,
                                                    const std::set<std::string>& shippedDigests);

// What the uninstaller takes away from tableFolder: each standard table whose
// name and bytes are those of a version we shipped (a line of `digestList`,
// "hex  name"), and the new versions written beside tables the user changed.
// A table the user changed or wrote stays. The names removed.
std::vector<std::filesystem::path> RemoveUnchangedStandardTables(const std::filesystem::path& tableFolder,
                                                                  std::string_view digestList);

// What the installer's log says of a step, in Russian.
std::wstring UpgradeLogLine(const TableUpgradeStep& step);

}  // namespace velmar::online
