#pragma once
// What both literal engines (Windows-1251 bytes and UTF-8) use on their
// buffers: exact room for a result, the size of a pair's result before it is
// made, and the survey of which byte pairs a text holds.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmar {

// Makes room for n bytes, keeping the text, with no more capacity than asked:
// a growing string may double its capacity, twice what a long line needs.
inline void ReserveExactly(std::string& s, std::size_t n) {
  if (n <= s.capacity()) return;
  std::string larger;
  larger.reserve(n);
  larger.append(s);
  s.swap(larger);
}

// The size of text once every occurrence of source, the first at firstHit,
// is replaced by a target of targetSize bytes. A pair that lengthens the
// text counts its matches, so that a result past the limit is refused before
// it is made and its buffer is exactly as large as the result.
inline std::size_t ReplacedSize(std::string_view text, std::size_t firstHit, std::string_view source,
                                std::size_t targetSize) {
  std::size_t size = text.size();
  if (targetSize <= source.size()) return size;
  std::size_t hits = 0;
  for (std::size_t h = firstHit; h != std::string_view::npos; h = text.find(source, h + source.size())) ++hits;
  return size + hits * (targetSize - source.size());
}

// Which byte pairs occur in a text (a superset: pairs that a replacement
// removed may still be marked). A source with a missing byte pair cannot match.
struct BytePairs {
  std::array<std::uint64_t, 1024> bits{};
  void Clear() { bits.fill(0); }
  void Add(unsigned char a, unsigned char b) {
    unsigned i = (unsigned{a} << 8) | b;
    bits[i >> 6] |= std::uint64_t{1} << (i & 63);
  }
  bool Has(unsigned char a, unsigned char b) const {
    unsigned i = (unsigned{a} << 8) | b;
    return (bits[i >> 6] >> (i & 63)) & 1;
  }
};

}  // namespace velmar
