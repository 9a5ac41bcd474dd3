// Speed of the conversion engine against the naive pair-by-pair algorithm on a
// 20 MB Russian text, with the built-in table and with a table of about 100
// keys that mixes one- to four-letter sources and word-initial pairs; and of
// the Unicode engine against the plain algorithm on Unicode characters with
// the shipped Serbian table on a 20 MB Serbian text (UTF-8 in and out); and,
// on 2 MB, words in capitals and pairs with contexts against the plain
// algorithm that follows the text as written.
//
//   build/native/bin/velmar_engine_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "cp1251.h"
#include "engine.h"
#include "naive.h"
#include "naive_context.h"
#include "naive_unicode.h"
#include "table_converter.h"
#include "table_file.h"
#include "test_util.h"
#include "unicode_engine.h"
#include "utf8.h"

namespace velmar {
namespace {

constexpr std::size_t kTextBytes = 20u << 20;

const char* const kSample =
    "В лесу родилась ёлочка, в лесу она росла. Зимой и летом стройная, зелёная была. "
    "Съешь же ещё этих мягких французских булок, да выпей чаю. Широкая электрификация "
    "южных губерний даст мощный толчок подъёму сельского хозяйства. Щука ест ершей, "
    "а чёрный жук ползёт по жёлтой листве. Любя, съешь щипцы, — вздохнёт мэр, — кайф жгуч. "
    "Эх, чужак, общий съём цен шляп (юфть) — вдрызг! Объявление о подъезде к зданию "
    "появилось вчера; в нём говорится, что движение будет закрыто до пятницы.";

const char* const kSerbianSample =
    "Љубав према Београду и Новом Саду, Ђорђе и Џон једу ћевапчиће у Чачку. Шабац, Њујорк, "
    "жаба и џеп: свака реч има своје слово. Ћирилица се чита лако, латиница такође; обе "
    "азбуке су равноправне. Хвала вам што сте дошли на ову изложбу — видимо се сутра у девет "
    "сати поред старе цркве, где ће нас чекати пријатељи из Ниша и Крагујевца.";

// Lines of 40 to 120 bytes made of the sample's words in random order.
std::vector<std::string> LinesOf(const std::string& sample) {
  std::vector<std::string> words;
  for (std::size_t pos = 0; pos < sample.size();) {
    std::size_t end = sample.find(' ', pos);
    if (end == std::string::npos) end = sample.size();
    words.push_back(sample.substr(pos, end - pos));
    pos = end + 1;
  }
  std::mt19937 rng(42);
  std::vector<std::string> out;
  std::size_t total = 0;
  while (total < kTextBytes) {
    std::string line;
    std::size_t want = 40 + rng() % 81;
    while (line.size() < want) {
      if (!line.empty()) line += ' ';
      line += words[rng() % words.size()];
    }
    total += line.size() + 2;
    out.push_back(std::move(line));
  }
  return out;
}

const std::vector<std::string>& RussianLines() {
  static const std::vector<std::string> lines = LinesOf(test::W(kSample));
  return lines;
}

std::string Cp1251ToUpperText(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(Cp1251ToUpper(static_cast<unsigned char>(c)));
  return out;
}

const std::vector<std::string>& SerbianLines() {
  static const std::vector<std::string> lines = LinesOf(kSerbianSample);
  return lines;
}

TTransTable SerbianTable() { return ReadTableFile(std::filesystem::path(VELMAR_TABLES_DIR) / "serbian-latin.table"); }

// About 100 keys: every capital letter, letter groups of two to four, and
// word-initial rules written with "_".
TTransTable HundredKeyTable() {
  const char* const text =
      "[Information]\r\nFrom=Русский\r\nTo=Латиница\r\n[Table]\r\n"
      "А=A\r\nБ=B\r\nВ=V\r\nГ=G\r\nД=D\r\nЕ=E\r\nЁ=Yo\r\nЖ=Zh\r\nЗ=Z\r\nИ=I\r\nЙ=J\r\nК=K\r\nЛ=L\r\n"
      "М=M\r\nН=N\r\nО=O\r\nП=P\r\nР=R\r\nС=S\r\nТ=T\r\nУ=U\r\nФ=F\r\nХ=Kh\r\nЦ=Ts\r\nЧ=Ch\r\nШ=Sh\r\n"
      "Щ=Shch\r\nЪ=\r\nЫ=Y\r\nЬ=\r\nЭ=E\r\nЮ=Yu\r\nЯ=Ya\r\n"
      "_Е=_Ye\r\n_Ё=_Yo\r\n_Ю=_Yu\r\n_Я=_Ya\r\n_Э=_E\r\n"
      "АЕ=aye\r\nОЕ=oye\r\nУЕ=uye\r\nЫЕ=yye\r\nЭЕ=eye\r\nЯЕ=yaye\r\nЮЕ=yuye\r\nИЕ=iye\r\nЕЕ=eye\r\n"
      "ЬЕ=ye\r\nЪЕ=ye\r\nЬЁ=yo\r\nЪЁ=yo\r\nЬЮ=yu\r\nЪЮ=yu\r\nЬЯ=ya\r\nЪЯ=ya\r\nЬИ=yi\r\nЬО=yo\r\n"
      "ЫЙ=y\r\nИЙ=iy\r\nКС=x\r\nКЗ=kz\r\nТС=t-s\r\nЗГ=zgh\r\nШЧ=shch\r\nСХ=s-kh\r\nЦЯ=tsya\r\n"
      "ЧЁ=cho\r\nЖЁ=zho\r\nШЁ=sho\r\nЩЁ=shcho\r\nЙО=yo\r\nЙЕ=ye\r\nХК=khk\r\nЫА=ya\r\n"
      "ТСЯ=tsya\r\nЬСЯ=sya\r\nОГО=ovo\r\nЕГО=evo\r\nИЕЙ=iey\r\nЬЕВ=yev\r\nЬЕМ=yem\r\nОЙН=oyn\r\n"
      "ЕНИЕ=eniye\r\nАНИЕ=aniye\r\nСТВО=stvo\r\nСКИЙ=skiy\r\nЦКИЙ=tskiy\r\nНЬЕ=nye\r\n"
      "_ЕЩ=_Yeshch\r\n_ЕЛ=_Yel\r\n_ЮЖ=_Yuzh\r\n_ЭТ=_Et\r\n_ОБЪ=_Ob\r\n_ПОДЪ=_Pod\r\n_СЪ=_S\r\n"
      "_В_=_v_\r\n_И_=_i_\r\n_С_=_s_\r\n_А_=_a_\r\n_О_=_o_\r\n";
  return TableFromProfile(ProfileFile::Parse(test::W(text)));
}

void NaiveRun(benchmark::State& state, const TTransTable& table) {
  const auto& lines = RussianLines();
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (const auto& line : lines) bytes += naive::ConvertLine(line, table, false, false).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTextBytes));
}

