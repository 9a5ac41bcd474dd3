#include "utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "cp1251.h"

namespace velmar {
namespace {

// Byte of every code point below U+2200 (-1: none), built once.
struct ReverseMap {
  std::array<short, 0x2200> byteOf{};
  ReverseMap() {
    byteOf.fill(-1);
    for (int b = 0; b < 256; ++b) {
      if (b == kCp1251Undefined) continue;
      const char32_t cp = Cp1251ToUnicode(static_cast<unsigned char>(b));
      if (cp < byteOf.size()) byteOf[cp] = static_cast<short>(b);
    }
  }
  int operator()(char32_t cp) const { return cp < byteOf.size() ? byteOf[cp] : -1; }
};

const ReverseMap& Reverse() {
  static const ReverseMap map;
  return map;
}

// The UTF-8 of every byte; 0x98 as U+0098.
struct ForwardMap {
  std::array<std::string, 256> utf8;
  // The same, packed for a copy of four bytes (no sequence is longer than three).
  std::array<std::uint32_t, 256> packed{};
  std::array<std::uint8_t, 256> length{};
  ForwardMap() {
    for (int b = 0; b < 256; ++b) {
      const auto c = static_cast<unsigned char>(b);
      AppendUtf8(utf8[b], c == kCp1251Undefined ? char32_t{0x98} : Cp1251ToUnicode(c));
      std::memcpy(&packed[b], utf8[b].data(), utf8[b].size());
      length[b] = static_cast<std::uint8_t>(utf8[b].size());
    }
  }
};

const ForwardMap& Forward() {
  static const ForwardMap map;
  return map;
}

// The length of the run of ASCII bytes from `from` on, eight bytes at a time.
std::size_t AsciiRun(std::string_view s, std::size_t from) {
  std::size_t j = from;
  while (j + 8 <= s.size()) {
    std::uint64_t word;
    std::memcpy(&word, s.data() + j, 8);
    if (word & 0x8080808080808080ull) break;
    j += 8;
  }
  while (j < s.size() && static_cast<unsigned char>(s[j]) < 0x80) ++j;
  return j - from;
}

// Decodes `piece` (which holds no incomplete sequence at its start) into
// Windows-1251. Returns the index where it stopped: piece.size(), the start
// of an incomplete sequence at the end (*cut set), or of a malformed one
// (*bad set).
std::size_t DecodeToCp1251(std::string_view piece, std::string& out, std::vector<std::string>* stash, bool& cut,
                           bool& bad) {
  const ReverseMap& reverse = Reverse();
  cut = bad = false;
  // Every sequence gives one byte, so the piece's length is room enough.
  const std::size_t start = out.size();
  out.resize(start + piece.size());
  char* const first = out.data() + start;
  char* to = first;
  const auto* p = reinterpret_cast<const unsigned char*>(piece.data());
  const std::size_t n = piece.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      // Words of eight ASCII bytes at once, then byte by byte (a blank
      // between two Cyrillic words is the common case).
      std::uint64_t word;
      while (i + 8 <= n && (std::memcpy(&word, p + i, 8), (word & 0x8080808080808080ull) == 0)) {
        std::memcpy(to, &word, 8);
        to += 8;
        i += 8;
      }
      while (i < n && p[i] < 0x80) *to++ = static_cast<char>(p[i++]);
      continue;
    }
    // Two-byte sequences (Cyrillic among them) straight from the map: every
    // code point below U+0800 has its entry.
    if (c >= 0xC2 && c <= 0xDF && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {
      const int b = reverse((char32_t{c & 0x1Fu} << 6) | (p[i + 1] & 0x3Fu));
      if (b >= 0) {
        *to++ = static_cast<char>(b);
        i += 2;
        continue;
      }
    }
    char32_t cp;
    const int len = DecodeUtf8Sequence(piece.substr(i), cp);
    if (len <= 0) {
      (len < 0 ? cut : bad) = true;
      break;
    }
    const int b = reverse(cp);
    if (b >= 0) {
      *to++ = static_cast<char>(b);
    } else {
      *to++ = static_cast<char>(kCp1251Undefined);
      if (stash) stash->emplace_back(piece.substr(i, static_cast<std::size_t>(len)));
    }
    i += static_cast<std::size_t>(len);
  }
  out.resize(start + static_cast<std::size_t>(to - first));
  return i;
}

}  // namespace

