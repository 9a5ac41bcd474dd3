#include "table_converter.h"

namespace velmar {

TableLineConverter::TableLineConverter(const TTransTable& table, bool underscore, bool hyphen) {
  if (table.IsUnicode()) unicode_.emplace(table, underscore, hyphen);
  else bytes_.emplace(table, underscore, hyphen);
}

void TableLineConverter::ConvertLines(std::span<const std::string_view> lines, std::vector<std::string>& results) {
  if (unicode_) unicode_->ConvertLines(lines, results);
  else bytes_->ConvertLines(lines, results);
}

void TableLineConverter::ConvertLinesTo(std::span<const std::string_view> lines, std::string_view eol,
                                        std::string& out) {
  if (unicode_) unicode_->ConvertLinesTo(lines, eol, out);
  else bytes_->ConvertLinesTo(lines, eol, out);
}

void CompressAppend(TableCompressState& state, std::string_view piece, std::string& out) {
  if (state.unicode) CompressUtf8Append(state.utf8, piece, out);
  else CompressAppend(state.bytes, piece, out);
}

std::string CompressText(const TTransTable& table, std::string_view text) {
  TableCompressState state;
  state.unicode = table.IsUnicode();
  std::string out;
  out.reserve(text.size());
  CompressAppend(state, text, out);
  return out;
}

}  // namespace velmar
