#include "text_tools_cmd.h"

#include <span>
#include <string_view>
#include <utility>

#include "amount_words.h"
#include "command_line.h"
#include "size_format.h"
#include "text_io.h"
#include "text_stats.h"
#include "utf8.h"

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
    "Writes the amount in Russian words, in rubles (or hryvnias) and kopecks.\n"
    "The NUMBER words are read as one number, from its first digit to its last:\n"
    "blanks separate digit groups and a decimal comma or point with one or two\n"
    "digits gives the kopecks (\"1 250,75\", \"12,5\"). More decimals, a second\n"
    "separator, other characters between digits or a minus sign are refused.\n"
    "At most 20 digits before the kopecks.\n"
    "  --hryvnia      hryvnias instead of rubles\n"
    "  --encoding E   encoding of the output: utf-8 (default) or cp1251\n";

// Writes our own UTF-8 text (every character of it exists in Windows-1251) to
// a stream in the given encoding; false when it could not be written.
bool Write(std::FILE* out, std::string_view utf8, Encoding encoding) {
  const std::string text = encoding == Encoding::kUtf8 ? std::string(utf8) : Cp1251FromUtf8Literal(utf8);
  return std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
}

std::string StatsReport(const TextStatistics& s, std::string_view decimal) {
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
  for (const auto& [caption, value] : rows) report += std::string(caption) + " " + value + "\n";
  return report;
}

}  // namespace

int RunStatsCommand(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err) {
  return RunSubcommand("stats", err, [&] {
    Encoding encoding = Encoding::kUtf8;
    std::string decimal = ".";
    std::vector<std::string> files;
    CommandLine line(args);
    std::string value;
    while (line.Next()) {
      if (line.IsOperand()) {
        files.push_back(line.Word());
      } else if (line.Flag("--help", "-h")) {
        std::fwrite(kStatsHelp.data(), 1, kStatsHelp.size(), out);
        return 0;
      } else if (line.Option("--encoding", value)) {
        encoding = ParseEncoding(value);
      } else if (line.Option("--decimal", value)) {
        std::vector<std::string> unrepresentable;
        std::string cp1251;
        if (value.empty() || Utf8ToCp1251(value, cp1251, &unrepresentable) || !unrepresentable.empty())
          throw UsageError{"--decimal needs a separator of Windows-1251 characters"};
        decimal = value;
      } else {
        line.Unknown();
      }
    }
    // Line by line as the inputs are read: no input is held whole.
    StatisticsCounter counter;
    TextInput input(files, in, {.encoding = encoding, .skipByteOrderMark = true, .inputsBeginLines = true});
    input.Read([&](std::span<const std::string_view> lines) {
      for (std::string_view l : lines) counter.AddLine(l);
    });
    if (!Write(out, StatsReport(counter.Result(), decimal), encoding)) throw Failure{"cannot write the output"};
    return 0;
  });
}

int RunAmountCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  return RunSubcommand("amount", err, [&] {
    Encoding encoding = Encoding::kUtf8;
    Currency currency = Currency::kRubles;
    std::string number;
    bool haveNumber = false;
    CommandLine line(args);
    std::string value;
    while (line.Next()) {
      if (line.IsOperand()) {
        if (haveNumber) number += ' ';
        number += line.Word();
        haveNumber = true;
      } else if (line.Flag("--help", "-h")) {
        std::fwrite(kAmountHelp.data(), 1, kAmountHelp.size(), out);
        return 0;
      } else if (line.Flag("--hryvnia")) {
        currency = Currency::kHryvnias;
      } else if (line.Option("--encoding", value)) {
        encoding = ParseEncoding(value);
      } else {
        line.Unknown();
      }
    }
    if (!haveNumber) throw UsageError{"missing NUMBER"};

    // The words are UTF-8; the amount is read from their Windows-1251 text
    // (a no-break space separates digit groups).
    std::string text;
    if (Utf8ToCp1251(number, text, nullptr)) throw UsageError{"NUMBER is not valid UTF-8"};
    const AmountReading amount = ReadAmount(text);
    const auto message = [&](std::string_view utf8) {
      std::fputs("velmar amount: ", err);
      Write(err, std::string(utf8) + "\n", encoding);
      return 2;
    };
    switch (amount.status) {
      case AmountReading::Status::kNoDigits:
        throw UsageError{"NUMBER has no digits"};
      case AmountReading::Status::kRefused:
        return message(kAmountRefusedMessage);
      case AmountReading::Status::kTooLong:
        return message(kAmountTooLongMessage);
      case AmountReading::Status::kRead:
        break;
    }
    if (!Write(out, AmountInWords(amount.whole, currency, amount.kopecks) + "\n", encoding))
      throw Failure{"cannot write the output"};
    return 0;
  });
}

}  // namespace velmar
