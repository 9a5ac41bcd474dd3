#include "cli.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string_view>

#include "utf8.h"
#include "cp1251.h"
#include "engine.h"
#include "table_file.h"
#include "text_tools_cmd.h"
#include "unicode_engine.h"
#include "unicode_table.h"

namespace velmar {
namespace {

constexpr std::size_t kReadBlock = 1 << 20;

const char* const kUsage =
    "usage:\n"
    "  velmar convert [--table SPEC] [--reverse] [--underscore | --hyphen] [--compress]\n"
    "                 [--tables-dir DIR] [--encoding cp1251|utf-8] [--eol crlf|lf]\n"
    "                 [--output FILE] [FILE...]\n"
    "  velmar tables [--tables-dir DIR] [--encoding cp1251|utf-8]\n"
    "  velmar stats [--encoding cp1251|utf-8] [FILE...]\n"
    "  velmar amount [--hryvnia] [--encoding cp1251|utf-8] NUMBER\n"
    "\n"
    "convert: converts the text of the FILEs (or standard input) line by line and\n"
    "  writes every converted line followed by a line break (--compress: all words\n"
    "  on one line). SPEC is a table number of `velmar tables` (default 0) or the\n"
    "  path of a .table file; --reverse takes the table's reverse. --tables-dir\n"
    "  defaults to the Table folder beside the program. --output writes to FILE,\n"
    "  replacing it only when the whole conversion succeeded.\n"
    "--encoding: utf-8 (default) or cp1251 for the bytes read and written.\n"
    "  A Unicode table (a .table file that begins with a UTF-8 or UTF-16 byte\n"
    "  order mark) converts Unicode characters: with utf-8 nothing is lost; with\n"
    "  cp1251 the input is read as Windows-1251 and the result written in UTF-8,\n"
    "  since Windows-1251 cannot hold every character such a table may write.\n";

struct UsageError {
  std::string message;
};
struct Failure {
  std::string message;
};

class Args {
 public:
  explicit Args(const std::vector<std::string>& words) : words_(words) {}
  bool Done() const { return pos_ >= words_.size(); }
  const std::string& Next() { return words_[pos_++]; }
  std::string Value(const std::string& option) {
    if (Done()) throw UsageError{"option " + option + " needs a value"};
    return Next();
  }

 private:
  const std::vector<std::string>& words_;
  std::size_t pos_ = 0;
};

bool ParseEncoding(const std::string& value) {
  if (value == "utf-8" || value == "utf8" || value == "UTF-8") return true;
  if (value == "cp1251" || value == "windows-1251") return false;
  throw UsageError{"unknown encoding '" + value + "' (cp1251 or utf-8)"};
}

struct ConvertOptions {
  std::string tableSpec = "0";
  bool reverse = false;
  bool underscore = false;
  bool hyphen = false;
  bool compress = false;
  std::optional<std::filesystem::path> tablesDir;
  bool utf8 = true;
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
    TTableStore store;
    LoadTables(store, TablesDir(o.tablesDir));
    std::size_t slot = o.tableSpec.size() > 9 ? SIZE_MAX : std::stoul(o.tableSpec);
    if (slot >= store.Store.size())
      throw Failure{"no table number " + o.tableSpec + " (there are " + std::to_string(store.StoreCount()) +
                    "; see `velmar tables`)"};
    table = store.Store[slot];
  } else {
    std::string error;
    table = ReadTableFile(PathFromUtf8(o.tableSpec), &error);
    if (!error.empty()) throw Failure{"cannot read table file " + o.tableSpec + ": " + error};
  }
  return o.reverse ? MakeReverseTable(table) : table;
}

// In UTF-8 mode the stand-in byte marks characters kept aside; a pair that
// holds it could move or eat them, and no real text contains it.
TTransTable WithoutStandIns(const TTransTable& table) {
  TTransTable clean = table;
  clean.TableCount = 0;
  const char standIn = static_cast<char>(kCp1251Undefined);
  for (int i = 0; i < table.TableCount; ++i) {
    const TCharTable& p = table.Table[i];
    if (p.Source.find(standIn) == std::string::npos && p.Target.find(standIn) == std::string::npos)
      clean.Table[clean.TableCount++] = p;
  }
  return clean;
}

// Output that is either standard output or a file replaced only on success.
class Sink {
 public:
  Sink(std::FILE* out, const std::optional<std::filesystem::path>& path) : out_(out) {
    if (!path) return;
    target_ = *path;
    temp_ = *path;
    temp_ += ".velmar-tmp";
    file_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!file_) throw Failure{"cannot write " + PathToUtf8(*path)};
  }
  ~Sink() {
    if (!temp_.empty() && !committed_) {
      file_.close();
      std::error_code ec;
      std::filesystem::remove(temp_, ec);
    }
  }
  void Write(std::string_view bytes) {
    if (bytes.empty()) return;
    if (!temp_.empty()) {
      file_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      if (!file_) throw Failure{"cannot write " + PathToUtf8(target_)};
    } else if (std::fwrite(bytes.data(), 1, bytes.size(), out_) != bytes.size()) {
      throw Failure{"cannot write the output"};
    }
  }
  void Commit() {
    if (temp_.empty()) {
      if (std::fflush(out_) != 0) throw Failure{"cannot write the output"};
      return;
    }
    file_.close();
    if (!file_) throw Failure{"cannot write " + PathToUtf8(target_)};
    std::error_code ec;
    std::filesystem::rename(temp_, target_, ec);
    if (ec) throw Failure{"cannot write " + PathToUtf8(target_) + ": " + ec.message()};
    committed_ = true;
  }

