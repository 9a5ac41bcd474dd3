#include "table_converter.h"

#include "utf8.h"

namespace velmar {

TableLineConverter::TableLineConverter(const TTransTable& table, const ConversionOptions& options)
    : unicode_(table.IsUnicode()), capitalWords_(options.capitalWords) {
  if (unicode_) unicodeEngine_.emplace(table, options.underscore, options.hyphen);
  else bytes_.emplace(table, options.underscore, options.hyphen);
  // Contexts are part of the table and hold whatever the option says; the
  // option only decides about capitals.
  everyLine_ = table.HasContexts();
  if (everyLine_ || capitalWords_)
    context_ = std::make_unique<ContextLineConverter>(table, options.underscore, options.hyphen, capitalWords_);
}

bool TableLineConverter::NeedsContextEngine(std::string_view line) {
  if (everyLine_) return true;
  if (!capitalWords_) return false;
  kinds_.clear();
  if (unicode_) {
    while (!line.empty()) {
      char32_t cp = 0;
      const int n = DecodeUtf8Sequence(line, cp);
      if (n <= 0) {
        kinds_.push_back(CharKind::Other);
        line.remove_prefix(1);
        continue;
      }
      kinds_.push_back(UnicodeKind(cp));
      line.remove_prefix(static_cast<std::size_t>(n));
    }
  } else {
    for (char c : line) kinds_.push_back(Cp1251Kind(static_cast<unsigned char>(c)));
  }
  return AnyCapitals(kinds_);
}

template <typename Emit>
void TableLineConverter::ConvertPlain(std::span<const std::string_view> lines, Emit emit) {
  if (bytes_) {
    bytes_->ConvertLinesWith(lines, emit);
    return;
  }
  plain_.clear();
  unicodeEngine_->ConvertLines(lines, plain_);
  for (const std::string& line : plain_) emit(std::string_view(line));
}

template <typename Emit>
void TableLineConverter::ConvertBlocks(std::span<const std::string_view> lines, Emit emit) {
  // Runs of lines that capitals and contexts leave alone go to the fast
  // engines as they are; each other line to the context engine.
  std::size_t i = 0;
  while (i < lines.size()) {
    std::size_t end = i;
    while (end < lines.size() && !NeedsContextEngine(lines[end])) ++end;
    if (end > i) ConvertPlain(lines.subspan(i, end - i), emit);
    if (end < lines.size()) {
      converted_.clear();
      context_->ConvertTo(lines[end], converted_);
      emit(std::string_view(converted_));
      ++end;
    }
    i = end;
  }
}

template class LineConverterCalls<TableLineConverter>;

std::optional<Utf8MapConverter> OneLetterConverter(const TTransTable& table, const ConversionOptions& options,
                                                   std::string_view eol) {
  if (table.IsUnicode()) return std::nullopt;
  auto maps = OneLetterMaps(table, options.underscore, options.hyphen, options.capitalWords);
  if (!maps) return std::nullopt;
  return Utf8MapConverter(*maps, eol);
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
