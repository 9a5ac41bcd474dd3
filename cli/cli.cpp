#include "cli.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>

#include "command_line.h"
#include "engine.h"
#include "table_converter.h"
#include "run_progress.h"
#include "table_file.h"
#include "text_io.h"
#include "text_tools_cmd.h"
#include "unicode_engine.h"
#include "unicode_table.h"
#include "utf8.h"

namespace velmar {
namespace {

const char* const kUsage =
    "usage:\n"
    "  velmar convert [--table SPEC] [--reverse] [--underscore | --hyphen] [--compress]\n"
    "                 [--literal-case]\n"
    "                 [--tables-dir DIR] [--encoding cp1251|utf-8] [--eol crlf|lf]\n"
    "                 [--output FILE] [FILE...]\n"
    "  velmar tables [--tables-dir DIR] [--encoding cp1251|utf-8]\n"
    "  velmar stats [--encoding cp1251|utf-8] [--decimal SEP] [FILE...]\n"
    "  velmar amount [--hryvnia] [--encoding cp1251|utf-8] NUMBER\n"
    "\n"
    "convert: converts the text of the FILEs (or standard input) line by line and\n"
    "  writes every converted line followed by a line break (--compress: all words\n"
    "  on one line). SPEC is a table number of `velmar tables` (default 0) or the\n"
    "  path of a .table file; --reverse takes the table's reverse. --tables-dir\n"
    "  defaults to the Table folder beside the program. A word written in\n"
    "  capitals stays in capitals, both ways, and pairs of a table's [Context]\n"
    "  section apply where their context holds (see docs/tables.md);\n"
    "  --literal-case applies every pair exactly as it is written instead.\n"
    "  --output writes to FILE,\n"
    "  replacing it only when the whole conversion succeeded (a symbolic link is\n"
    "  followed, a device or FIFO written directly, a file keeps its permissions\n"
    "  and its other names); --output - is standard output.\n"
    "--encoding: utf-8 (default) or cp1251 for the bytes read and written.\n"
    "  A Unicode table (a .table file that begins with a UTF-8 or UTF-16 byte\n"
    "  order mark) converts Unicode characters: with utf-8 nothing is lost; with\n"
    "  cp1251 the input is read as Windows-1251 and the result written in UTF-8,\n"
    "  since Windows-1251 cannot hold every character such a table may write.\n"
    "Options take their value as --name VALUE or --name=VALUE; FILE \"-\" is\n"
    "standard input; \"--\" ends the options. \"velmar COMMAND --help\" for more.\n";

struct ConvertOptions {
  std::string tableSpec = "0";
  bool reverse = false;
  bool underscore = false;
  bool hyphen = false;
  bool compress = false;
  bool capitalWords = true;
  std::optional<std::filesystem::path> tablesDir;
  Encoding encoding = Encoding::kUtf8;
  std::string eol = "\r\n";
  std::optional<std::filesystem::path> output;
  std::vector<std::string> files;
};

std::filesystem::path TablesDir(const std::optional<std::filesystem::path>& option) {
  return option ? *option : ExecutableDir() / "Table";
}

bool AllDigits(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

TTransTable ResolveTable(const ConvertOptions& o) {
  TTransTable table;
  if (AllDigits(o.tableSpec)) {
    const std::size_t slot = o.tableSpec.size() > 9 ? SIZE_MAX : std::stoul(o.tableSpec);
    TTableStore store;
    // The built-in table and its reverse need no table file read.
    if (slot < 2) store.BuildBuiltInTables();
    else LoadTables(store, TablesDir(o.tablesDir));
    if (slot >= store.Store.size())
      throw Failure{"no table number " + o.tableSpec + " (there are " + std::to_string(store.StoreCount()) +
                    "; see `velmar tables`)"};
    table = std::move(store.Store[slot]);
  } else {
    std::string error;
    table = ReadTableFile(PathFromUtf8(o.tableSpec), &error);
    if (!error.empty()) throw Failure{"cannot read table file " + o.tableSpec + ": " + error};
  }
  if (o.reverse) return MakeReverseTable(table);
  return table;
}

ConvertOptions ReadConvertOptions(const std::vector<std::string>& words) {
  ConvertOptions o;
  CommandLine line(words);
  std::string value;
  while (line.Next()) {
    if (line.IsOperand()) o.files.push_back(line.Word());
    else if (line.Option("--table", value)) o.tableSpec = value;
    else if (line.Flag("--reverse")) o.reverse = true;
    else if (line.Flag("--underscore")) o.underscore = true;
    else if (line.Flag("--hyphen")) o.hyphen = true;
    else if (line.Flag("--compress")) o.compress = true;
    else if (line.Flag("--literal-case")) o.capitalWords = false;
    else if (line.Option("--tables-dir", value)) o.tablesDir = PathFromUtf8(value);
    else if (line.Option("--encoding", value)) o.encoding = ParseEncoding(value);
    else if (line.Option("--output", value, "-o")) {
      if (value == "-") o.output.reset();  // standard output, as for an input
      else o.output = PathFromUtf8(value);
    } else if (line.Option("--eol", value)) {
      if (value == "crlf") o.eol = "\r\n";
      else if (value == "lf") o.eol = "\n";
      else throw UsageError{"unknown line break '" + value + "' (crlf or lf)"};
    } else {
      line.Unknown();
    }
  }
  if (o.underscore && o.hyphen) throw UsageError{"--underscore and --hyphen exclude each other"};
  return o;
}

ConversionOptions Options(const ConvertOptions& o) { return {o.underscore, o.hyphen, o.capitalWords}; }

// Lines of fewer bytes than this are converted into one buffer and written at
// once; longer ones are written as they are converted.
constexpr std::size_t kBatchBytes = 4 << 20;

// The converting step: lines in, converted text out, with the characters
// kept aside (UTF-8 mode) restored in their places.
class ConvertStep {
 public:
  // In UTF-8 mode the table comes without the pairs that hold the stand-in
  // byte (WithoutStandInPairs).
  ConvertStep(const ConvertOptions& o, const TTransTable& table, Output& output)
      : o_(o),
        converter_(table, Options(o)),
        output_(output) {}

  std::vector<std::string>* Stash() { return o_.encoding == Encoding::kUtf8 ? &stash_ : nullptr; }

  void Lines(std::span<const std::string_view> lines) {
    if (stashNext_ == stash_.size()) {
      // Nothing kept aside: no stand-in can occur in these lines.
      stash_.clear();
      stashNext_ = 0;
      std::size_t bytes = 0;
      for (std::string_view line : lines) bytes += line.size();
      if (bytes < kBatchBytes) {
        // Ordinary lines: converted into one buffer and written at once.
        batch_.clear();
        converter_.ConvertLinesTo(lines, o_.eol, batch_);
        Write(batch_);
        return;
      }
      // A long line is written as it is converted, not copied once more.
      converter_.ConvertLinesWith(lines, [&](std::string_view converted) {
        Write(converted);
        Write(o_.eol);
      });
      return;
    }
    results_.clear();
    converter_.ConvertLines(lines, results_);
    // A stand-in the conversion removed (with a line's first character)
    // gives up its kept character, so the rest stay in order.
    const std::vector<std::size_t> removed = RemovedStandIns(lines, results_);
    std::size_t kept = stashNext_, r = 0;
    for (std::size_t k = stashNext_; k < stash_.size(); ++k) {
      if (r < removed.size() && removed[r] == k - stashNext_) {
        ++r;
        continue;
      }
      if (kept != k) stash_[kept] = std::move(stash_[k]);
      ++kept;
    }
    stash_.resize(kept);
    for (const std::string& result : results_) {
      Write(result);
      Write(o_.eol);
    }
  }

  void Finish() { output_.Commit(); }

 private:
  void Write(std::string_view text) {
    if (o_.compress) {
      compressed_.clear();
      CompressAppend(compress_, text, compressed_);
      text = compressed_;
    }
    output_.WriteText(text, &stash_, &stashNext_);
  }

  const ConvertOptions& o_;
  TableLineConverter converter_;
  Output& output_;
  std::vector<std::string> stash_, results_;
  std::size_t stashNext_ = 0;
  CompressState compress_;
  std::string compressed_, batch_;
};

// A Unicode table converts UTF-8 lines (the input read as UTF-8, or as
// Windows-1251 and widened) and always writes UTF-8: nothing stands in.
void ConvertUnicode(const ConvertOptions& o, const TTransTable& table, std::FILE* in, std::FILE* out) {
  TableLineConverter converter(table, Options(o));
  Output output(out, o.output, Encoding::kUtf8);
  Utf8CompressState compress;
  std::string converted, compressed;
  const auto write = [&](std::string_view text) {
    if (!o.compress) return output.WriteBytes(text);
    compressed.clear();
    CompressUtf8Append(compress, text, compressed);
    output.WriteBytes(compressed);
  };
  TextInput input(o.files, in, {.encoding = o.encoding, .utf8Lines = true});
  input.Read([&](std::span<const std::string_view> lines) {
    std::size_t bytes = 0;
    for (std::string_view line : lines) bytes += line.size();
    if (bytes < kBatchBytes) {
      // Ordinary lines: converted into one buffer and written at once.
      converted.clear();
      converter.ConvertLinesTo(lines, o.eol, converted);
      return write(converted);
    }
    // A long line is written as it is converted, not copied once more.
    converter.ConvertLinesWith(lines, [&](std::string_view line) {
      write(line);
      write(o.eol);
    });
  });
  output.Commit();
}

// A table of one-letter sources on UTF-8 text: each character converted on
// its own, straight from UTF-8 to UTF-8, with the bytes the line-by-line path
// gives.
void ConvertByMap(const ConvertOptions& o, Utf8MapConverter& converter, std::FILE* in, std::FILE* out) {
  Output output(out, o.output, Encoding::kUtf8);
  // Blocks large enough to be converted on two cores at once.
  TextInput input(o.files, in, {.encoding = o.encoding, .blockSize = std::size_t{1} << 18});
  input.ReadBlocks(
      [&](std::string_view block, const std::string& name) {
        std::string_view complete;
        if (!converter.Feed(block, complete))
          throw Failure{MalformedUtf8Message(name, converter.ErrorOffset(), false)};
        output.WriteBytes(complete);
      },
      [&](const std::string& name) {
        if (!converter.EndInput()) throw Failure{MalformedUtf8Message(name, converter.ErrorOffset(), true)};
      });
  output.WriteBytes(converter.Finish());
  output.Commit();
}

int Convert(const std::vector<std::string>& words, std::FILE* in, std::FILE* out) {
  const ConvertOptions o = ReadConvertOptions(words);
  TTransTable table = ResolveTable(o);
  if (table.IsUnicode()) {
    ConvertUnicode(o, table, in, out);
    return 0;
  }
  // In UTF-8 a pair holding the stand-in byte could move or eat the
  // characters kept aside, and no real text holds it.
  if (o.encoding == Encoding::kUtf8) table = WithoutStandInPairs(std::move(table));
  if (o.encoding == Encoding::kUtf8 && !o.compress) {
    if (auto converter = OneLetterConverter(table, Options(o), o.eol)) {
      ConvertByMap(o, *converter, in, out);
      return 0;
    }
  }
  Output output(out, o.output, o.encoding);
  ConvertStep step(o, table, output);
  TextInput input(o.files, in, {.encoding = o.encoding, .stash = step.Stash()});
  input.Read([&](std::span<const std::string_view> lines) { step.Lines(lines); });
  step.Finish();
  return 0;
}

int Tables(const std::vector<std::string>& words, std::FILE* out, std::FILE* err) {
  std::optional<std::filesystem::path> dir;
  bool utf8 = true;
  CommandLine line(words);
  std::string value;
  while (line.Next()) {
    if (line.Option("--tables-dir", value)) dir = PathFromUtf8(value);
    else if (line.Option("--encoding", value)) utf8 = ParseEncoding(value) == Encoding::kUtf8;
    else if (line.IsOperand()) throw UsageError{"unknown argument " + line.Word()};
    else line.Unknown();
  }
  TTableStore store;
  std::vector<std::filesystem::path> skipped;
  LoadTables(store, TablesDir(dir), &skipped);
  std::sort(skipped.begin(), skipped.end());
  for (const auto& path : skipped)
    std::fprintf(err, "velmar tables: skipped %s: not a regular file\n", PathToUtf8(path).c_str());
  std::string text;
  // Names of a Unicode table are UTF-8; in Windows-1251 what it cannot hold is "?".
  auto field = [&](const TTransTable& t, const std::string& s) {
    return utf8 ? TableTextToUtf8(t, s) : TableTextToCp1251(t, s);
  };
  for (int i = 0; i < store.StoreCount(); ++i) {
    const TTransTable& t = store.Store[i];
    text += std::to_string(i) + "\t" + field(t, TableCaption(t)) + "\t" + field(t, t.Description) + "\t" +
            std::to_string(t.FromIcon) + "\t" + std::to_string(t.ToIcon) + "\t" + std::to_string(t.TableCount) +
            "\t" + PathToUtf8(t.FilePath) + "\n";
  }
  if (std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fflush(out) != 0)
    throw Failure{"cannot write the output"};
  return 0;
}

}  // namespace

int RunVelmar(const std::vector<std::string>& words, std::FILE* in, std::FILE* out, std::FILE* err) {
  if (words.empty()) {
    std::fputs(kUsage, err);
    return 2;
  }
  const std::string& command = words[0];
  const std::vector<std::string> rest(words.begin() + 1, words.end());
  if (command == "stats") return RunStatsCommand(rest, in, out, err);
  if (command == "amount") return RunAmountCommand(rest, out, err);
  if (command == "help" || command == "--help" || command == "-h") {
    std::fputs(kUsage, out);
    return 0;
  }
  if (command != "convert" && command != "tables") {
    std::fprintf(err, "velmar: unknown command %s\n%s", command.c_str(), kUsage);
    return 2;
  }
  for (const auto& w : rest) {
    if (w == "--") break;
    if (w == "--help" || w == "-h") {
      std::fputs(kUsage, out);
      return 0;
    }
  }
  return RunSubcommand(command, err, [&] { return command == "convert" ? Convert(rest, in, out) : Tables(rest, out, err); });
}

}  // namespace velmar
