#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "amount_words.h"
#include "tools_test_util.h"

namespace velmar {
namespace {
using test::Cp;
using Status = AmountFromSelectionResult::Status;

struct Case { const char* digits; const char* expected; };

TEST(AmountInWords, Rubles) {
  const Case cases[] = {
      {"1", "один рубль 00 копеек"},
      {"2", "два рубля 00 копеек"},
      {"5", "пять рублей 00 копеек"},
      {"11", "одиннадцать рублей 00 копеек"},
      {"21", "двадцать один рубль 00 копеек"},
      {"115", "сто пятнадцать рублей 00 копеек"},
      {"1000", "одна тысяча рублей 00 копеек"},
      {"2000", "две тысячи рублей 00 копеек"},
      {"1001", "одна тысяча один рубль 00 копеек"},
      {"12000", "двенадцать тысяч рублей 00 копеек"},
      {"1000000", "один миллион рублей 00 копеек"},
      {"1000500", "один миллион пятьсот рублей 00 копеек"},
      {"2500000", "два миллиона пятьсот тысяч рублей 00 копеек"},
      {"999999999", "девятьсот девяносто девять миллионов девятьсот девяносто девять тысяч "
                    "девятьсот девяносто девять рублей 00 копеек"},
      {"0", "00 копеек"},
      {"", "00 копеек"},
      {"000", "00 копеек"},
      {"0042", "сорок два рубля 00 копеек"},
  };
  for (const auto& c : cases) EXPECT_EQ(AmountInWords(c.digits, Currency::kRubles), c.expected) << c.digits;
}

TEST(AmountInWords, HryvniasAreFeminine) {
  const Case cases[] = {
      {"1", "одна гривна 00 копеек"},
      {"2", "две гривны 00 копеек"},
      {"3", "три гривны 00 копеек"},
      {"5", "пять гривен 00 копеек"},
      {"12", "двенадцать гривен 00 копеек"},
      {"21", "двадцать одна гривна 00 копеек"},
      {"1001", "одна тысяча одна гривна 00 копеек"},
      {"2002", "две тысячи две гривны 00 копеек"},
      {"1000001", "один миллион одна гривна 00 копеек"},
      {"21000000002", "двадцать один миллиард две гривны 00 копеек"},
      {"0", "00 копеек"},
  };
  for (const auto& c : cases) EXPECT_EQ(AmountInWords(c.digits, Currency::kHryvnias), c.expected) << c.digits;
}

TEST(AmountInWords, BillionsAndAboveFromTheDigits) {
  const Case cases[] = {
      {"1000000000", "один миллиард рублей 00 копеек"},
      {"2000000001", "два миллиарда один рубль 00 копеек"},
      {"1001000000", "один миллиард один миллион рублей 00 копеек"},
      {"5000000000000", "пять триллионов рублей 00 копеек"},
      {"3000000000000000", "три квадриллиона рублей 00 копеек"},
      {"11000000000000000000", "одиннадцать квинтиллионов рублей 00 копеек"},
      // 2^63: one above the largest signed 64-bit integer.
      {"9223372036854775808",
       "девять квинтиллионов двести двадцать три квадриллиона триста семьдесят два триллиона "
       "тридцать шесть миллиардов восемьсот пятьдесят четыре миллиона семьсот семьдесят пять тысяч "
       "восемьсот восемь рублей 00 копеек"},
      // 2^64 + 1: wraps to 1 in an unsigned 64-bit integer.
      {"18446744073709551617",
       "восемнадцать квинтиллионов четыреста сорок шесть квадриллионов семьсот сорок четыре триллиона "
       "семьдесят три миллиарда семьсот девять миллионов пятьсот пятьдесят одна тысяча "
       "шестьсот семнадцать рублей 00 копеек"},
      // The largest amount of twenty digits; a double would make it 10^20.
      {"99999999999999999999",
       "девяносто девять квинтиллионов девятьсот девяносто девять квадриллионов "
       "девятьсот девяносто девять триллионов девятьсот девяносто девять миллиардов "
       "девятьсот девяносто девять миллионов девятьсот девяносто девять тысяч "
       "девятьсот девяносто девять рублей 00 копеек"},
      {"100000000000000000000", "сто квинтиллионов рублей 00 копеек"},
      {"000000000000000000000000001", "один рубль 00 копеек"},
  };
  for (const auto& c : cases) EXPECT_EQ(AmountInWords(c.digits, Currency::kRubles), c.expected) << c.digits;
}

TEST(AmountInWords, Kopecks) {
  struct KopeckCase { int kopecks; const char* expected; };
  const KopeckCase cases[] = {
      {1, "семь рублей 01 копейка"},   {2, "семь рублей 02 копейки"},  {3, "семь рублей 03 копейки"},
      {5, "семь рублей 05 копеек"},    {10, "семь рублей 10 копеек"},  {11, "семь рублей 11 копеек"},
      {12, "семь рублей 12 копеек"},   {14, "семь рублей 14 копеек"},  {21, "семь рублей 21 копейка"},
      {22, "семь рублей 22 копейки"},  {50, "семь рублей 50 копеек"},  {99, "семь рублей 99 копеек"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(AmountInWords("7", Currency::kRubles, c.kopecks), c.expected) << c.kopecks;
  EXPECT_EQ(AmountInWords("0", Currency::kHryvnias, 31), "31 копейка");
}

TEST(AmountInWords, RejectsWhatItCannotWrite) {
  EXPECT_THROW(AmountInWords("1000000000000000000000", Currency::kRubles), std::out_of_range);  // 10^21
  EXPECT_THROW(AmountInWords("12a", Currency::kRubles), std::invalid_argument);
  EXPECT_THROW(AmountInWords("-1", Currency::kRubles), std::invalid_argument);
  EXPECT_THROW(AmountInWords("1", Currency::kRubles, 100), std::out_of_range);
  EXPECT_THROW(AmountInWords("1", Currency::kRubles, -1), std::out_of_range);
}

TEST(AmountInWordsOfNumber, FractionBecomesKopecks) {
  struct NumberCase { double amount; const char* expected; };
  const NumberCase cases[] = {
      {12.5, "двенадцать рублей 50 копеек"},
      {7.03, "семь рублей 03 копейки"},
      {7.21, "семь рублей 21 копейка"},
      {7.11, "семь рублей 11 копеек"},
      {1250, "одна тысяча двести пятьдесят рублей 00 копеек"},
      {0.125, "12 копеек"},                   // 12.5 kopecks: ties to even
      {0.375, "38 копеек"},
      {7.999, "восемь рублей 00 копеек"},     // 99.9 kopecks carry into the rubles
      {1e20, "сто квинтиллионов рублей 00 копеек"},
      {0, "00 копеек"},
  };
  for (const auto& c : cases) EXPECT_EQ(AmountInWords(c.amount, Currency::kRubles), c.expected) << c.amount;
  EXPECT_EQ(AmountInWords(2.02, Currency::kHryvnias), "две гривны 02 копейки");
}

TEST(AmountInWordsOfNumber, RejectsNegativeAndNonFinite) {
  EXPECT_THROW(AmountInWords(-1.0, Currency::kRubles), std::out_of_range);
  EXPECT_THROW(AmountInWords(-0.0, Currency::kRubles), std::out_of_range);
  EXPECT_THROW(AmountInWords(std::numeric_limits<double>::quiet_NaN(), Currency::kRubles), std::out_of_range);
  EXPECT_THROW(AmountInWords(std::numeric_limits<double>::infinity(), Currency::kRubles), std::out_of_range);
  EXPECT_THROW(AmountInWords(1e21, Currency::kRubles), std::out_of_range);
}

TEST(AmountFromSelection, DigitsOfTheSelection) {
  auto r = AmountFromSelection(Cp("1 250,75 руб."), Currency::kRubles);
  EXPECT_EQ(r.status, Status::kConverted);
  EXPECT_EQ(r.text, "одна тысяча двести пятьдесят рублей 75 копеек");

  r = AmountFromSelection("00000000000000000042", Currency::kRubles);  // twenty digits
  EXPECT_EQ(r.status, Status::kConverted);
  EXPECT_EQ(r.text, "сорок два рубля 00 копеек");

  r = AmountFromSelection("5", Currency::kHryvnias);
  EXPECT_EQ(r.text, "пять гривен 00 копеек");
  // A number it will not guess at gives no amount at all.
  EXPECT_EQ(AmountFromSelection("-5", Currency::kHryvnias).status, Status::kNoDigits);

  EXPECT_EQ(AmountFromSelection("0", Currency::kRubles).text, "00 копеек");
  EXPECT_EQ(AmountFromSelection("000000000000000000042", Currency::kRubles).status, Status::kTooLong);
  EXPECT_EQ(AmountFromSelection("1234567890 1234567890 1", Currency::kRubles).status, Status::kTooLong);
  EXPECT_EQ(AmountFromSelection(Cp("сумма: —"), Currency::kRubles).status, Status::kNoDigits);
  EXPECT_EQ(AmountFromSelection("", Currency::kRubles).status, Status::kNoDigits);
}

TEST(ReadAmount, KopecksAfterADecimalCommaOrPoint) {
  struct Case { const char* selection; const char* whole; int kopecks; };
  const Case cases[] = {
      {"1 250,75", "1250", 75},
      {"12,5", "12", 50},
      {"12.05", "12", 5},
      {"Итого: 1\u00A0250\u00A0000.99 руб.", "1250000", 99},  // no-break spaces between groups
      {"12.", "12", 0},                                          // a full stop after the number
      {"сумма 7,50.", "7", 50},
      {"0,01", "0", 1},
      {"1 2 3", "123", 0},
      {"00000000000000000042,10", "00000000000000000042", 10},  // twenty digits before the comma
  };
  for (const auto& c : cases) {
    const AmountReading a = ReadAmount(Cp(c.selection));
    EXPECT_EQ(a.status, AmountReading::Status::kRead) << c.selection;
    EXPECT_EQ(a.whole, c.whole) << c.selection;
    EXPECT_EQ(a.kopecks, c.kopecks) << c.selection;
  }
  EXPECT_EQ(AmountFromSelection(Cp("12,5"), Currency::kRubles).text, "двенадцать рублей 50 копеек");
  EXPECT_EQ(AmountFromSelection(Cp("2,01"), Currency::kHryvnias).text, "две гривны 01 копейка");
}

TEST(ReadAmount, RefusesWhatItWouldHaveToGuess) {
  for (const char* selection : {"1,234", "1.250,75", "1,2,3", "12abc34", "12-15", "1/2", "-5", "- 5", "минус –5",
                                ",75", "1, 5", "1,5 0", "1\t000"}) {
    EXPECT_EQ(ReadAmount(Cp(selection)).status, AmountReading::Status::kRefused) << selection;
  }
  EXPECT_EQ(ReadAmount("").status, AmountReading::Status::kNoDigits);
  EXPECT_EQ(ReadAmount(Cp("руб.")).status, AmountReading::Status::kNoDigits);
  EXPECT_EQ(ReadAmount("123456789012345678901,5").status, AmountReading::Status::kTooLong);
  EXPECT_FALSE(Cp1251FromUtf8Literal(kAmountRefusedMessage).empty());  // the message fits the code page
}

}  // namespace
}  // namespace velmar
