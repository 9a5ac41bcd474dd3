#pragma once
// What both literal engines (Windows-1251 bytes and UTF-8) use on their
// buffers: exact room for a result, the size of a pair's result before it is
// made, the survey of which byte pairs a text holds, and a replacement that
// keeps that survey.
#include <array>
#include <cstdint>
#include <new>
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

// Writes text into out with every occurrence of source replaced by target;
// false, and out untouched, when the text holds none. A result of more than
// limit bytes throws std::bad_alloc before it is made, as the pair-by-pair
// algorithm would run out of memory on it. The survey stays a superset:
// every seam between the pieces of the result gets its byte pair as the piece
// after it is appended (an empty target joins the text around it), the
// target its own bytes and pairs.
inline bool ReplaceSurveyed(std::string_view text, std::string_view source, std::string_view target,
                            std::size_t limit, std::string& out, BytePairs& pairs, std::array<bool, 256>& present) {
  std::size_t hit = text.find(source);
  if (hit == std::string_view::npos) return false;
  const std::size_t size = ReplacedSize(text, hit, source, target.size());
  if (size > limit) throw std::bad_alloc();
  out.clear();
  ReserveExactly(out, size);
  const auto append = [&](std::string_view piece) {
    if (piece.empty()) return;
    if (!out.empty()) pairs.Add(static_cast<unsigned char>(out.back()), static_cast<unsigned char>(piece[0]));
    out.append(piece);
  };
  std::size_t pos = 0;
  do {
    append(text.substr(pos, hit - pos));
    append(target);
    pos = hit + source.size();
    hit = text.find(source, pos);
  } while (hit != std::string_view::npos);
  append(text.substr(pos));

  const auto* t = reinterpret_cast<const unsigned char*>(target.data());
  for (std::size_t i = 0; i < target.size(); ++i) {
    present[t[i]] = true;
    if (i > 0) pairs.Add(t[i - 1], t[i]);
  }
  return true;
}

}  // namespace velmar
