#pragma once
// The texts of an edited table at the window's edge: Windows-1251 bytes or,
// for a Unicode table, UTF-8.
#include <string>
#include <string_view>
#include <vector>

#include "table_edit_model.h"
#include "text.h"

namespace velmar {

inline std::wstring ShownText(const TTransTable& table, std::string_view text) {
  return table.IsUnicode() ? ui::Widen(text) : ui::FromCp1251(text);
}

// Typed text in the table's encoding. A character Windows-1251 cannot hold
// first turns a Windows-1251 table into a Unicode one, so nothing typed is
// ever lost to a stand-in or a "?".
inline std::string TakenText(TTransTable& table, std::wstring_view text) {
  if (!table.IsUnicode()) {
    std::vector<std::wstring> outside;
    std::string bytes = ui::ToCp1251(text, &outside);
    if (outside.empty()) return bytes;
    table = AsUnicodeTable(std::move(table));
  }
  return ui::Narrow(text);
}

}  // namespace velmar