void FastRun(benchmark::State& state, const TTransTable& table) {
  const auto& lines = RussianLines();
  std::vector<std::string_view> views(lines.begin(), lines.end());
  for (auto _ : state) {
    LineConverter converter(table, false, false);
    if (state.range(0) > 0) converter.SetBlockSize(static_cast<std::size_t>(state.range(0)));
    std::string out;
    out.reserve(kTextBytes * 2);
    converter.ConvertLinesTo(views, "\r\n", out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTextBytes));
}

// The plain algorithm on Unicode characters, UTF-8 decoded and encoded per line.
void UnicodeNaiveRun(benchmark::State& state, const TTransTable& table) {
  const auto& lines = SerbianLines();
  naive::UnicodePairs pairs(table);
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (const auto& line : lines) {
      std::u32string text;
      DecodeUtf8(line, text);
      bytes += EncodeUtf8(naive::ConvertLineUnicode(text, pairs, false, false)).size();
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTextBytes));
}

void UnicodeFastRun(benchmark::State& state, const TTransTable& table) {
  const auto& lines = SerbianLines();
  std::vector<std::string_view> views(lines.begin(), lines.end());
  for (auto _ : state) {
    UnicodeLineConverter converter(table, false, false);
    if (state.range(0) > 0) converter.SetBlockSize(static_cast<std::size_t>(state.range(0)));
    std::string out;
    out.reserve(kTextBytes * 2);
    converter.ConvertLinesTo(views, "\r\n", out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTextBytes));
}

void BM_BuiltIn_Naive(benchmark::State& s) { NaiveRun(s, MakeBuiltInTable()); }
void BM_BuiltIn_Fast(benchmark::State& s) { FastRun(s, MakeBuiltInTable()); }
void BM_HundredKeys_Naive(benchmark::State& s) { NaiveRun(s, HundredKeyTable()); }
void BM_HundredKeys_Fast(benchmark::State& s) { FastRun(s, HundredKeyTable()); }

// Reading a table file whose section names many keys: linear in the keys.
void BM_TableOfManyKeys(benchmark::State& state) {
  std::string text = "[Information]\r\nFrom=A\r\nTo=B\r\n[Table]\r\n";
  for (int64_t i = 0; i < state.range(0); ++i) text += "k" + std::to_string(i) + "=v\r\n";
  for (auto _ : state) benchmark::DoNotOptimize(TableFromProfile(ProfileFile::Parse(text)).TableCount);
}

// A chain of one-byte pairs ("a" to "bb", "b" to "cc", ...) on a text it
// does not touch: set up and convert.
void BM_ChainedTable_Untouched(benchmark::State& state) {
  const std::string symbols = "abcdefghijklmnopqrstuvwxyz0123456789";
  TTransTable chain;
  for (int i = 0; i < 35; ++i) chain.AddPair(std::string(1, symbols[i]), std::string(2, symbols[i + 1]));
  for (auto _ : state) benchmark::DoNotOptimize(LineConverter(chain, false, false).Convert("XYZ"));
}

