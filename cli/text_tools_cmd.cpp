#include "text_tools_cmd.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>

#include "amount_words.h"
#include "cli.h"
#include "utf8.h"
#include "cp1251.h"
#include "size_format.h"
#include "text_stats.h"

namespace velmar {
namespace {

constexpr std::string_view kStatsHelp =
    "Usage: velmar stats [--encoding utf-8|cp1251] [--decimal SEP] [FILE...]\n"
    "Prints the statistics of a text: words, characters without and with spaces,\n"
    "spaces, lines, digits, Cyrillic and Latin letters, and size.\n"
    "The files (standard input when none is given, or for \"-\") are taken together\n"
    "as one text, each file beginning a new line. Lines end at CR LF, CR or LF; each\n"
    "line counts two characters for its line break (CR LF), the last one too.\n"
    "  --encoding E   encoding of the input and the output: utf-8 (default) or\n"
    "                 cp1251; in UTF-8 a character Windows-1251 cannot hold counts\n"
    "                 as one character, and a leading byte order mark is skipped\n"
    "  --decimal SEP  decimal separator of the size (default \".\")\n";

constexpr std::string_view kAmountHelp =
    "Usage: velmar amount [--hryvnia] [--encoding utf-8|cp1251] NUMBER...\n"
    "Writes the amount in Russian words, in rubles (or hryvnias), with \"00 копеек\".\n"
    "The amount is made of the digits of the NUMBER words in their order; every\n"
    "other character is dropped, so \"1 250,75\" is 125075. At most 20 digits.\n"
    "  --hryvnia      hryvnias instead of rubles\n"
    "  --encoding E   encoding of the output: utf-8 (default) or cp1251\n";

enum class Encoding { kUtf8, kCp1251 };

// UTF-8 text of this file's own literals in Windows-1251.
std::string Cp1251(std::string_view utf8) { return Cp1251FromUtf8Literal(utf8); }

// False when the text could not be written.
bool Write(std::FILE* out, std::string_view cp1251_text, Encoding encoding) {
  const std::string text = encoding == Encoding::kUtf8 ? Cp1251ToUtf8(cp1251_text) : std::string(cp1251_text);
  return std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
}

int WriteResult(std::FILE* out, std::FILE* err, std::string_view command, std::string_view cp1251_text,
                Encoding encoding) {
  if (Write(out, cp1251_text, encoding)) return 0;
  std::fprintf(err, "velmar %.*s: cannot write the output\n", static_cast<int>(command.size()), command.data());
  return 1;
}

int UsageError(std::FILE* err, std::string_view command, const std::string& message) {
  std::fprintf(err, "velmar %.*s: %s\nTry 'velmar %.*s --help'.\n", static_cast<int>(command.size()),
               command.data(), message.c_str(), static_cast<int>(command.size()), command.data());
  return 2;
}

// Takes the value of an option given as "--name value" or "--name=value";
// returns false when `args[i]` is not that option, and leaves `value` empty
// when the value is missing.
bool TakeOptionValue(const std::vector<std::string>& args, std::size_t& i, std::string_view name,
                     std::optional<std::string>& value) {
  const std::string_view arg = args[i];
  if (arg == name) {
    if (i + 1 < args.size()) value = args[++i];
    return true;
  }
  if (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=') {
    value = std::string(arg.substr(name.size() + 1));
    return true;
  }
  return false;
}

std::optional<Encoding> ParseEncoding(std::string_view name) {
  if (name == "utf-8" || name == "utf8" || name == "UTF-8") return Encoding::kUtf8;
  if (name == "cp1251" || name == "windows-1251") return Encoding::kCp1251;
  return std::nullopt;
}

// `in` is in binary mode (the program's entry sees to it on Windows).
std::optional<std::string> ReadStream(std::FILE* in) {
  std::string data;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) data.append(buffer, n);
  if (std::ferror(in)) return std::nullopt;
  return data;
}

std::optional<std::string> ReadFile(const std::string& utf8_path) {
  const std::filesystem::path path = PathFromUtf8(utf8_path);
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string data;
  char buffer[65536];
  do {
    file.read(buffer, sizeof buffer);
    data.append(buffer, static_cast<std::size_t>(file.gcount()));
  } while (file);
  if (file.bad()) return std::nullopt;
  return data;
}

}  // namespace

