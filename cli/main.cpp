#include <cstdio>
#include <string>
#include <vector>

#include "cli.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <windows.h>

// Wide arguments: the C runtime's narrow argv is in the ANSI code page and
// turns Cyrillic file names into "?".
int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    int n = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, s.data(), n, nullptr, nullptr);
    args.push_back(std::move(s));
  }
  return velmar::RunVelmar(args, stdin, stdout, stderr);
}
#else
#include <csignal>

int main(int argc, char** argv) {
  // Past a file-size limit a write fails and the run says so (removing its
  // temporary file) instead of being killed halfway.
  std::signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
  return velmar::RunVelmar(args, stdin, stdout, stderr);
}
#endif
