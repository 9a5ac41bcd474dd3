#pragma once
// Text at the edge of the windows: the program keeps Windows-1251 bytes (UTF-8
// for a Unicode table's text and for its own literals), the windows hold
// UTF-16. Exactly these four functions cross that edge: ToCp1251 and
// FromCp1251 with code page 1251, whatever the system's ANSI code page is;
// Widen and Narrow with UTF-8, for the program's own user texts and the text
// of a Unicode table's run.
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// Characters Windows-1251 cannot hold become the stand-in byte 0x98, and when
// standIns is given their UTF-16 text is appended there, in text order.
std::string ToCp1251(std::wstring_view text, std::vector<std::wstring>* standIns = nullptr);

// Every 0x98 byte is replaced by the next of standIns (while there are any).
std::wstring FromCp1251(std::string_view text, std::span<const std::wstring> standIns = {});

std::wstring Widen(std::string_view utf8);
// Window text as UTF-8, for the text of a Unicode table's run (a lone
// surrogate becomes U+FFFD).
std::string Narrow(std::wstring_view text);

// The decimal separator of the user's locale; "." when the locale gives none.
std::wstring UserDecimalSeparator();

}  // namespace ui
