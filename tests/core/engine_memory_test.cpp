// How much memory the engines take for a long line, counted by a global
// operator new of this test program's own: the buffers of a conversion must
// stay about as large as the text and its result, whatever the number of
// replacements.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <string_view>

#include "engine.h"
#include "unicode_engine.h"

namespace {

std::size_t liveBytes = 0, peakBytes = 0;
constexpr std::size_t kHeader = 16;  // keeps malloc's alignment

}  // namespace

void* operator new(std::size_t n) {
  void* block = std::malloc(n + kHeader);
  if (!block) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = n;
  liveBytes += n;
  if (liveBytes > peakBytes) peakBytes = liveBytes;
  return static_cast<char*>(block) + kHeader;
}

void operator delete(void* p) noexcept {
  if (!p) return;
  char* block = static_cast<char*>(p) - kHeader;
  liveBytes -= *reinterpret_cast<std::size_t*>(block);
  std::free(block);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace velmar {
namespace {

// The most bytes held at once by what run() allocates.
template <typename Run>
std::size_t PeakOf(Run run) {
  const std::size_t before = liveBytes;
  peakBytes = liveBytes;
  run();
  return peakBytes - before;
}

TTransTable Table(std::string_view source, std::string_view target, TableEncoding encoding) {
  TTransTable t;
  t.Encoding = encoding;
  t.AddPair(std::string(source), std::string(target));
  return t;
}

// A line of 4 MiB that a pair turns into 8 MiB: a pair of two letters with
// one replacement every two bytes, or a map of one letter doubling each.
TEST(EngineMemory, ALongLineTakesLittleMoreThanItsResult) {
  struct Case {
    const char* name;
    std::string_view source, target, unit;
  };
  const Case cases[] = {
      {"a pair", "ab", "cdef", "ab"},
      {"a map", "a", "bb", "a"},
  };
  constexpr std::size_t kLine = std::size_t{4} << 20, kResult = 2 * kLine;
  for (const Case& c : cases) {
    std::string line;
    line.reserve(kLine);
    while (line.size() < kLine) line += c.unit;
    for (TableEncoding encoding : {TableEncoding::Cp1251, TableEncoding::Utf8}) {
      const TTransTable table = Table(c.source, c.target, encoding);
      const std::string_view lines[] = {line};
      std::size_t resultSize = 0;
      std::size_t peak = 0;
      if (encoding == TableEncoding::Cp1251) {
        LineConverter converter(table, false, false);
        peak = PeakOf([&] { converter.ConvertLinesWith(lines, [&](std::string_view r) { resultSize = r.size(); }); });
      } else {
        UnicodeLineConverter converter(table, false, false);
        peak = PeakOf([&] { converter.ConvertLinesWith(lines, [&](std::string_view r) { resultSize = r.size(); }); });
      }
      const bool unicode = encoding == TableEncoding::Utf8;
      EXPECT_EQ(resultSize, kResult) << c.name << (unicode ? " (Unicode)" : "");
      // The line once more with its blank, and the result.
      EXPECT_LE(peak, kLine + kResult + (std::size_t{1} << 16)) << c.name << (unicode ? " (Unicode)" : "");
    }
  }
}

}  // namespace
}  // namespace velmar
