#include "unicode_table.h"

#include "cp1251.h"
#include "utf8.h"

namespace velmar {

std::optional<std::size_t> Utf16LeToUtf8(std::string_view bytes, std::string& out) {
  auto unit = [&](std::size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  };
  out.reserve(out.size() + bytes.size());
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    char32_t cp = unit(i);
    if (cp >= 0xDC00 && cp <= 0xDFFF) return i;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (i + 3 >= bytes.size()) return i;
      char32_t low = unit(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) return i;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    AppendUtf8(out, cp);
  }
  if (i < bytes.size()) return i;
  return std::nullopt;
}

std::string Utf8ToUtf16Le(std::string_view utf8) {
  std::u32string codePoints;
  DecodeUtf8(utf8, codePoints);
  std::string out;
  out.reserve(codePoints.size() * 2);
  const auto unit = [&out](char32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  for (char32_t cp : codePoints) {
    if (cp >= 0x10000) {
      unit(0xD800 + ((cp - 0x10000) >> 10));
      unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      unit(cp);
    }
  }
  return out;
}

TableFileText DecodeTableFile(std::string_view bytes) {
  TableFileText result;
  // Read as Windows-1251 these would be no table at all, without a word.
  if (bytes.starts_with("\xFE\xFF")) {
    result.error = "the file is in UTF-16 big-endian; tables are read in UTF-8, UTF-16 little-endian or Windows-1251";
    return result;
  }
  using namespace std::string_view_literals;
  if (bytes.starts_with("\xFF\xFE\0\0"sv) || bytes.starts_with("\0\0\xFE\xFF"sv)) {
    result.error = "the file is in UTF-32; tables are read in UTF-8, UTF-16 little-endian or Windows-1251";
    return result;
  }
  if (bytes.starts_with(kUtf8ByteOrderMark)) {
    result.encoding = TableEncoding::Utf8;
    std::string_view text = bytes.substr(kUtf8ByteOrderMark.size());
    std::u32string ignored;
    if (auto bad = DecodeUtf8(text, ignored)) {
      result.error = "malformed UTF-8 at byte offset " + std::to_string(*bad + kUtf8ByteOrderMark.size()) +
                     " (the file begins with the UTF-8 byte order mark)";
      return result;
    }
    result.text.assign(text);
  } else if (bytes.starts_with(kUtf16LeByteOrderMark)) {
    result.encoding = TableEncoding::Utf16Le;
    if (auto bad = Utf16LeToUtf8(bytes.substr(kUtf16LeByteOrderMark.size()), result.text)) {
      result.text.clear();
      result.error = "malformed UTF-16 at byte offset " + std::to_string(*bad + kUtf16LeByteOrderMark.size()) +
                     " (the file begins with the UTF-16 byte order mark)";
    }
  } else {
    result.text.assign(bytes);
    return result;
  }
  // A mark saved twice would hide the first line (a section's name) behind
  // an invisible character.
  if (result.text.starts_with(kUtf8ByteOrderMark)) {
    result.text.clear();
    result.error = "the file begins with its byte order mark twice; remove one";
  }
  return result;
}

std::string TableTextToUtf8(const TTransTable& table, std::string_view text) {
  return table.IsUnicode() ? std::string(text) : Cp1251ToUtf8(text);
}

std::u32string TableTextToCodePoints(const TTransTable& table, std::string_view text) {
  std::u32string out;
  if (table.IsUnicode()) {
    DecodeUtf8(text, out);  // the loader let in well-formed text only
  } else {
    out.reserve(text.size());
    for (unsigned char c : text) out += Cp1251ToUnicode(c);
  }
  return out;
}

std::string TableTextToCp1251(const TTransTable& table, std::string_view text) {
  if (!table.IsUnicode()) return std::string(text);
  std::string out;
  for (char32_t cp : TableTextToCodePoints(table, text)) {
    int b = UnicodeToCp1251(cp);
    out += static_cast<char>(b < 0 ? '?' : b);
  }
  return out;
}

}  // namespace velmar
