#pragma once
// A money amount written out in Russian words, in rubles or hryvnias.
#include <cstddef>
#include <string>
#include <string_view>

namespace velmar {

enum class Currency { kRubles, kHryvnias };

// The longest digit string the amount commands accept.
inline constexpr std::size_t kMaxAmountDigits = 20;

// What the amount commands show when the selection holds more digits (UTF-8).
inline constexpr std::string_view kAmountTooLongMessage =
    "Слишком длинное число (макс. длина 20 символов).";

// The whole amount `digits` (ASCII decimal digits, leading zeros allowed, an
// empty string is zero) and `kopecks` (0 to 99) in words, Windows-1251:
// "одна тысяча двести пятьдесят рублей 00 копеек". Whole amounts up to 21
// significant digits (below 10^21, groups up to quintillions) are written
// exactly from the digits. Zero has no whole part in words: "00 копеек".
// Throws std::invalid_argument for a non-digit and std::out_of_range for a
// longer amount or kopecks outside 0..99.
std::string AmountInWords(std::string_view digits, Currency currency, int kopecks = 0);

// The same for an amount given as a number: the whole part truncated, the
// kopecks the fraction times 100 rounded to nearest (ties to even); a fraction
// that rounds to 100 kopecks carries into the whole part. Throws
// std::out_of_range for a negative, non-finite or too large amount.
std::string AmountInWords(double amount, Currency currency);

// The amount commands of the text boxes' context menu: the digits of the
// selection in their order (everything else dropped) as a whole amount.
struct AmountFromSelectionResult {
  enum class Status { kNoDigits, kTooLong, kConverted };
  Status status;
  std::string text;  // the amount in words when kConverted
};
AmountFromSelectionResult AmountFromSelection(std::string_view selection, Currency currency);

}  // namespace velmar
