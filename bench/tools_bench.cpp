// The status line is refreshed on every change of the result box: its cost on
// a 10 MB text, per megabyte.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "text_stats.h"

namespace velmar {
namespace {

std::string TenMegabytes() {
  // Cyrillic and Latin words, blanks, punctuation and CR LF breaks.
  const std::string words[] = {"\xF9\xF3\xEA\xE0", "\xE5\xF1\xF2", "text", "123,", "\xEF\xF0\xE8\xE2\xE5\xF2!"};
  std::mt19937 rng(7);
  std::string text;
  while (text.size() < (10u << 20)) {
    text += words[rng() % 5];
    text += (rng() % 12 == 0) ? "\r\n" : " ";
  }
  return text;
}

void BM_StatusLine10MB(benchmark::State& state) {
  static const std::string text = TenMegabytes();
  for (auto _ : state) benchmark::DoNotOptimize(StatusLine(text, ","));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_StatusLine10MB)->Unit(benchmark::kMillisecond);

void BM_Statistics10MB(benchmark::State& state) {
  static const std::string text = TenMegabytes();
  for (auto _ : state) {
    StatisticsCounter counter;
    for (std::string_view line : SplitLines(text)) counter.AddLine(line);
    benchmark::DoNotOptimize(counter.Result());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Statistics10MB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmar

BENCHMARK_MAIN();
