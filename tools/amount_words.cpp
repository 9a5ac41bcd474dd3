#include "amount_words.h"

#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>


namespace velmar {
namespace {


using Forms = std::array<std::string, 3>;  // after one, after two to four, otherwise
using Digits = std::array<std::string, 10>;

// Groups of three digits, from the last one (position 0) up.
constexpr std::size_t kGroupCount = 7;

Digits Pieces(const std::array<const char*, 10>& utf8) {
  Digits out;
  for (std::size_t i = 0; i < utf8.size(); ++i) out[i] = utf8[i];
  return out;
}

Forms MakeForms(const char* one, const char* few, const char* many) {
  return {one, few, many};
}

// Every piece ends with one space, so appending pieces separates the words.
struct Words {
  Digits hundreds = Pieces({"", "сто ", "двести ", "триста ", "четыреста ", "пятьсот ", "шестьсот ",
                            "семьсот ", "восемьсот ", "девятьсот "});
  Digits tens = Pieces({"", "", "двадцать ", "тридцать ", "сорок ", "пятьдесят ", "шестьдесят ",
                        "семьдесят ", "восемьдесят ", "девяносто "});
  Digits teens = Pieces({"десять ", "одиннадцать ", "двенадцать ", "тринадцать ", "четырнадцать ",
                         "пятнадцать ", "шестнадцать ", "семнадцать ", "восемнадцать ",
                         "девятнадцать "});
  Digits units_masculine = Pieces({"", "один ", "два ", "три ", "четыре ", "пять ", "шесть ",
                                   "семь ", "восемь ", "девять "});
  Digits units_feminine = Pieces({"", "одна ", "две ", "три ", "четыре ", "пять ", "шесть ",
                                  "семь ", "восемь ", "девять "});
  // Position 0 is the currency's word, set apart below.
  std::array<Forms, kGroupCount> groups = {
      Forms{},
      MakeForms("тысяча ", "тысячи ", "тысяч "),
      MakeForms("миллион ", "миллиона ", "миллионов "),
      MakeForms("миллиард ", "миллиарда ", "миллиардов "),
      MakeForms("триллион ", "триллиона ", "триллионов "),
      MakeForms("квадриллион ", "квадриллиона ", "квадриллионов "),
      MakeForms("квинтиллион ", "квинтиллиона ", "квинтиллионов "),
  };
  Forms rubles = MakeForms("рубль ", "рубля ", "рублей ");
  Forms hryvnias = MakeForms("гривна ", "гривны ", "гривен ");
  Forms kopecks = MakeForms("копейка", "копейки", "копеек");
};

const Words& GetWords() {
  static const Words words;
  return words;
}

// 0: after one (21, 101), 1: after two to four (22, 104), 2: otherwise (11 to 14, 25, 0).
std::size_t PluralForm(unsigned n) {
  const unsigned last_two = n % 100;
  const unsigned last = n % 10;
  if (last_two >= 10 && last_two <= 19) return 2;
  if (last == 1) return 0;
  if (last >= 2 && last <= 4) return 1;
  return 2;
}

// Thousands and hryvnias are feminine: "одна тысяча", "две гривны".
void AppendGroup(std::string& out, unsigned g, bool feminine, const Forms& forms) {
  const Words& words = GetWords();
  out += words.hundreds[g / 100];
  const unsigned below_hundred = g % 100;
  if (below_hundred >= 10 && below_hundred <= 19) {
    out += words.teens[below_hundred - 10];
  } else {
    out += words.tens[below_hundred / 10];
    out += (feminine ? words.units_feminine : words.units_masculine)[g % 10];
  }
  out += forms[PluralForm(g)];
}

}  // namespace

std::string AmountInWords(std::string_view digits, Currency currency, int kopecks) {
  for (char c : digits) {
    if (c < '0' || c > '9') throw std::invalid_argument("amount is not a digit string");
  }
  const std::size_t first = digits.find_first_not_of('0');
  const std::string_view significant = first == std::string_view::npos ? "" : digits.substr(first);
  if (significant.size() > kGroupCount * 3) throw std::out_of_range("amount too large");
  if (kopecks < 0 || kopecks > 99) throw std::out_of_range("kopecks outside 0..99");

  const Words& words = GetWords();
  std::string out;
  if (!significant.empty()) {
    // Left-pad to whole groups of three digits.
    const std::string padded = std::string((3 - significant.size() % 3) % 3, '0') + std::string(significant);
    const std::size_t groups = padded.size() / 3;
    for (std::size_t i = 0; i < groups; ++i) {
      const std::size_t position = groups - 1 - i;
      const unsigned g = static_cast<unsigned>((padded[3 * i] - '0') * 100 + (padded[3 * i + 1] - '0') * 10 +
                                               (padded[3 * i + 2] - '0'));
      if (position > 0) {
        // An empty group between others is not spoken: 1 000 500 has no "тысяч".
        if (g != 0) AppendGroup(out, g, position == 1, words.groups[position]);
      } else if (currency == Currency::kRubles) {
        AppendGroup(out, g, false, words.rubles);
      } else {
        AppendGroup(out, g, true, words.hryvnias);
      }
    }
  }

  if (kopecks == 0) return out + "00 " + words.kopecks[2];
  out += static_cast<char>('0' + kopecks / 10);
  out += static_cast<char>('0' + kopecks % 10);
  out += ' ';
  out += words.kopecks[PluralForm(static_cast<unsigned>(kopecks))];
  return out;
}

std::string AmountInWords(double amount, Currency currency) {
  if (!std::isfinite(amount) || std::signbit(amount)) throw std::out_of_range("amount must be a non-negative number");
  double whole = std::trunc(amount);
  // rint rounds ties to even in the default rounding mode.
  double kopecks = std::rint((amount - whole) * 100);
  if (kopecks >= 100) {
    whole += 1;
    kopecks = 0;
  }
  if (whole >= 1e21) throw std::out_of_range("amount too large");
  std::array<char, 32> buffer;
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), whole, std::chars_format::fixed, 0);
  return AmountInWords(std::string_view(buffer.data(), result.ptr), currency, static_cast<int>(kopecks));
}

