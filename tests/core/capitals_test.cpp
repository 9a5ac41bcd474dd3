#include <gtest/gtest.h>

#include <random>

#include "context_engine.h"
#include "naive.h"
#include "naive_context.h"
#include "profile.h"
#include "table_converter.h"
#include "table_file.h"
#include "test_util.h"
#include "utf8.h"
#include "words.h"

namespace velmar {
namespace {

using test::W;

// "C" for a place in capitals, "." for one that is not.
std::string CapitalsOf(std::u32string_view text) {
  std::vector<CharKind> kinds;
  for (char32_t c : text) kinds.push_back(UnicodeKind(c));
  WordMap words;
  words.Analyse(kinds);
  std::string marks;
  for (std::size_t i = 0; i < text.size(); ++i) marks += words.InCapitals(i) ? 'C' : '.';
  EXPECT_EQ(AnyCapitals(kinds), marks.find('C') != std::string::npos) << EncodeUtf8(text);
  return marks;
}

TEST(Words, CapitalsAreJudgedByTheNextLetterOfTheWordOrAtItsEndByTheOneBefore) {
  struct Case {
    std::u32string text;
    std::string capitals;
  } cases[] = {
      {U"ЩУКА", "CCCC"},
      {U"Щука", "...."},
      {U"Я", "."},                   // a word of one letter says nothing
      {U"Я ЗНАЮ", "..CCCC"},
      {U"YA", "CC"},
      {U"SCHuka", "CC...."},         // H is followed by a small letter
      {U"LEŽATʹ", "CCCCCC"},         // the prime has no case: a capital in a word in capitals
      {U"OB'EKT", "CCCCCC"},         // an apostrophe between letters belongs to the word
      {U"'ЯГОТИН'", ".CCCCCC."},     // around a word it does not
      {U"ЦЕНТР-2", "CCCCC.."},
      {U"aʹB", "..."},               // a caseless letter between a small letter and a capital
      {U"ʹB", "C."},                 // the prime is judged by its one neighbour, B by none
      {U"ʹBC", "CCC"},
  };
  for (const Case& c : cases) EXPECT_EQ(CapitalsOf(c.text), c.capitals) << EncodeUtf8(c.text);
}

TEST(Words, TheQuickCheckAgreesWithTheWordMapOnRandomLines) {
  std::mt19937 rng(11);
  const std::u32string alphabet = U"aBʹ' -";
  for (int round = 0; round < 20000; ++round) {
    std::u32string text(rng() % 9, U' ');
    for (char32_t& c : text) c = alphabet[rng() % alphabet.size()];
    CapitalsOf(text);  // compares the two
  }
}

TEST(Capitals, TheBuiltInTableKeepsWordsInCapitalsBothWays) {
  const TTransTable table = MakeBuiltInTable(), reverse = MakeReverseTable(table);
  struct Case {
    const TTransTable& table;
    const char* line;
    const char* expected;
  } cases[] = {
      {table, "ЩУКА ЖУК", "SCHUKA ZHUK"},
      {table, "Щука жук", "Schuka zhuk"},
      {table, "Я ЗНАЮ", "Ya ZNAYU"},
      {table, "ЮЛИЯ ЩЕГЛОВА (Юлия)", "YULIYA SCHEGLOVA (Yuliya)"},
      {table, "СЪЕЗД", "S'EZD"},
      {reverse, "SCHUKA", "ЩУКА"},
      {reverse, "CHAY", "ЧАЙ"},
      {reverse, "Schuka", "Щука"},
      {reverse, "SCHuka", "СCHука"},  // not a word in capitals: no pair "Sch" for "SCH"
  };
  for (const Case& c : cases) {
    TableLineConverter converter(c.table, ConversionOptions{});
    EXPECT_EQ(converter.Convert(W(c.line)), W(c.expected)) << c.line;
  }
}

TEST(Capitals, TurnedOffEveryLineIsTheLiteralAlgorithm) {
  const TTransTable table = MakeBuiltInTable();
  TableLineConverter literal(table, ConversionOptions{.capitalWords = false});
  EXPECT_EQ(literal.Convert(W("ЩУКА ЖУК")), "SchUKA ZhUK");
  EXPECT_EQ(MakeReverseTable(table).TableCount, 66);
  TableLineConverter back(MakeReverseTable(table), ConversionOptions{.capitalWords = false});
  EXPECT_EQ(back.Convert("SCHUKA"), W("СCHУКА"));
}

TTransTable TableFromText(std::string_view utf8, TableEncoding encoding = TableEncoding::Cp1251,
                          std::string* problems = nullptr) {
  const std::string text = encoding == TableEncoding::Cp1251 ? W(utf8) : std::string(utf8);
  return TableFromProfile(ProfileFile::Parse(text), encoding, problems);
}

TEST(Contexts, ConditionsDecideWhereAPairAppliesOnTheTextAsWritten) {
  const TTransTable table = TableFromText(
      "[Table]\r\nЦ=Cz\r\nЕ=E\r\nИ=I\r\nЯ=Ya\r\nЛ=L\r\nО=O\r\nЗ=Z\r\nВ=V\r\nН=N\r\nТ=T\r\nР=R\r\nБ=B\r\nГ=G\r\n"
      "Ъ=A\r\nП=P\r\nХ=Kh\r\nА=A\r\n"
      "[Sets]\r\nsoft=еиый\r\nvowel=аеёиоуыэюяйъь\r\n"
      "[Context]\r\nЦ@before:soft=C\r\nЕ@start,after:vowel=Ye\r\nИЯ@end=IA\r\n");
  struct Case {
    const char* line;
    const char* expected;
  } cases[] = {
      {"центр лицо", "centr liczo"},
      {"ЦЕНТР", "CENTR"},
      {"(Елизово)", "(Yelizovo)"},
      {"поехали", "poyekhali"},
      {"ПОЕХАЛИ", "POYEKHALI"},
      {"тень", "tenь"},  // ь has no pair: it stays
      {"България", "Balgaria"},
      {"България, Гия", "Balgaria, Gia"},
      {"ияр", "iyar"},  // not at a word end
  };
  TableLineConverter converter(table, ConversionOptions{});
  for (const Case& c : cases) EXPECT_EQ(converter.Convert(W(c.line)), W(c.expected)) << c.line;
}

TEST(Contexts, AContextPairComesJustBeforeThePlainPairWithItsSource) {
  std::string problems;
  const TTransTable t = TableFromText(
      "[Table]\r\nА=A\r\nЕ=E\r\n[Sets]\r\nV=ао\r\n[Context]\r\nЖЖ@end=zz\r\nЕ@after:v=Ye\r\nЕ@start=Je\r\n"
      "Х@nowhere=x\r\nФ@after:missing=f\r\nЧ=ch\r\n",
      TableEncoding::Cp1251, &problems);
  // Lower-cased copies, then as written: а, е@v, е@start, е, жж@end.
  ASSERT_EQ(t.TableCount, 10);
  const char* sources[] = {"а", "е", "е", "е", "жж", "А", "Е", "Е", "Е", "ЖЖ"};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(t.Table[i].Source, W(sources[i])) << i;
  EXPECT_EQ(t.Table[1].Context, t.Table[6].Context);
  ASSERT_EQ(t.Contexts.size(), 3u);
  EXPECT_EQ(t.Contexts[t.Table[1].Context - 1].after, (std::u32string{0xE0, 0xEE}));  // а о as bytes
  EXPECT_TRUE(t.Contexts[t.Table[2].Context - 1].start);
  EXPECT_TRUE(t.Contexts[t.Table[4].Context - 1].end);
  EXPECT_EQ(t.Table[3].Context, 0);
  EXPECT_NE(problems.find("nowhere"), std::string::npos) << problems;
  EXPECT_NE(problems.find("missing"), std::string::npos) << problems;
  EXPECT_NE(problems.find("@"), std::string::npos) << problems;  // "Ч=ch" has no conditions
}

// A key in small letters beside the same key with capitals gives the small
// letters their own pair, in [Table] and in [Context] alike, whichever comes
// first; the capital's pair is the one written for it.
TEST(Contexts, ASmallKeyBesideItsCapitalGivesTheSmallLettersTheirPair) {
  const TTransTable t = TableFromText(
      "[Table]\r\nі=ı\r\nІ=I\r\nЖ=Zh\r\n[Sets]\r\nv=ае\r\n[Context]\r\nІ@start=Ï\r\nі@start=ị\r\n",
      TableEncoding::Utf8);
  ASSERT_EQ(t.TableCount, 6);
  const std::pair<const char*, const char*> pairs[] = {{"і", "ị"}, {"і", "ı"}, {"ж", "zh"},
                                                       {"І", "Ï"}, {"І", "I"}, {"Ж", "Zh"}};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(t.Table[i], (TCharTable{pairs[i].first, pairs[i].second, t.Table[i].Context})) << i;
  EXPECT_NE(t.Table[0].Context, 0);
  EXPECT_EQ(t.Table[0].Context, t.Table[3].Context);
  TableLineConverter converter(t, false, false);
  EXPECT_EQ(converter.Convert("Іле іні ІІ Жі"), "Ïле ịнı ÏI Zhı");
}

TEST(Contexts, TheReverseKeepsWordStartsAndEndsAndDropsASideThatNamesLetters) {
  const TTransTable t = TableFromText(
      "[Table]\r\nИ=I\r\nЯ=Ya\r\nЕ=E\r\nЙ=Y\r\nА=A\r\n[Sets]\r\nvowel=аеиоуя\r\n"
      "[Context]\r\nИЯ@end=IA\r\nЕ@start,after:vowel=Ye\r\n");
  const TTransTable r = MakeReverseTable(t);
  TableLineConverter converter(r, ConversionOptions{});
  EXPECT_EQ(converter.Convert("ia iai IA"), W("ия иаи ИЯ"));  // "ia" only at a word end
  EXPECT_EQ(converter.Convert("Yeye aye"), W("Ее ае"));       // "ye" everywhere
}

// Few distinct characters, capitals and small letters, an apostrophe, a
// blank and a hyphen, so that pairs, words and contexts meet often.
const std::u32string kAlphabet = U"aAbB'\u02B9 -\u0436\u0416";

std::u32string RandomChars(std::mt19937& rng, std::size_t len, std::u32string_view alphabet) {
  std::u32string s(len, U' ');
  for (char32_t& c : s) c = alphabet[rng() % alphabet.size()];
  return s;
}

// The text of a random table in its encoding; a Windows-1251 table keeps to
// what the code page holds.
TTransTable RandomContextTable(std::mt19937& rng, bool unicode) {
  const std::u32string alphabet = unicode ? kAlphabet : U"aAbB' -\u0436\u0416";
  auto text = [&](const std::u32string& s) { return unicode ? EncodeUtf8(s) : W(EncodeUtf8(s)); };
  auto letters = [&](const std::u32string& s) {
    std::u32string out;
    for (char c : text(s)) out += unicode ? 0 : static_cast<char32_t>(static_cast<unsigned char>(c));
    if (unicode) out = s;
    return out;
  };
  TTransTable t;
  t.Encoding = unicode ? TableEncoding::Utf8 : TableEncoding::Cp1251;
  std::uniform_int_distribution<int> count(0, 24), srcLen(1, 4), tgtLen(0, 3), coin(0, 9);
  for (int i = 0, n = count(rng); i < n; ++i) {
    const std::u32string source = RandomChars(rng, coin(rng) < 5 ? 1 : srcLen(rng), alphabet);
    const std::u32string target = RandomChars(rng, tgtLen(rng), alphabet);
    std::int32_t context = 0;
    if (coin(rng) < 4) {
      PairContext c;
      c.start = coin(rng) < 4;
      c.end = coin(rng) < 4;
      if (coin(rng) < 4) c.after = letters(RandomChars(rng, 2, U"ab\u0436'-"));
      if (coin(rng) < 4) c.before = letters(RandomChars(rng, 2, U"ab\u0436'-"));
      t.Contexts.push_back(c);
      context = static_cast<std::int32_t>(t.Contexts.size());
    }
    t.AddPair(text(source), text(target), context);
  }
  return t;
}

TEST(ContextEngine, IdenticalToThePlainAlgorithmOnRandomTablesAndTexts) {
  std::mt19937 rng(20261211);
  for (int round = 0; round < 3000; ++round) {
    const bool unicode = round % 2 == 1;
    const TTransTable table = RandomContextTable(rng, unicode);
    const bool underscore = round % 7 == 1, hyphen = round % 5 == 2, capitalWords = round % 3 != 0;
    const std::u32string alphabet = unicode ? kAlphabet : U"aAbB' -\u0436\u0416";
    ContextLineConverter engine(table, underscore, hyphen, capitalWords);
    TableLineConverter dispatch(table, ConversionOptions{underscore, hyphen, capitalWords});
    naive::ContextConversion plain(table, underscore, hyphen, capitalWords);
    for (int k = 0; k < 4; ++k) {
      const std::string utf8 = EncodeUtf8(RandomChars(rng, rng() % 14, alphabet));
      const std::string line = unicode ? utf8 : W(utf8);
      const std::string expected = plain.Convert(line);
      ASSERT_EQ(engine.Convert(line), expected) << "round " << round << " line " << utf8;
      ASSERT_EQ(dispatch.Convert(line), expected) << "round " << round << " line " << utf8;
      if (!capitalWords && !table.HasContexts() && !unicode) {
        ASSERT_EQ(expected, naive::ConvertLine(line, table, underscore, hyphen)) << "round " << round;
      }
    }
  }
}

TEST(ContextEngine, ALineWithoutCapitalsGivesWhatTheLiteralAlgorithmGives) {
  // What lets lines without capitals go to the fast engines.
  std::mt19937 rng(5);
  for (int round = 0; round < 2000; ++round) {
    TTransTable table = RandomContextTable(rng, false);
    for (int i = 0; i < table.TableCount; ++i) table.Table[i].Context = 0;
    naive::ContextConversion plain(table, false, false, true);
    const std::string line = W(EncodeUtf8(RandomChars(rng, rng() % 14, U"aAbB' -\u0436\u0416")));
    std::vector<CharKind> kinds;
    for (char c : " " + line) kinds.push_back(Cp1251Kind(static_cast<unsigned char>(c)));
    if (AnyCapitals(kinds)) continue;
    ASSERT_EQ(plain.Convert(line), naive::ConvertLine(line, table, false, false)) << round;
  }
}

TEST(ContextEngine, AChainThatDoublesEveryTimeEndsWithTheMemoryFailure) {
  TTransTable t;
  for (int i = 0; i < 40; ++i) t.AddPair("a", "aa");
  PairContext atStart;
  atStart.start = true;
  t.Contexts.push_back(atStart);
  t.AddPair("b", "c", 1);
  ContextLineConverter engine(t, false, false);
  engine.SetResultLimit(1 << 20);
  EXPECT_THROW(engine.Convert("aa"), std::bad_alloc);
  EXPECT_EQ(engine.Convert("b"), "c");  // still usable
}

}  // namespace
}  // namespace velmar
