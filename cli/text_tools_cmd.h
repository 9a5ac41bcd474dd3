#pragma once
// The text tool subcommands of the velmar command-line tool: "stats" and "amount".
#include <cstdio>
#include <string>
#include <vector>

namespace velmar {

// velmar stats [--encoding utf-8|cp1251] [--decimal SEP] [FILE...]
// Prints the nine values of the statistics window for the lines of the files
// (standard input when none is given, or for "-"), taken together as one text.
// `args` are the words after "stats", in UTF-8. Returns the exit status:
// 0, 1 when an input cannot be read or decoded, 2 for a usage error.
int RunStatsCommand(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err);

// velmar amount [--hryvnia] [--encoding utf-8|cp1251] NUMBER...
// Prints the amount in words of NUMBER (see ReadAmount) and a line break.
// Returns 0, or 2 for a usage error, no digits, a number it will not guess
// at or more than 20 digits.
int RunAmountCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace velmar