AmountReading ReadAmount(std::string_view selection) {
  using Status = AmountReading::Status;
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  const auto isBlank = [](char c) { return c == ' ' || c == '\xA0'; };
  const auto isDecimal = [](char c) { return c == ',' || c == '.'; };
  // A hyphen-minus or an en dash, as a minus sign is typed in Russian text.
  const auto isMinus = [](char c) { return c == '-' || c == '\x96'; };

  const std::size_t first = selection.find_first_of("0123456789");
  if (first == std::string_view::npos) return {};
  const std::size_t last = selection.find_last_of("0123456789");
  AmountReading refused{Status::kRefused, {}, 0};

  std::size_t before = first;
  if (before > 0 && isDecimal(selection[before - 1])) return refused;
  while (before > 0 && isBlank(selection[before - 1])) --before;
  if (before > 0 && isMinus(selection[before - 1])) return refused;

  std::string whole, decimals;
  bool afterSeparator = false;
  for (std::size_t i = first; i <= last; ++i) {
    const char c = selection[i];
    if (isDigit(c)) {
      (afterSeparator ? decimals : whole) += c;
    } else if (isBlank(c) && !afterSeparator) {
      // a group separator
    } else if (isDecimal(c) && !afterSeparator && isDigit(selection[i + 1])) {
      afterSeparator = true;
    } else {
      return refused;
    }
  }
  if (decimals.size() > 2) return refused;
  if (whole.size() > kMaxAmountDigits) return {Status::kTooLong, {}, 0};
  int kopecks = 0;
  if (!decimals.empty()) kopecks = (decimals[0] - '0') * 10 + (decimals.size() == 2 ? decimals[1] - '0' : 0);
  return {Status::kRead, std::move(whole), kopecks};
}

AmountFromSelectionResult AmountFromSelection(std::string_view selection, Currency currency) {
  const AmountReading amount = ReadAmount(selection);
  switch (amount.status) {
    case AmountReading::Status::kNoDigits:
    case AmountReading::Status::kRefused:
      return {AmountFromSelectionResult::Status::kNoDigits, {}};
    case AmountReading::Status::kTooLong:
      return {AmountFromSelectionResult::Status::kTooLong, {}};
    case AmountReading::Status::kRead:
      break;
  }
  return {AmountFromSelectionResult::Status::kConverted, AmountInWords(amount.whole, currency, amount.kopecks)};
}

}  // namespace velmar
