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
// empty string is zero) and `kopecks` (0 to 99) in words, in UTF-8:
// "одна тысяча двести пятьдесят рублей 00 копеек". Whole amounts up to 21
// significant digits (below 10^21, groups up to quintillions) are written
// exactly from the digits. Zero has no whole part in words: "00 копеек".
// Throws std::invalid_argument for a non-digit and std::out_of_range for a
// longer amount or kopecks outside 0..99.
std::string AmountInWords(std::string_view digits, Currency currency, int kopecks = 0);

// The same for an amount given as a number: the whole part truncated, the
// kopecks the fraction times 100 rounded to nearest (ties to even); a fraction
// that rounds to 100 kopecks carries into the whole part. Throws
// std::out_of_range for a negative (-0.0 too), non-finite or too large amount.
std::string AmountInWords(double amount, Currency currency);

// What the amount commands show when the selection holds a number they will
// not guess at (UTF-8).
inline constexpr std::string_view kAmountRefusedMessage =
    "Не удалось прочитать сумму: ожидается число вида 1 250,75 (цифры, пробелы между "
    "группами цифр и не больше двух цифр копеек после запятой или точки, без знака минус).";

// The amount a selection (Windows-1251) holds. The number runs from its first
// digit to its last; text around it is dropped ("Итого: 1 250,75 руб."). In
// it, blanks and no-break spaces separate digit groups, and a decimal comma
// or point followed by one or two digits at its end gives the kopecks
// ("12,5" is 12 and 50 kopecks). More than two decimals, a second separator,
// any other character between digits, a separator before the first digit or
// a minus sign before it make the number refused rather than guessed at.
struct AmountReading {
  enum class Status { kNoDigits, kRefused, kTooLong, kRead };
  Status status = Status::kNoDigits;
  std::string whole;  // the digits of the whole part (kRead)
  int kopecks = 0;    // 0..99 (kRead)
};
AmountReading ReadAmount(std::string_view selection);

// The amount commands of the text boxes' context menu: the amount of the
// selection (see ReadAmount) in words. More than kMaxAmountDigits digits in
// the whole part give kTooLong. A refused number gives kNoDigits too, as
// there is no amount to write: callers that show why ask ReadAmount.
struct AmountFromSelectionResult {
  enum class Status { kNoDigits, kTooLong, kConverted };
  Status status;
  std::string text;  // the amount in words when kConverted
};
AmountFromSelectionResult AmountFromSelection(std::string_view selection, Currency currency);

}  // namespace velmar
