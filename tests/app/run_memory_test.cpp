// How much memory a conversion run holds beyond its text and its result: a
// text of many short lines must not cost tens of bytes per line. The global
// allocation functions of this test program count the bytes in use.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <new>

#include "thread_velmar.h"

namespace {

std::atomic<std::size_t> inUse{0};
std::atomic<std::size_t> peak{0};

// Each block keeps its size in a header in front of it.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (!block) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  const std::size_t now = inUse += size;
  std::size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
  return static_cast<char*>(block) + kHeader;
}

void Free(void* p) noexcept {
  if (!p) return;
  void* block = static_cast<char*>(p) - kHeader;
  inUse -= *static_cast<std::size_t*>(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }

namespace velmar {
namespace {

TEST(RunMemory, ManyEmptyLinesCostLittleBeyondTextAndResult) {
  constexpr std::size_t kLines = 2'000'000;
  TTableStore store;
  store.BuildBuiltInTables();
  RunSnapshot snapshot;
  snapshot.text.assign(kLines, '\n');
  snapshot.table = store.Store[0];

  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  const std::size_t before = inUse.load();
  peak = before;
  {
    TThreadVelmar worker(std::move(snapshot), ",",
                         {{}, [](std::int64_t) {},
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
    ASSERT_EQ(worker.ResultText().size(), 2 * kLines);  // CR LF for every line
  }
  // The result is 2 bytes a line, and a growing string may briefly hold it
  // three times over (old and new buffer); a view or a string per line of
  // the whole text would add 16 to 32 bytes a line.
  const std::size_t extra = peak.load() - before;
  EXPECT_LT(extra, 8 * kLines) << "bytes per line: " << static_cast<double>(extra) / kLines;
}

}  // namespace
}  // namespace velmar
