#include "command_line.h"

#include <exception>
#include <new>

namespace velmar {

bool CommandLine::Next() {
  while (pos_ < words_.size()) {
    const std::string& word = words_[pos_++];
    if (!optionsDone_ && word == "--") {
      optionsDone_ = true;
      continue;
    }
    operand_ = optionsDone_ || word == "-" || word.empty() || word[0] != '-';
    return true;
  }
  return false;
}

bool CommandLine::Flag(std::string_view name, std::string_view shortName) const {
  if (operand_) return false;
  const std::string& word = Word();
  if (word == name || (!shortName.empty() && word == shortName)) return true;
  if (word.size() > name.size() && word.compare(0, name.size(), name) == 0 && word[name.size()] == '=')
    throw UsageError{std::string(name) + " takes no value"};
  return false;
}

bool CommandLine::Option(std::string_view name, std::string& value, std::string_view shortName) {
  if (operand_) return false;
  const std::string& word = Word();
  if (word == name || (!shortName.empty() && word == shortName)) {
    if (pos_ >= words_.size()) throw UsageError{std::string(name) + " needs a value"};
    value = words_[pos_++];
    return true;
  }
  if (word.size() > name.size() && word.compare(0, name.size(), name) == 0 && word[name.size()] == '=') {
    value = word.substr(name.size() + 1);
    return true;
  }
  return false;
}

void CommandLine::Unknown() const { throw UsageError{"unknown option " + Word()}; }

Encoding ParseEncoding(const std::string& name) {
  if (name == "utf-8" || name == "utf8" || name == "UTF-8") return Encoding::kUtf8;
  if (name == "cp1251" || name == "windows-1251") return Encoding::kCp1251;
  throw UsageError{"unknown encoding '" + name + "' (use utf-8 or cp1251)"};
}

int ReportUsageError(std::FILE* err, std::string_view command, std::string_view message) {
  std::fprintf(err, "velmar %.*s: %.*s\nTry 'velmar %.*s --help'.\n", static_cast<int>(command.size()),
               command.data(), static_cast<int>(message.size()), message.data(), static_cast<int>(command.size()),
               command.data());
  return 2;
}

int ReportFailure(std::FILE* err, std::string_view command, std::string_view message) {
  std::fprintf(err, "velmar %.*s: %.*s\n", static_cast<int>(command.size()), command.data(),
               static_cast<int>(message.size()), message.data());
  return 1;
}

int RunSubcommand(std::string_view command, std::FILE* err, const std::function<int()>& body) {
  try {
    return body();
  } catch (const UsageError& e) {
    return ReportUsageError(err, command, e.message);
  } catch (const Failure& e) {
    return ReportFailure(err, command, e.message);
  } catch (const std::bad_alloc&) {
    return ReportFailure(err, command, "not enough memory");
  } catch (const std::exception& e) {
    return ReportFailure(err, command, e.what());
  }
}

std::string MalformedUtf8Message(std::string_view inputName, std::size_t offset, bool endsInside) {
  const std::string n = std::to_string(offset);
  return std::string(inputName) + " is not valid UTF-8 (byte " + n + "): malformed UTF-8 at byte offset " + n +
         (endsInside ? ", where the input ends inside a character" : "") +
         "; for Windows-1251 text use --encoding cp1251";
}

}  // namespace velmar
