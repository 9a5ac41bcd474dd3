#pragma once
// The text-box side of the text tools: what a statistics run analyses, the
// amount commands on a selection, and the user's decimal separator.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "amount_words.h"

namespace velmar {

// The lines a statistics run analyses in a multi-line EDIT: its selection
// split at CR LF, CR or LF when it has one (a break at the very end adds no
// empty line), otherwise all lines of the box. Windows-1251. Nothing when the
// box is empty: no run starts then.
std::optional<std::vector<std::string>> StatisticsLinesOf(HWND textBox);

// The amount command on the selection of an EDIT: the selection's digits as
// a whole amount in words replace the selection (not offered to undo).
// Without a selection or without digits nothing happens; more than 20 digits
// show the too-long message, owned by `owner`, and change nothing. Returns
// whether the selection was replaced.
bool ReplaceSelectionWithAmount(HWND owner, HWND textBox, Currency currency);

// The decimal separator of the user's regional settings (ui::UserDecimalSeparator), UTF-8.
std::string UserDecimalSeparator();

}  // namespace velmar
