#include "file_names.h"

#include <array>

namespace velmar {
namespace {

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

bool IsReservedDeviceName(std::string_view name) {
  // Windows looks at the name up to its first dot, without trailing blanks.
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (EqualsAsciiNoCase(stem, device)) return true;
  if (stem.size() < 4) return false;
  const std::string_view prefix = stem.substr(0, 3);
  if (!EqualsAsciiNoCase(prefix, "COM") && !EqualsAsciiNoCase(prefix, "LPT")) return false;
  const std::string_view number = stem.substr(3);
  if (number.size() == 1) return number[0] >= '0' && number[0] <= '9';
  // Superscript one, two and three.
  return number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
}

}  // namespace velmar