 private:
  std::FILE* out_;
  std::filesystem::path target_, temp_;
  std::ofstream file_;
  bool committed_ = false;
};

// Reads the inputs in blocks: the named files one after the other, or standard input.
template <typename OnBlock, typename OnFileEnd>
void ReadInputs(const std::vector<std::string>& files, std::FILE* in, OnBlock onBlock, OnFileEnd onFileEnd) {
  std::unique_ptr<char[]> buffer(new char[kReadBlock]);
  if (files.empty()) {
    std::size_t n;
    while ((n = std::fread(buffer.get(), 1, kReadBlock, in)) > 0) onBlock(std::string_view(buffer.get(), n), "standard input");
    if (std::ferror(in)) throw Failure{"cannot read standard input"};
    onFileEnd("standard input");
    return;
  }
  for (const auto& name : files) {
    auto path = PathFromUtf8(name);
    std::ifstream file(path, std::ios::binary);
    if (!file || std::filesystem::is_directory(path)) throw Failure{"cannot read " + name};
    while (file) {
      file.read(buffer.get(), kReadBlock);
      std::streamsize n = file.gcount();
      if (n > 0) onBlock(std::string_view(buffer.get(), static_cast<std::size_t>(n)), name);
    }
    if (file.bad()) throw Failure{"cannot read " + name};
    onFileEnd(name);
  }
}

// Splits a stream of Windows-1251 bytes into lines at CR LF, lone CR or lone
// LF; a break at the very end starts no further line.
class LineSplitter {
 public:
  // Calls onLines with the complete lines found so far.
  template <typename OnLines>
  void Feed(std::string_view text, OnLines onLines) {
    if (skipLineFeed_ && !text.empty()) {
      if (text.front() == '\n') text.remove_prefix(1);
      skipLineFeed_ = false;
    }
    std::string_view data = text;
    if (!pending_.empty()) {
      pending_ += text;
      data = pending_;
    }
    lines_.clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
      char c = data[i];
      if (c != '\r' && c != '\n') continue;
      lines_.push_back(data.substr(start, i - start));
      if (c == '\r') {
        if (i + 1 < data.size()) {
          if (data[i + 1] == '\n') ++i;
        } else {
          skipLineFeed_ = true;
        }
      }
      start = i + 1;
    }
    onLines(lines_);
    std::string rest(data.substr(start));
    pending_ = std::move(rest);
  }
  template <typename OnLines>
  void Finish(OnLines onLines) {
    lines_.clear();
    if (!pending_.empty()) lines_.push_back(pending_);
    onLines(lines_);
    pending_.clear();
  }

 private:
  std::string pending_;
  std::vector<std::string_view> lines_;
  bool skipLineFeed_ = false;
};

