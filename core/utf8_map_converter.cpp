#include "utf8_map_converter.h"

#include <algorithm>
#include <cstring>

#include "cp1251.h"
#include "utf8.h"

namespace velmar {

Utf8MapConverter::Utf8MapConverter(const std::array<std::string, 256>& images, std::string_view eol) : eol_(eol) {
  for (int b = 0; b < 256; ++b) {
    AppendCp1251AsUtf8(images[b], byImage_[b], nullptr, nullptr);
    mostPerByte_ = std::max(mostPerByte_, byImage_[b].size());
  }
  mostPerByte_ = std::max(mostPerByte_, eol_.size());
  for (int c = 0; c < 128; ++c) Set(ascii_[c], byImage_[c], static_cast<std::size_t>(c));
  ascii_['\r'].length = ascii_['\n'].length = kBreak;
  for (char32_t cp = 0x80; cp < 0x800; ++cp) {
    const int b = UnicodeToCp1251(cp);
    std::string own;
    AppendUtf8(own, cp);
    Set(twoByte_[cp], b >= 0 ? std::string_view(byImage_[b]) : std::string_view(own), 128 + cp);
  }
}

void Utf8MapConverter::Set(Entry& entry, std::string_view utf8, std::size_t key) {
  if (utf8.size() > 8) {
    long_[key] = utf8;
    entry.length = kLong;
    return;
  }
  entry.packed = 0;
  std::memcpy(&entry.packed, utf8.data(), utf8.size());
  entry.length = static_cast<std::uint8_t>(utf8.size());
}

std::size_t Utf8MapConverter::Convert(std::string_view piece, std::size_t i, std::size_t stop, char*& out) {
  // Locals, so that the stores through `o` (which may alias anything) do not
  // make the compiler reload the tables.
  const auto* p = reinterpret_cast<const unsigned char*>(piece.data());
  const Entry* const ascii = ascii_.data();
  const Entry* const twoByte = twoByte_.data();
  char* o = out;
  const std::size_t first = i;
  std::size_t afterBreak = first;  // where the line after the last break began
  while (i < stop) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      const Entry e = ascii[c];
      if (e.length <= 8) {
        std::memcpy(o, &e.packed, 8);
        o += e.length;
        ++i;
        continue;
      }
      if (e.length == kLong) {
        std::memcpy(o, long_[c].data(), long_[c].size());
        o += long_[c].size();
        ++i;
        continue;
      }
      // A break: CR LF, a lone CR or a lone LF. A CR at the very end of the
      // piece may be the first half of a CR LF cut in two.
      std::memcpy(o, eol_.data(), eol_.size());
      o += eol_.size();
      lineEnd_ = static_cast<std::size_t>(o - text_.data());
      ++i;
      if (c == '\r') {
        if (i == piece.size()) skipLineFeed_ = true;
        else if (p[i] == '\n') ++i;
      }
      afterBreak = i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF && i + 1 < stop && (p[i + 1] & 0xC0) == 0x80) {
      const std::size_t cp = ((c & 0x1Fu) << 6) | (p[i + 1] & 0x3Fu);
      const Entry e = twoByte[cp];
      if (e.length <= 8) {
        std::memcpy(o, &e.packed, 8);
        o += e.length;
      } else {
        std::memcpy(o, long_[128 + cp].data(), long_[128 + cp].size());
        o += long_[128 + cp].size();
      }
      i += 2;
      continue;
    }
    // Three- and four-byte characters, and whatever is cut or malformed.
    char32_t cp;
    const int n = DecodeUtf8Sequence(piece.substr(i, stop - i), cp);
    if (n <= 0) break;
    const int b = UnicodeToCp1251(cp);
    const std::string_view image = b >= 0 ? std::string_view(byImage_[b]) : piece.substr(i, static_cast<std::size_t>(n));
    std::memcpy(o, image.data(), image.size());
    o += image.size();
    i += static_cast<std::size_t>(n);
  }
  // A line is open when characters followed the last break (or, without a
  // break here, when one was open before or characters came).
  if (afterBreak > first) lineOpen_ = i > afterBreak;
  else lineOpen_ = lineOpen_ || i > first;
  out = o;
  return i;
}

bool Utf8MapConverter::Feed(std::string_view piece, std::string_view& complete) {
  // What the last call handed out is written; the unfinished line moves to
  // the front (only once a line ends, so a long line is not moved again and
  // again).
  if (complete_ > 0) {
    text_.erase(0, complete_);
    lineEnd_ -= complete_;
    complete_ = 0;
  }
  std::size_t used = text_.size();
  auto room = [&](std::size_t inputBytes) {
    text_.resize(used + inputBytes * mostPerByte_ + 8);
    return text_.data() + used;
  };
  std::size_t i = 0;
  if (skipLineFeed_ && !piece.empty()) {
    if (piece[0] == '\n') i = 1;
    skipLineFeed_ = false;
  }
  // A character cut at the end of the last piece, completed by this one.
  while (!carry_.empty() && i < piece.size()) {
    carry_ += piece[i++];
    char32_t cp;
    const int n = DecodeUtf8Sequence(carry_, cp);
    if (n == 0) {
      errorOffset_ = consumed_ - (carry_.size() - i);
      text_.resize(used);
      return false;
    }
    if (n > 0) {
      char* out = room(carry_.size());
      char* const start = out;
      Convert(carry_, 0, carry_.size(), out);
      used += static_cast<std::size_t>(out - start);
      carry_.clear();
    }
  }
  // The rest in chunks, so the room made at a time stays small.
  constexpr std::size_t kChunk = 1 << 16;
  while (i < piece.size()) {
    const std::size_t stop = std::min(piece.size(), i + kChunk);
    char* out = room(stop - i);
    char* const start = out;
    const std::size_t at = Convert(piece, i, stop, out);
    used += static_cast<std::size_t>(out - start);
    text_.resize(used);
    if (at >= stop) {
      i = at;  // past the chunk when it ended with the CR of a CR LF
      continue;
    }
    {
      // A character the chunk cuts belongs to the next chunk; one the piece
      // cuts waits for the next piece; anything else is malformed.
      char32_t cp;
      const int n = DecodeUtf8Sequence(piece.substr(at), cp);
      if (n > 0) {
        i = at;
        const std::size_t end = at + static_cast<std::size_t>(n);
        char* o = room(end - at);
        char* const s = o;
        Convert(piece, at, end, o);
        used += static_cast<std::size_t>(o - s);
        text_.resize(used);
        i = end;
        continue;
      }
      if (n < 0) {
        carry_.assign(piece.substr(at));
        break;
      }
      errorOffset_ = consumed_ + at;
      return false;
    }
  }
  text_.resize(used);
  consumed_ += piece.size();
  complete_ = lineEnd_;
  complete = std::string_view(text_).substr(0, complete_);
  return true;
}

bool Utf8MapConverter::EndInput() {
  if (!carry_.empty()) {
    errorOffset_ = consumed_ - carry_.size();
    return false;
  }
  consumed_ = 0;
  return true;
}

std::string_view Utf8MapConverter::Finish() {
  if (complete_ > 0) {
    text_.erase(0, complete_);
    lineEnd_ -= complete_;
    complete_ = 0;
  }
  if (lineOpen_) {
    text_ += eol_;
    lineOpen_ = false;
  }
  lineEnd_ = complete_ = text_.size();
  return text_;
}

}  // namespace velmar
