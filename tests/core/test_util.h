#pragma once
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "cp1251.h"

namespace velmar::test {

// Test texts are written in UTF-8 in the source; the core works on Windows-1251.
inline std::string W(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    char32_t cp;
    int n;
    if (c < 0x80) { cp = c; n = 1; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; n = 2; }
    else { cp = c & 0x0F; n = 3; }
    for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += n;
    int b = UnicodeToCp1251(cp);
    out += static_cast<char>(b < 0 ? '?' : b);
  }
  return out;
}

// A fresh, empty folder under the system temp folder, removed at the end.
class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("velmar-test-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path Write(const std::string& name, std::string_view bytes) const {
    auto p = path_ / name;
    std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace velmar::test