// A Unicode table converts UTF-8 lines (the input read as UTF-8, or as
// Windows-1251 and widened) and always writes UTF-8.
void ConvertUnicode(const ConvertOptions& o, const TTransTable& table, std::FILE* in, std::FILE* out) {
  UnicodeLineConverter converter(table, o.underscore, o.hyphen);
  Sink sink(out, o.output);
  LineSplitter splitter;
  std::string carry, text, converted, compressed;
  std::u32string decoded;
  std::size_t consumed = 0;  // bytes of the current input before this block
  Utf8CompressState compressState;

  auto onLines = [&](std::span<const std::string_view> lines) {
    if (lines.empty()) return;
    converted.clear();
    converter.ConvertLinesTo(lines, o.eol, converted);
    if (!o.compress) return sink.Write(converted);
    compressed.clear();
    CompressUtf8Append(compressState, converted, compressed);
    sink.Write(compressed);
  };
  auto malformed = [&](std::size_t offset, const std::string& name, const char* why) {
    return Failure{"malformed UTF-8 at byte offset " + std::to_string(offset) + " of " + name + why};
  };

  ReadInputs(
      o.files, in,
      [&](std::string_view block, const std::string& name) {
        if (!o.utf8) {
          splitter.Feed(Cp1251ToUtf8(block), onLines);
          return;
        }
        // Whole characters go on; a sequence cut at the end of the block waits for the next.
        text.assign(carry);
        text += block;
        const std::size_t start = consumed - carry.size();
        consumed += block.size();
        carry.clear();
        decoded.clear();
        if (auto bad = DecodeUtf8(text, decoded)) {
          char32_t cp;
          if (DecodeUtf8Sequence(std::string_view(text).substr(*bad), cp) >= 0) throw malformed(start + *bad, name, "");
          carry.assign(text, *bad);
          text.resize(*bad);
        }
        splitter.Feed(text, onLines);
      },
      [&](const std::string& name) {
        if (!carry.empty())
          throw malformed(consumed - carry.size(), name, " (the input ends inside a character)");
        consumed = 0;
      });
  splitter.Finish(onLines);
  sink.Commit();
}

