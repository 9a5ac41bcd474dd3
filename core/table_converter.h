#pragma once
// The engine a table needs: bytes for a Windows-1251 table, UTF-8 for a
// Unicode table. The text handed to it is in the same encoding as the table.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine.h"
#include "unicode_engine.h"

namespace velmar {

class TableLineConverter {
 public:
  TableLineConverter(const TTransTable& table, bool underscore, bool hyphen);

  void ConvertLines(std::span<const std::string_view> lines, std::vector<std::string>& results);
  void ConvertLinesTo(std::span<const std::string_view> lines, std::string_view eol, std::string& out);

 private:
  std::optional<LineConverter> bytes_;
  std::optional<UnicodeLineConverter> unicode_;
};

// CompressText in the encoding of a table's text, streaming.
struct TableCompressState {
  bool unicode = false;
  CompressState bytes;
  Utf8CompressState utf8;
};
void CompressAppend(TableCompressState& state, std::string_view piece, std::string& out);
std::string CompressText(const TTransTable& table, std::string_view text);

}  // namespace velmar
