#include "cp1251_text.h"

#include <stdexcept>

#include "cp1251.h"

namespace velmar::tools_detail {

std::string Cp1251FromLiteral(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 0;
    if (length == 0 || i + length > utf8.size()) throw std::logic_error("bad UTF-8 literal");
    char32_t cp = length == 1 ? lead : length == 2 ? (lead & 0x1F) : (lead & 0x0F);
    for (int k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    const int byte = UnicodeToCp1251(cp);
    if (byte < 0) throw std::logic_error("literal character outside Windows-1251");
    out += static_cast<char>(byte);
    i += static_cast<std::size_t>(length);
  }
  return out;
}

}  // namespace velmar::tools_detail