int DecodeUtf8Sequence(std::string_view s, char32_t& cp) {
  if (s.empty()) return -1;
  const auto c = static_cast<unsigned char>(s[0]);
  int n;
  char32_t min;
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  if (c >= 0xC2 && c <= 0xDF) { n = 2; cp = c & 0x1F; min = 0x80; }
  else if (c >= 0xE0 && c <= 0xEF) { n = 3; cp = c & 0x0F; min = 0x800; }
  else if (c >= 0xF0 && c <= 0xF4) { n = 4; cp = c & 0x07; min = 0x10000; }
  else return 0;
  for (int k = 1; k < n; ++k) {
    if (static_cast<std::size_t>(k) >= s.size()) return -1;
    const auto d = static_cast<unsigned char>(s[k]);
    if ((d & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (d & 0x3F);
    // Overlong forms, surrogates and values above U+10FFFF are known from the
    // second byte on, so a cut sequence is never taken for a valid start.
    if (k == 1 && ((n == 3 && (cp < 0x20 || (cp >= 0x360 && cp <= 0x37F))) ||
                   (n == 4 && (cp < 0x10 || cp > 0x10F))))
      return 0;
  }
  if (cp < min || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0;
  return n;
}

std::optional<std::size_t> DecodeUtf8(std::string_view utf8, std::u32string& out) {
  out.reserve(out.size() + utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t cp;
    const int n = DecodeUtf8Sequence(utf8.substr(i), cp);
    if (n <= 0) return i;
    out += cp;
    i += static_cast<std::size_t>(n);
  }
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacementCharacter;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string EncodeUtf8(std::u32string_view codePoints) {
  std::string out;
  out.reserve(codePoints.size());
  for (char32_t cp : codePoints) AppendUtf8(out, cp);
  return out;
}

std::optional<std::size_t> Utf8ToCp1251(std::string_view utf8, std::string& out,
                                        std::vector<std::string>* stash) {
  Utf8ToCp1251Decoder decoder;
  if (!decoder.Feed(utf8, out, stash) || !decoder.Finish()) return decoder.ErrorOffset();
  return std::nullopt;
}

bool Utf8ToCp1251Decoder::Feed(std::string_view piece, std::string& out, std::vector<std::string>* stash) {
  out.reserve(out.size() + piece.size());
  // Complete a sequence cut at the end of the last piece with the first bytes
  // of this one (at most three are needed).
  while (!carry_.empty() && !piece.empty()) {
    carry_ += piece.front();
    piece.remove_prefix(1);
    ++consumed_;
    char32_t cp;
    const int n = DecodeUtf8Sequence(carry_, cp);
    if (n == 0) {
      errorOffset_ = consumed_ - carry_.size();
      return false;
    }
    if (n > 0) {
      bool cut, bad;
      DecodeToCp1251(carry_, out, stash, cut, bad);
      carry_.clear();
    }
  }
  if (piece.empty()) return true;
  bool cut, bad;
  const std::size_t stop = DecodeToCp1251(piece, out, stash, cut, bad);
  if (bad) {
    errorOffset_ = consumed_ + stop;
    return false;
  }
  if (cut) carry_.assign(piece.substr(stop));
  consumed_ += piece.size();
  return true;
}

bool Utf8ToCp1251Decoder::Finish() {
  if (carry_.empty()) return true;
  errorOffset_ = consumed_ - carry_.size();
  return false;
}

void AppendCp1251AsUtf8(std::string_view text, std::string& out, const std::vector<std::string>* stash,
                        std::size_t* next) {
  const ForwardMap& forward = Forward();
  std::size_t i = 0;
  while (i < text.size()) {
    // Up to the next stand-in, every byte has a sequence of at most three
    // bytes, written through a pointer into room made beforehand.
    const std::size_t standIn = text.find(static_cast<char>(kCp1251Undefined), i);
    const std::size_t stop = standIn == std::string_view::npos ? text.size() : standIn;
    const std::size_t start = out.size();
    out.resize(start + (stop - i) * 3 + 4);
    char* const first = out.data() + start;
    char* to = first;
    while (i < stop) {
      const auto c = static_cast<unsigned char>(text[i]);
      if (c < 0x80) {
        const std::size_t run = std::min(AsciiRun(text, i), stop - i);
        std::memcpy(to, text.data() + i, run);
        to += run;
        i += run;
        continue;
      }
      std::memcpy(to, &forward.packed[c], 4);
      to += forward.length[c];
      ++i;
    }
    out.resize(start + static_cast<std::size_t>(to - first));
    if (i == text.size()) break;
    if (stash && next && *next < stash->size())
      out += (*stash)[(*next)++];
    else
      AppendUtf8(out, kReplacementCharacter);
    ++i;
  }
}

std::string Cp1251ToUtf8(std::string_view text) {
  const auto& forward = Forward().utf8;
  std::string out;
  out.reserve(text.size() * 2);
  for (unsigned char c : text) out += forward[c];
  return out;
}

std::string Cp1251FromUtf8Literal(std::string_view utf8) {
  std::string out;
  std::vector<std::string> outside;
  if (Utf8ToCp1251(utf8, out, &outside)) throw std::logic_error("malformed UTF-8 literal");
  if (!outside.empty()) throw std::logic_error("literal character outside Windows-1251");
  return out;
}

}  // namespace velmar
