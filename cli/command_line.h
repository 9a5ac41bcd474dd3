#pragma once
// The words of a subcommand, read the same way by every subcommand, and the
// one way they report errors.
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmar {

// A wrong command line: reported with a hint at --help, exit status 2.
struct UsageError {
  std::string message;
};
// A run that could not be done (unreadable file, malformed input): exit status 1.
struct Failure {
  std::string message;
};

// Reads the words after the subcommand's name. Options take their value as
// "--name value" or "--name=value"; "--" ends the options; "-" and every word
// not starting with "-" are operands (file names, numbers).
class CommandLine {
 public:
  explicit CommandLine(const std::vector<std::string>& words) : words_(words) {}

  // Moves to the next word; false when there is none.
  bool Next();
  // The current word is an operand.
  bool IsOperand() const { return operand_; }
  const std::string& Word() const { return words_[pos_ - 1]; }

  // True when the current word is the flag `name` (or its short form).
  bool Flag(std::string_view name, std::string_view shortName = {}) const;
  // True when the current word is the option `name` (or its short form);
  // its value is stored in *value. Throws UsageError when the value is missing.
  bool Option(std::string_view name, std::string& value, std::string_view shortName = {});
  // Throws the UsageError for a word no subcommand option matched.
  [[noreturn]] void Unknown() const;

 private:
  const std::vector<std::string>& words_;
  std::size_t pos_ = 0;
  bool operand_ = false;
  bool optionsDone_ = false;
};

// Text encodings of the bytes a subcommand reads and writes.
enum class Encoding { kUtf8, kCp1251 };
// "utf-8" (also "utf8", "UTF-8") or "cp1251" (also "windows-1251"); throws UsageError.
Encoding ParseEncoding(const std::string& name);

// Writes "velmar COMMAND: MESSAGE" (and for a usage error the hint at
// --help) to err and gives the exit status; the message is UTF-8.
int ReportUsageError(std::FILE* err, std::string_view command, std::string_view message);
int ReportFailure(std::FILE* err, std::string_view command, std::string_view message);

// Runs a subcommand's body and reports what it throws in the one format:
// UsageError, Failure, std::bad_alloc ("not enough memory") and any other
// std::exception. Returns the body's exit status or the error's.
int RunSubcommand(std::string_view command, std::FILE* err, const std::function<int()>& body);

// The message for malformed UTF-8 in an input.
std::string MalformedUtf8Message(std::string_view inputName, std::size_t offset, bool endsInside);

}  // namespace velmar
