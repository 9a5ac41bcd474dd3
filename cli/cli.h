#pragma once
// The `velmar` command-line tool: the conversion engine for scripts and batch work.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace velmar {

// args: the words after the program name, UTF-8. Returns the exit status:
// 0 success, 1 failure (unreadable file, bad table, malformed input), 2 usage error.
int RunVelmar(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err);

// Platform shims (platform.cpp).
std::filesystem::path ExecutableDir();
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string PathToUtf8(const std::filesystem::path& path);

}  // namespace velmar
