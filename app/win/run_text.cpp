#include "run_text.h"

#include "run_progress.h"
#include "text.h"

namespace velmar {

void TakeRunText(RunSnapshot& snapshot, const TTransTable& table, std::wstring_view text,
                 std::vector<std::wstring>* standIns) {
  if (table.IsUnicode()) {
    snapshot.text = ui::Narrow(text);
    snapshot.table = table;
    return;
  }
  snapshot.text = ui::ToCp1251(text, standIns);
  snapshot.table = WithoutStandInPairs(table);
}

std::wstring RunResultText(bool unicode, std::string_view result, std::span<const std::wstring> standIns) {
  return unicode ? ui::Widen(result) : ui::FromCp1251(result, standIns);
}

std::string RunResultCp1251(bool unicode, std::string_view result) {
  return unicode ? ui::ToCp1251(ui::Widen(result)) : std::string(result);
}

std::wstring TableText(const TTransTable& table, std::string_view text) {
  return table.IsUnicode() ? ui::Widen(text) : ui::FromCp1251(text);
}

}  // namespace velmar
