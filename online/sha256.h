#pragma once
// SHA-256 (FIPS 180-4), for checking downloaded files against the digest a
// catalogue gives. Incremental, so a download can hash each chunk it writes.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmar::online {

class Sha256 {
 public:
  using Digest = std::array<std::uint8_t, 32>;

  Sha256();
  void Update(const void* data, std::size_t size);
  void Update(std::string_view bytes) { Update(bytes.data(), bytes.size()); }
  // The digest of everything given so far; the object starts over afterwards.
  Digest Finish();

 private:
  void Block(const std::uint8_t* block);
  void Reset();

  std::array<std::uint32_t, 8> state_{};
  std::array<std::uint8_t, 64> buffer_{};
  std::size_t buffered_ = 0;
  std::uint64_t length_ = 0;  // bytes given so far
};

// Lower-case hexadecimal, 64 digits.
std::string ToHex(const Sha256::Digest& digest);
std::string Sha256Hex(std::string_view bytes);
// The digest of a whole file; nothing when it cannot be read.
std::optional<std::string> Sha256HexOfFile(const std::filesystem::path& path);
// True when `hex` is 64 hexadecimal digits (either case) naming this digest.
bool DigestMatches(const Sha256::Digest& digest, std::string_view hex);

}  // namespace velmar::online
