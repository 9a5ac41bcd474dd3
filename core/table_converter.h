#pragma once
// The converters a table and the options need, picked in one place: the
// engine for its encoding (bytes for a Windows-1251 table, UTF-8 for a
// Unicode table), and, for a word in capitals or a pair with a context, the
// engine that follows the text as the user wrote it; or, for a whole UTF-8
// text and a table of one-letter pairs, the character map straight from
// UTF-8 to UTF-8.
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "context_engine.h"
#include "engine.h"
#include "unicode_engine.h"
#include "utf8_map_converter.h"
#include "words.h"

namespace velmar {

struct ConversionOptions {
  bool underscore = false;   // "_" for blanks
  bool hyphen = false;       // "-" for blanks
  bool capitalWords = true;  // a word in capitals stays in capitals; off: every pair literally
};

// Converts lines in the table's encoding.
class TableLineConverter : public LineConverterCalls<TableLineConverter> {
 public:
  TableLineConverter(const TTransTable& table, const ConversionOptions& options);
  TableLineConverter(const TTransTable& table, bool underscore, bool hyphen)
      : TableLineConverter(table, ConversionOptions{underscore, hyphen, true}) {}

  // Whether the line needs the engine that follows the text as written.
  bool NeedsContextEngine(std::string_view line);

 private:
  friend class LineConverterCalls<TableLineConverter>;
  template <typename Emit>
  void ConvertBlocks(std::span<const std::string_view> lines, Emit emit);
  template <typename Emit>
  void ConvertPlain(std::span<const std::string_view> lines, Emit emit);

  bool unicode_ = false;
  bool capitalWords_ = true;
  bool everyLine_ = false;  // the table has contexts: every line goes to the context engine
  std::optional<LineConverter> bytes_;
  std::optional<UnicodeLineConverter> unicodeEngine_;
  std::unique_ptr<ContextLineConverter> context_;
  std::vector<CharKind> kinds_;
  std::vector<std::string> plain_;
  std::string converted_;
};

extern template class LineConverterCalls<TableLineConverter>;

// The converter of a whole UTF-8 text (no compression) that gives the bytes
// TableLineConverter gives, one character at a time; nothing when the table
// is no table of one-letter pairs (or a Unicode table): convert lines then.
std::optional<Utf8MapConverter> OneLetterConverter(const TTransTable& table, const ConversionOptions& options,
                                                   std::string_view eol);

// CompressText in the encoding of a table's text, streaming.
struct TableCompressState {
  bool unicode = false;
  CompressState bytes;
  Utf8CompressState utf8;
};
void CompressAppend(TableCompressState& state, std::string_view piece, std::string& out);
std::string CompressText(const TTransTable& table, std::string_view text);

}  // namespace velmar