int Convert(Args& args, std::FILE* in, std::FILE* out) {
  ConvertOptions o;
  while (!args.Done()) {
    const std::string& a = args.Next();
    if (a == "--table") o.tableSpec = args.Value(a);
    else if (a == "--reverse") o.reverse = true;
    else if (a == "--underscore") o.underscore = true;
    else if (a == "--hyphen") o.hyphen = true;
    else if (a == "--compress") o.compress = true;
    else if (a == "--tables-dir") o.tablesDir = PathFromUtf8(args.Value(a));
    else if (a == "--encoding") o.utf8 = ParseEncoding(args.Value(a));
    else if (a == "--output" || a == "-o") o.output = PathFromUtf8(args.Value(a));
    else if (a == "--eol") {
      std::string v = args.Value(a);
      if (v == "crlf") o.eol = "\r\n";
      else if (v == "lf") o.eol = "\n";
      else throw UsageError{"unknown line break '" + v + "' (crlf or lf)"};
    } else if (a == "--") {
      while (!args.Done()) o.files.push_back(args.Next());
    } else if (a.size() > 1 && a[0] == '-') {
      throw UsageError{"unknown option " + a};
    } else {
      o.files.push_back(a);
    }
  }
  if (o.underscore && o.hyphen) throw UsageError{"--underscore and --hyphen exclude each other"};

  TTransTable table = ResolveTable(o);
  if (table.IsUnicode()) {
    ConvertUnicode(o, table, in, out);
    return 0;
  }
  if (o.utf8) table = WithoutStandIns(table);
  LineConverter converter(table, o.underscore, o.hyphen);
  Sink sink(out, o.output);

  Utf8ToCp1251Decoder decoder;
  LineSplitter splitter;
  std::string decoded, converted, encoded, compressed;
  std::vector<std::string> stash, results;
  std::size_t stashNext = 0;
  CompressState compressState;

  auto emit = [&](std::string_view bytes) {
    if (!o.compress) {
      sink.Write(bytes);
      return;
    }
    compressed.clear();
    CompressAppend(compressState, bytes, compressed);
    sink.Write(compressed);
  };

  auto onLines = [&](std::span<const std::string_view> lines) {
    if (lines.empty()) return;
    if (!o.utf8) {
      converted.clear();
      converter.ConvertLinesTo(lines, o.eol, converted);
      emit(converted);
      return;
    }
    if (stashNext == stash.size()) {
      // Nothing kept aside: no stand-in can occur in these lines.
      converted.clear();
      converter.ConvertLinesTo(lines, o.eol, converted);
      encoded.clear();
      AppendCp1251AsUtf8(converted, encoded, nullptr, nullptr);
      emit(encoded);
      return;
    }
    results.clear();
    converter.ConvertLines(lines, results);
    encoded.clear();
    const char standIn = static_cast<char>(kCp1251Undefined);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      auto in = static_cast<std::size_t>(std::count(lines[i].begin(), lines[i].end(), standIn));
      auto kept = static_cast<std::size_t>(std::count(results[i].begin(), results[i].end(), standIn));
      // Only the first character of a line can be dropped, so one fewer
      // stand-in means the line's first one went.
      if (kept + 1 == in) ++stashNext;
      AppendCp1251AsUtf8(results[i], encoded, &stash, &stashNext);
      encoded += o.eol;
    }
    emit(encoded);
  };

  ReadInputs(
      o.files, in,
      [&](std::string_view block, const std::string& name) {
        if (!o.utf8) {
          splitter.Feed(block, onLines);
          return;
        }
        decoded.clear();
        if (stashNext == stash.size()) {
          stash.clear();
          stashNext = 0;
        }
        if (!decoder.Feed(block, decoded, &stash))
          throw Failure{"malformed UTF-8 at byte offset " + std::to_string(decoder.ErrorOffset()) + " of " + name};
        splitter.Feed(decoded, onLines);
      },
      [&](const std::string& name) {
        if (o.utf8 && !decoder.Finish())
          throw Failure{"malformed UTF-8 at byte offset " + std::to_string(decoder.ErrorOffset()) + " of " +
                        name + " (the input ends inside a character)"};
        decoder = Utf8ToCp1251Decoder();
      });
  splitter.Finish(onLines);
  sink.Commit();
  return 0;
}

int Tables(Args& args, std::FILE* out) {
  std::optional<std::filesystem::path> dir;
  bool utf8 = true;
  while (!args.Done()) {
    const std::string& a = args.Next();
    if (a == "--tables-dir") dir = PathFromUtf8(args.Value(a));
    else if (a == "--encoding") utf8 = ParseEncoding(args.Value(a));
    else throw UsageError{"unknown argument " + a};
  }
  TTableStore store;
  LoadTables(store, TablesDir(dir));
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
  std::vector<std::string> rest(words.begin() + 1, words.end());
  // stats and amount have help texts of their own.
  if (command == "convert" || command == "tables") {
    for (const auto& w : rest) {
      if (w == "--help" || w == "-h") {
        std::fputs(kUsage, out);
        return 0;
      }
    }
  }
  try {
    Args args(rest);
    if (command == "convert") return Convert(args, in, out);
    if (command == "tables") return Tables(args, out);
    if (command == "stats") return RunStatsCommand(rest, in, out, err);
    if (command == "amount") return RunAmountCommand(rest, out, err);
    if (command == "help" || command == "--help" || command == "-h") {
      std::fputs(kUsage, out);
      return 0;
    }
    throw UsageError{"unknown command " + command};
  } catch (const UsageError& e) {
    std::fprintf(err, "velmar: %s\n%s", e.message.c_str(), kUsage);
    return 2;
  } catch (const Failure& e) {
    std::fprintf(err, "velmar: %s\n", e.message.c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(err, "velmar: %s\n", e.what());
    return 1;
  }
}

}  // namespace velmar
