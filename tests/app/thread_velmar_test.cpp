#include "thread_velmar.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <new>
#include <stdexcept>

#include "convert.h"
#include "cp1251.h"
#include "text_lines.h"

namespace velmar {
namespace {

// Runs a worker to its end and records what it reported.
struct Recorded {
  std::vector<std::int64_t> reports;
  std::string result;
  std::vector<std::size_t> removed;
  std::string failure;
  bool started = false;
};

Recorded RunWorker(const std::string& text, const TTransTable& table, bool underscore = false, bool hyphen = false,
             bool compress = false, std::function<void(std::int64_t)> onProgress = {}) {
  RunSnapshot snapshot;
  snapshot.text = text;
  snapshot.table = table;
  snapshot.underscore = underscore;
  snapshot.hyphen = hyphen;
  snapshot.compress = compress;
  Recorded rec;
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  TThreadVelmar worker(std::move(snapshot), ",",
                       {[&] { rec.started = true; }, [&](std::int64_t p) {
                          rec.reports.push_back(p);
                          if (onProgress) onProgress(p);
                        },
                        [&] {
                          std::lock_guard lock(m);
                          done = true;
                          cv.notify_one();
                        }});
  worker.Start();
  {
    std::unique_lock lock(m);
    cv.wait(lock, [&] { return done; });
  }
  worker.Join();
  rec.result = worker.ResultText();
  rec.removed = worker.RemovedStandIns();
  rec.failure = worker.Failure();
  return rec;
}

std::string Cp(const char* utf8) {
  std::string out;
  // Only Cyrillic of the two-byte UTF-8 range is used here.
  for (const char* p = utf8; *p;) {
    auto c = static_cast<unsigned char>(*p);
    if (c < 0x80) {
      out += *p++;
      continue;
    }
    const char32_t cp = ((c & 0x1F) << 6) | (static_cast<unsigned char>(p[1]) & 0x3F);
    out += static_cast<char>(UnicodeToCp1251(cp));
    p += 2;
  }
  return out;
}

TEST(ThreadVelmar, FourLinesReportEveryQuarterOnce) {
  TTableStore store;
  store.BuildBuiltInTables();
  const Recorded rec = RunWorker(Cp("а\r\nб\r\nв\r\nг"), store.Store[0]);
  EXPECT_TRUE(rec.started);
  EXPECT_EQ(rec.reports, (std::vector<std::int64_t>{0, 1, 2, 3}));
  EXPECT_EQ(rec.result, "a\r\nb\r\nv\r\ng\r\n");
}

TEST(ThreadVelmar, ManyLinesReportOnlyVisibleChanges) {
  TTableStore store;
  store.BuildBuiltInTables();
  std::string text;
  for (int i = 0; i < 100000; ++i) text += Cp("щука\r\n");
  const Recorded rec = RunWorker(text, store.Store[0]);
  EXPECT_LE(rec.reports.size(), 1062u);
  EXPECT_EQ(rec.reports.front(), 0);
  // The last report shows what the last line, (N - 1) / N, shows.
  const RunProgress progress(100000, ",");
  EXPECT_EQ(progress.View(rec.reports.back()), progress.View(99999));
  std::string expected;
  for (int i = 0; i < 100000; ++i) expected += "schuka\r\n";
  EXPECT_EQ(rec.result, expected);
}

TEST(ThreadVelmar, OneLineAndLongLinesAreConvertedWhole) {
  TTableStore store;
  store.BuildBuiltInTables();
  std::string longLine;
  for (int i = 0; i < 3000; ++i) longLine += Cp("жя");  // 6000 characters
  const Recorded rec = RunWorker(longLine, store.Store[0]);
  EXPECT_EQ(rec.reports, (std::vector<std::int64_t>{0}));
  EXPECT_EQ(rec.result.size(), 3000u * 4 + 2);
  EXPECT_EQ(rec.result, ConvertLine(longLine, store.Store[0], false, false) + "\r\n");
}

TEST(ThreadVelmar, OptionsAndCompress) {
  TTableStore store;
  store.BuildBuiltInTables();
  EXPECT_EQ(RunWorker(Cp("Щука и  рак\r\nлебедь\r\n"), store.Store[0], true).result, "Schuka_i__rak\r\nlebed'\r\n");
  EXPECT_EQ(RunWorker(Cp("Щука и  рак\r\nлебедь\r\n"), store.Store[0], false, false, true).result, "Schuka i rak lebed'");
}

TEST(ThreadVelmar, StandInsRemovedWithALinesFirstCharacter) {
  TTransTable table;
  table.AddPair(" ", "");
  const std::string s(1, static_cast<char>(kCp1251Undefined));
  const Recorded rec = RunWorker(s + "x" + s + "\r\n" + "y" + s + "\r\n" + s, table);
  EXPECT_EQ(rec.result, "x" + s + "\r\n" + s + "\r\n\r\n");
  EXPECT_EQ(rec.removed, (std::vector<std::size_t>{0, 3}));
}

// Texts longer than the pieces the worker splits at a time, with every kind
// of line break (a CR LF may fall on a piece's edge) and stand-ins all over.
TEST(ThreadVelmar, LongTextsAreConvertedAsTheirLinesOneByOne) {
  TTransTable table;
  table.AddPair(" ", "");
  table.AddPair("a", "bb");
  const std::string s(1, static_cast<char>(kCp1251Undefined));
  for (const char* breaks : {"\r\n", "\n", "\r", "\r\n\r"}) {
    std::string text;
    for (int i = 0; text.size() < 700 * 1024; ++i) text += (i % 3 ? "a" : s) + std::string(i % 97, 'x') + s + breaks;
    const Recorded rec = RunWorker(text, table);
    std::string expected;
    std::vector<std::string> results;
    const auto lines = SplitLines(text);
    for (std::string_view line : lines) {
      results.push_back(ConvertLine(line, table, false, false));
      expected += results.back() + "\r\n";
    }
    EXPECT_EQ(rec.result, expected) << "breaks " << breaks;
    EXPECT_EQ(rec.removed, RemovedStandIns(lines, results)) << "breaks " << breaks;
    EXPECT_FALSE(rec.removed.empty());
  }
}

// An exception on the worker thread ends the run with a failure instead of
// the program; running out of memory says so.
TEST(ThreadVelmar, ExceptionsEndTheRunWithAFailure) {
  TTableStore store;
  store.BuildBuiltInTables();
  std::string text;
  for (int i = 0; i < 5000; ++i) text += Cp("щука\r\n");
  const struct {
    std::function<void(std::int64_t)> thrower;
    std::string failure;
  } cases[] = {
      {[](std::int64_t p) { if (p > 10) throw std::bad_alloc(); }, kNotEnoughMemory},
      {[](std::int64_t p) { if (p > 10) std::string().reserve(std::string().max_size() + 1); }, kNotEnoughMemory},
      {[](std::int64_t p) { if (p > 10) throw std::runtime_error("broken table"); }, "broken table"},
      {[](std::int64_t p) { if (p > 10) throw 42; }, "Непредвиденная ошибка"},
  };
  for (const auto& c : cases) {
    const Recorded rec = RunWorker(text, store.Store[0], false, false, false, c.thrower);
    EXPECT_EQ(rec.failure, c.failure);
    EXPECT_EQ(rec.result, "");
  }
  EXPECT_EQ(RunWorker(text, store.Store[0]).failure, "");
}

// A Unicode table's run takes UTF-8 and gives UTF-8. Its bytes may be the
// Windows-1251 stand-in byte ("ј" is D1 98): nothing is taken for a stand-in.
TEST(TThreadVelmar, UnicodeTableConvertsUtf8) {
  TTransTable t;
  t.Encoding = TableEncoding::Utf8;
  t.AddPair("ј", "j");
  t.AddPair("ч", "č");
  t.AddPair("Ч", "Č");
  Recorded rec = RunWorker("Чуј\r\nчуј ч", t);
  EXPECT_EQ(rec.result, "Čуj\r\nčуj č\r\n");  // no pair for "у": it stays
  EXPECT_TRUE(rec.removed.empty());
  // Compressing knows the C1 control NEL (C2 85) for a separator; in
  // Windows-1251 the bytes would be two letters of a word.
  EXPECT_EQ(RunWorker("ч\xC2\x85ј\r\n", t, false, false, true).result, "č j");
}

}  // namespace
}  // namespace velmar
