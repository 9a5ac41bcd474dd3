#include "conversion_run.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>

#include "cp1251.h"

namespace velmar {
namespace {

// The window's side: reports queue up as posted messages would.
class Mailbox {
 public:
  ConversionRun::Post Post() {
    return [this](ConversionRun::Report report, std::int64_t progress, std::uint64_t serial) {
      std::lock_guard lock(m_);
      reports_.push_back({report, progress, serial});
      cv_.notify_one();
    };
  }
  struct Entry {
    ConversionRun::Report report;
    std::int64_t progress;
    std::uint64_t serial;
  };
  // The next done report, with the progress reports before it.
  Entry WaitDone(std::vector<Entry>* before = nullptr) {
    std::unique_lock lock(m_);
    while (true) {
      cv_.wait(lock, [&] { return !reports_.empty(); });
      const Entry e = reports_.front();
      reports_.pop_front();
      if (e.report == ConversionRun::Report::Done) return e;
      if (before) before->push_back(e);
    }
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  std::deque<Entry> reports_;
};

RunSnapshot Snapshot(std::string text, TTransTable table) {
  RunSnapshot snapshot;
  snapshot.text = std::move(text);
  snapshot.table = std::move(table);
  return snapshot;
}

TTransTable Pairs(std::initializer_list<std::pair<const char*, const char*>> pairs) {
  TTransTable table;
  for (const auto& [from, to] : pairs) table.AddPair(from, to);
  return table;
}

TEST(ConversionRun, ReportsCarryTheRunsSerialAndTheOutcomeTheResult) {
  ConversionRun run;
  Mailbox mail;
  EXPECT_FALSE(run.Running());
  run.Start(Snapshot("ab\r\nb", Pairs({{"b", "c"}})), {}, ",", mail.Post());
  EXPECT_TRUE(run.Running());
  std::vector<Mailbox::Entry> progress;
  const auto done = mail.WaitDone(&progress);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.front().serial, done.serial);
  EXPECT_TRUE(run.IsCurrent(done.serial));
  EXPECT_FALSE(run.IsCurrent(done.serial + 1));
  EXPECT_EQ(run.Progress().LineCount(), 2);
  EXPECT_FALSE(run.Finishing());
  const auto outcome = run.Finish();
  EXPECT_EQ(outcome.result, "ac\r\nc\r\n");
  EXPECT_EQ(outcome.failure, "");
  EXPECT_FALSE(run.Running());
  // Once the run has ended its reports are of no run.
  EXPECT_FALSE(run.IsCurrent(done.serial));

  // The next run has a serial of its own: a late report of the old one is dropped.
  run.Start(Snapshot("bb", Pairs({{"b", "c"}})), {}, ",", mail.Post());
  const auto second = mail.WaitDone();
  EXPECT_NE(second.serial, done.serial);
  EXPECT_FALSE(run.IsCurrent(done.serial));
  EXPECT_EQ(run.Finish().result, "cc\r\n");
}

TEST(ConversionRun, ARequestDuringARunIsTakenOnce) {
  ConversionRun run;
  EXPECT_FALSE(run.TakeQueued());
  run.Queue();
  run.Queue();
  EXPECT_TRUE(run.TakeQueued());
  EXPECT_FALSE(run.TakeQueued());
}

// The characters outside Windows-1251 come back in order, less those whose
// stand-in the conversion removed.
TEST(ConversionRun, StandInsTheConversionRemovedStayOut) {
  ConversionRun run;
  Mailbox mail;
  const std::string s(1, static_cast<char>(kCp1251Undefined));
  run.Start(Snapshot(s + "x" + s + "\r\n" + "y" + s + "\r\n" + s, Pairs({{" ", ""}})), {L"A", L"B", L"C", L"D"}, ",",
            mail.Post());
  mail.WaitDone();
  const auto outcome = run.Finish();
  EXPECT_EQ(outcome.result, "x" + s + "\r\n" + s + "\r\n\r\n");
  EXPECT_EQ(outcome.standIns, (std::vector<std::wstring>{L"B", L"C"}));
}

TEST(ConversionRun, StoppedRunsAndOutputOptions) {
  ConversionRun run;
  Mailbox mail;
  RunSnapshot snapshot = Snapshot(std::string(200000, 'b') + "\r\n", Pairs({{"b", "c"}}));
  snapshot.compress = true;
  run.Start(std::move(snapshot), {}, ",", mail.Post());
  run.Stop();
  EXPECT_FALSE(run.Running());

  snapshot = Snapshot("b b", Pairs({{"b", "c"}}));
  snapshot.hyphen = true;
  run.Start(std::move(snapshot), {}, ",", mail.Post());
  const auto done = mail.WaitDone();
  ASSERT_TRUE(run.IsCurrent(done.serial));
  EXPECT_TRUE(run.Finishing());
  const auto outcome = run.Finish();
  EXPECT_EQ(outcome.result, "c-c\r\n");
}

}  // namespace
}  // namespace velmar
