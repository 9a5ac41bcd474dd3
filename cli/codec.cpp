#include "codec.h"

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
      char32_t cp = Cp1251ToUnicode(static_cast<unsigned char>(b));
      if (cp < byteOf.size()) byteOf[cp] = static_cast<short>(b);
    }
  }
};

struct ForwardMap {
  std::array<std::string, 256> utf8;
  ForwardMap() {
    for (int b = 0; b < 256; ++b) utf8[b] = Cp1251ToUtf8(std::string(1, static_cast<char>(b)));
  }
};

const ReverseMap& Reverse() {
  static const ReverseMap map;
  return map;
}

const ForwardMap& Forward() {
  static const ForwardMap map;
  return map;
}

// Length of a well-formed sequence starting at s[0], 0 when malformed,
// -1 when s ends before the sequence is complete (and all so far is valid).
int SequenceLength(std::string_view s, char32_t& cp) {
  unsigned char c = static_cast<unsigned char>(s[0]);
  int n;
  char32_t min;
  if (c < 0x80) { cp = c; return 1; }
  if (c >= 0xC2 && c <= 0xDF) { n = 2; cp = c & 0x1F; min = 0x80; }
  else if (c >= 0xE0 && c <= 0xEF) { n = 3; cp = c & 0x0F; min = 0x800; }
  else if (c >= 0xF0 && c <= 0xF4) { n = 4; cp = c & 0x07; min = 0x10000; }
  else return 0;
  for (int k = 1; k < n; ++k) {
    if (static_cast<std::size_t>(k) >= s.size()) return -1;
    unsigned char d = static_cast<unsigned char>(s[k]);
    if ((d & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (d & 0x3F);
    // Reject overlong forms, surrogates and values above U+10FFFF as early as possible.
    if (k == 1 && ((n == 3 && cp < 0x20) || (n == 4 && (cp < 0x10 || cp > 0x10F)))) return 0;
  }
  if (cp < min || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0;
  return n;
}

}  // namespace

bool Utf8Decoder::Feed(std::string_view piece, std::string& out, std::vector<std::string>* stash) {
  const auto& rev = Reverse().byteOf;
  std::string joined;
  if (!carry_.empty()) {
    joined = carry_ + std::string(piece);
    piece = joined;
  }
  std::size_t base = consumed_ - carry_.size();
  carry_.clear();
  out.reserve(out.size() + piece.size());
  std::size_t i = 0;
  while (i < piece.size()) {
    unsigned char c = static_cast<unsigned char>(piece[i]);
    if (c < 0x80) {
      // Plain ASCII goes through in runs.
      std::size_t j = i + 1;
      while (j < piece.size() && static_cast<unsigned char>(piece[j]) < 0x80) ++j;
      out.append(piece, i, j - i);
      i = j;
      continue;
    }
    char32_t cp;
    int n = SequenceLength(piece.substr(i), cp);
    if (n < 0) {
      carry_.assign(piece.substr(i));
      break;
    }
    if (n == 0) {
      errorOffset_ = base + i;
      return false;
    }
    short b = cp < rev.size() ? rev[cp] : -1;
    if (b >= 0) {
      out += static_cast<char>(b);
    } else {
      out += static_cast<char>(kCp1251Undefined);
      if (stash) stash->emplace_back(piece.substr(i, n));
    }
    i += n;
  }
  consumed_ = base + piece.size();
  return true;
}

bool Utf8Decoder::Finish() {
  if (carry_.empty()) return true;
  errorOffset_ = consumed_ - carry_.size();
  return false;
}

std::optional<std::size_t> Utf8ToCp1251(std::string_view utf8, std::string& out,
                                        std::vector<std::string>* stash) {
  Utf8Decoder decoder;
  if (!decoder.Feed(utf8, out, stash) || !decoder.Finish()) return decoder.ErrorOffset();
  return std::nullopt;
}

void AppendCp1251AsUtf8(std::string_view text, std::string& out, const std::vector<std::string>* stash,
                        std::size_t* next) {
  const auto& fwd = Forward().utf8;
  out.reserve(out.size() + text.size() * 2);
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      std::size_t j = i + 1;
      while (j < text.size() && static_cast<unsigned char>(text[j]) < 0x80) ++j;
      out.append(text, i, j - i);
      i = j;
      continue;
    }
    if (c == kCp1251Undefined) {
      if (stash && next && *next < stash->size()) out += (*stash)[(*next)++];
      else out += "\xEF\xBF\xBD";
    } else {
      out += fwd[c];
    }
    ++i;
  }
}

}  // namespace velmar
