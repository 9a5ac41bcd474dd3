#include "text_box_tools.h"

#include <string_view>
#include <utility>

#include "text_lines.h"
#include "text.h"
#include "window.h"

namespace velmar {
namespace {

// The selected part of `text`, in UTF-16 units as the box reports them.
std::wstring_view Selection(HWND textBox, std::wstring_view text) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(textBox, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (start > end) std::swap(start, end);
  if (end > text.size()) end = static_cast<DWORD>(text.size());
  if (start >= end) return {};
  return text.substr(start, end - start);
}

}  // namespace

std::optional<std::vector<std::string>> StatisticsLinesOf(HWND textBox) {
  const std::wstring text = ui::GetText(textBox);
  if (text.empty()) return std::nullopt;
  const std::wstring_view selection = Selection(textBox, text);
  // A box without wrapping holds exactly the pieces of its text between the
  // line breaks, so the whole text and a selection split the same way.
  const std::string bytes = ui::ToCp1251(selection.empty() ? std::wstring_view(text) : selection);
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(bytes)) lines.emplace_back(line);
  return lines;
}

bool ReplaceSelectionWithAmount(HWND owner, HWND textBox, Currency currency) {
  const std::wstring text = ui::GetText(textBox);
  const std::wstring_view selection = Selection(textBox, text);
  if (selection.empty()) return false;
  const AmountFromSelectionResult amount = AmountFromSelection(ui::ToCp1251(selection), currency);
  switch (amount.status) {
    case AmountFromSelectionResult::Status::kNoDigits:
      return false;
    case AmountFromSelectionResult::Status::kTooLong:
      MessageBoxW(owner, ui::Widen(kAmountTooLongMessage).c_str(), L"VelmarPro", MB_OK);
      return false;
    case AmountFromSelectionResult::Status::kConverted:
      break;
  }
  SendMessageW(textBox, EM_REPLACESEL, FALSE,
               reinterpret_cast<LPARAM>(ui::Widen(amount.text).c_str()));
  return true;
}

std::string UserDecimalSeparator() { return ui::Narrow(ui::UserDecimalSeparator()); }

}  // namespace velmar