int RunStatsCommand(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err) {
  constexpr std::string_view kCommand = "stats";
  Encoding encoding = Encoding::kUtf8;
  std::string decimal = ".";
  std::vector<std::string> files;
  bool options_done = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::optional<std::string> value;
    if (options_done || arg == "-" || arg.empty() || arg[0] != '-') {
      files.push_back(arg);
    } else if (arg == "--") {
      options_done = true;
    } else if (arg == "--help" || arg == "-h") {
      std::fwrite(kStatsHelp.data(), 1, kStatsHelp.size(), out);
      return 0;
    } else if (TakeOptionValue(args, i, "--encoding", value)) {
      if (!value) return UsageError(err, kCommand, "--encoding needs a value");
      const auto parsed = ParseEncoding(*value);
      if (!parsed) return UsageError(err, kCommand, "unknown encoding (use utf-8 or cp1251)");
      encoding = *parsed;
    } else if (TakeOptionValue(args, i, "--decimal", value)) {
      std::vector<std::string> unrepresentable;
      decimal.clear();
      if (!value || value->empty() || Utf8ToCp1251(*value, decimal, &unrepresentable) ||
          !unrepresentable.empty()) {
        return UsageError(err, kCommand, "--decimal needs a separator of Windows-1251 characters");
      }
    } else {
      return UsageError(err, kCommand, "unknown option " + arg);
    }
  }
  if (files.empty()) files.push_back("-");

  StatisticsCounter counter;
  for (const std::string& name : files) {
    const std::string shown = name == "-" ? "standard input" : name;
    std::optional<std::string> data = name == "-" ? ReadStream(in) : ReadFile(name);
    if (!data) {
      std::fprintf(err, "velmar stats: cannot read %s\n", shown.c_str());
      return 1;
    }
    std::string text;
    if (encoding == Encoding::kUtf8) {
      const std::size_t bom = std::string_view(*data).substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
      if (const auto bad = Utf8ToCp1251(std::string_view(*data).substr(bom), text, nullptr)) {
        std::fprintf(err, "velmar stats: %s is not valid UTF-8 (byte %zu); for Windows-1251 text use --encoding cp1251\n",
                     shown.c_str(), *bad + bom);
        return 1;
      }
    } else {
      text = std::move(*data);
    }
    for (std::string_view line : SplitLines(text)) counter.AddLine(line);
  }

  const TextStatistics& s = counter.Result();
  const std::pair<std::string_view, std::string> rows[] = {
      {"Слов:", std::to_string(s.words)},
      {"Символов (без пробелов):", std::to_string(s.chars_without_spaces)},
      {"Символов (с пробелами):", std::to_string(s.chars_with_spaces)},
      {"Пробелов:", std::to_string(s.spaces)},
      {"Строк:", std::to_string(s.lines)},
      {"Цифры:", std::to_string(s.digits)},
      {"Кирилица:", std::to_string(s.cyrillic)},
      {"Латиница:", std::to_string(s.latin)},
      {"Размер:", FormatSize(static_cast<double>(s.size), decimal)},
  };
  std::string report;
  for (const auto& [caption, value] : rows) report += Cp1251(caption) + " " + value + "\n";
  return WriteResult(out, err, kCommand, report, encoding);
}

int RunAmountCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  constexpr std::string_view kCommand = "amount";
  Encoding encoding = Encoding::kUtf8;
  Currency currency = Currency::kRubles;
  std::string number;
  bool options_done = false;
  bool have_number = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::optional<std::string> value;
    if (options_done || arg.empty() || arg[0] != '-') {
      if (have_number) number += ' ';
      number += arg;
      have_number = true;
    } else if (arg == "--") {
      options_done = true;
    } else if (arg == "--help" || arg == "-h") {
      std::fwrite(kAmountHelp.data(), 1, kAmountHelp.size(), out);
      return 0;
    } else if (arg == "--hryvnia") {
      currency = Currency::kHryvnias;
    } else if (TakeOptionValue(args, i, "--encoding", value)) {
      if (!value) return UsageError(err, kCommand, "--encoding needs a value");
      const auto parsed = ParseEncoding(*value);
      if (!parsed) return UsageError(err, kCommand, "unknown encoding (use utf-8 or cp1251)");
      encoding = *parsed;
    } else {
      return UsageError(err, kCommand, "unknown option " + arg);
    }
  }
  if (!have_number) return UsageError(err, kCommand, "missing NUMBER");

  // Only the ASCII digits count, and UTF-8 has them as single bytes, so the
  // words need no decoding.
  const AmountFromSelectionResult result = AmountFromSelection(number, currency);
  switch (result.status) {
    case AmountFromSelectionResult::Status::kNoDigits:
      return UsageError(err, kCommand, "NUMBER has no digits");
    case AmountFromSelectionResult::Status::kTooLong:
      std::fputs("velmar amount: ", err);
      Write(err, Cp1251(kAmountTooLongMessage), encoding);
      std::fputs("\n", err);
      return 2;
    case AmountFromSelectionResult::Status::kConverted:
      break;
  }
  return WriteResult(out, err, kCommand, result.text + "\n", encoding);
}

}  // namespace velmar
