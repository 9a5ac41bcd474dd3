#pragma once
// The text of a run in the encoding its table converts: Windows-1251 bytes
// (characters the code page has not kept aside as stand-ins) for a
// Windows-1251 table, UTF-8 for a Unicode table, which needs no stand-ins.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tables.h"
#include "thread_velmar.h"

namespace velmar {

// Fills the snapshot's text and table from the text box and the selected table.
void TakeRunText(RunSnapshot& snapshot, const TTransTable& table, std::wstring_view text,
                 std::vector<std::wstring>* standIns);
// The result for the text box.
std::wstring RunResultText(bool unicode, std::string_view result, std::span<const std::wstring> standIns);
// The result in Windows-1251, as the status line counts it.
std::string RunResultCp1251(bool unicode, std::string_view result);
// A name or description of the table for the window.
std::wstring TableText(const TTransTable& table, std::string_view text);

}  // namespace velmar