BENCHMARK(BM_TableOfManyKeys)->Unit(benchmark::kMillisecond)->Arg(10000)->Arg(40000)->Arg(120000);
BENCHMARK(BM_ChainedTable_Untouched)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuiltIn_Naive)->Unit(benchmark::kMillisecond)->Iterations(1);
// The argument is the block size in bytes (0: the engine's default).
BENCHMARK(BM_BuiltIn_Fast)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(0)->Arg(1024)->Arg(65536);
void BM_Serbian_Plain(benchmark::State& s) { UnicodeNaiveRun(s, SerbianTable()); }
void BM_Serbian_Fast(benchmark::State& s) { UnicodeFastRun(s, SerbianTable()); }
void BM_SerbianReverse_Plain(benchmark::State& s) { UnicodeNaiveRun(s, MakeReverseTable(SerbianTable())); }
void BM_SerbianReverse_Fast(benchmark::State& s) { UnicodeFastRun(s, MakeReverseTable(SerbianTable())); }

// 2 MB of the Russian lines, as they are or in capitals.
constexpr std::size_t kContextBytes = 2u << 20;
std::vector<std::string> ContextLines(bool capitals) {
  std::vector<std::string> lines;
  std::size_t total = 0;
  for (const std::string& line : RussianLines()) {
    if (total >= kContextBytes) break;
    lines.push_back(capitals ? Cp1251ToUpperText(line) : line);
    total += line.size() + 2;
  }
  return lines;
}

// The hundred keys with the contexts a standard needs: ye at a word start and
// after a vowel, c before a soft vowel, ia at a word end.
TTransTable ContextTable() {
  TTransTable t = HundredKeyTable();
  const char* const text =
      "[Table]\r\nЕ=E\r\nЦ=Cz\r\nИ=I\r\nЯ=Ya\r\n[Sets]\r\nvowel=аеёиоуыэюяйъь\r\nsoft=еиый\r\n"
      "[Context]\r\nЕ@start,after:vowel=Ye\r\nЦ@before:soft=C\r\nИЯ@end=ia\r\n";
  const TTransTable extra = TableFromProfile(ProfileFile::Parse(test::W(text)));
  const std::int32_t base = static_cast<std::int32_t>(t.Contexts.size());
  t.Contexts.insert(t.Contexts.end(), extra.Contexts.begin(), extra.Contexts.end());
  TTransTable merged = t;
  merged.TableCount = 0;
  for (int i = 0; i < extra.TableCount; ++i)
    merged.AddPair(extra.Table[i].Source, extra.Table[i].Target, extra.Table[i].Context ? extra.Table[i].Context + base : 0);
  for (int i = 0; i < t.TableCount; ++i) merged.AddPair(t.Table[i].Source, t.Table[i].Target, t.Table[i].Context);
  return merged;
}

void ContextPlainRun(benchmark::State& state, const TTransTable& table, bool capitals) {
  const auto lines = ContextLines(capitals);
  naive::ContextConversion plain(table, false, false);
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (const auto& line : lines) bytes += plain.Convert(line).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kContextBytes));
}

void ContextFastRun(benchmark::State& state, const TTransTable& table, bool capitals) {
  const auto lines = ContextLines(capitals);
  std::vector<std::string_view> views(lines.begin(), lines.end());
  for (auto _ : state) {
    TableLineConverter converter(table, ConversionOptions{});
    std::string out;
    out.reserve(kContextBytes * 2);
    converter.ConvertLinesTo(views, "\r\n", out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kContextBytes));
}

void BM_BuiltInCapitals_Plain(benchmark::State& s) { ContextPlainRun(s, MakeBuiltInTable(), true); }
void BM_BuiltInCapitals_Fast(benchmark::State& s) { ContextFastRun(s, MakeBuiltInTable(), true); }
void BM_BuiltInMixed_Plain(benchmark::State& s) { ContextPlainRun(s, MakeBuiltInTable(), false); }
void BM_BuiltInMixed_Fast(benchmark::State& s) { ContextFastRun(s, MakeBuiltInTable(), false); }
void BM_Contexts_Plain(benchmark::State& s) { ContextPlainRun(s, ContextTable(), false); }
void BM_Contexts_Fast(benchmark::State& s) { ContextFastRun(s, ContextTable(), false); }
void BM_ContextsCapitals_Plain(benchmark::State& s) { ContextPlainRun(s, ContextTable(), true); }
void BM_ContextsCapitals_Fast(benchmark::State& s) { ContextFastRun(s, ContextTable(), true); }
BENCHMARK(BM_BuiltInCapitals_Plain)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_BuiltInCapitals_Fast)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BuiltInMixed_Plain)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_BuiltInMixed_Fast)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Contexts_Plain)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Contexts_Fast)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ContextsCapitals_Plain)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ContextsCapitals_Fast)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK(BM_HundredKeys_Naive)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_HundredKeys_Fast)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(0)->Arg(256)->Arg(1024)->Arg(16384);
BENCHMARK(BM_Serbian_Plain)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Serbian_Fast)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(0)->Arg(1024)->Arg(65536);
BENCHMARK(BM_SerbianReverse_Plain)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SerbianReverse_Fast)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(0);

}  // namespace
}  // namespace velmar

BENCHMARK_MAIN();
