#pragma once
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

#include "utf8.h"

namespace velmar::test {

// Test texts are written in UTF-8 in the source; the core works on Windows-1251.
// A character the code page cannot hold becomes the stand-in byte.
inline std::string W(std::string_view utf8) {
  std::string out;
  if (Utf8ToCp1251(utf8, out, nullptr)) throw std::logic_error("malformed UTF-8 in a test text");
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
