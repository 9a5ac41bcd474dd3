#include "utf8_map_converter.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <cstdint>
#include <cstring>

#include "cp1251.h"
#include "utf8.h"

namespace velmar {

Utf8MapConverter::Utf8MapConverter(const std::array<std::string, 256>& images, std::string_view eol) : eol_(eol) {
  for (int b = 0; b < 256; ++b) {
    AppendCp1251AsUtf8(images[b], byImage_[b], nullptr, nullptr);
    mostPerByte_ = std::max(mostPerByte_, byImage_[b].size());
  }
  mostPerByte_ = std::max(mostPerByte_, eol_.size());
  for (int c = 0; c < 128; ++c) Set(ascii_[c], byImage_[c]);
  ascii_['\r'].length = ascii_['\n'].length = kBreak;
  for (char32_t cp = 0x80; cp < 0x800; ++cp) {
    const int b = UnicodeToCp1251(cp);
    std::string own;
    AppendUtf8(own, cp);
    Set(twoByte_[cp], b >= 0 ? std::string_view(byImage_[b]) : std::string_view(own));
  }
}

Utf8MapConverter::Utf8MapConverter(const Utf8MapConverter& other, TablesOnly)
    : ascii_(other.ascii_),
      twoByte_(other.twoByte_),
      byImage_(other.byImage_),
      long_(other.long_),
      mostPerByte_(other.mostPerByte_),
      eol_(other.eol_) {}

void Utf8MapConverter::Set(Entry& entry, std::string_view utf8) {
  if (utf8.size() > 8) {
    entry.packed = long_.size();  // where in long_
    long_.emplace_back(utf8);
    entry.length = kLong;
    return;
  }
  entry.packed = 0;
  std::memcpy(&entry.packed, utf8.data(), utf8.size());
  entry.length = static_cast<std::uint8_t>(utf8.size());
}

std::size_t Utf8MapConverter::Convert(std::string_view piece, std::size_t i, std::size_t stop, char*& out) {
  // Locals, so that the stores through `o` (which may alias anything) do not
  // make the compiler reload the tables.
  const auto* p = reinterpret_cast<const unsigned char*>(piece.data());
  const Entry* const ascii = ascii_.data();
  const Entry* const twoByte = twoByte_.data();
  char* o = out;
  const std::size_t first = i;
  std::size_t afterBreak = first;  // where the line after the last break began
  while (i < stop) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      const Entry e = ascii[c];
      if (e.length <= 8) {
        std::memcpy(o, &e.packed, 8);
        o += e.length;
        ++i;
        continue;
      }
      if (e.length == kLong) {
        const std::string& image = long_[e.packed];
        std::memcpy(o, image.data(), image.size());
        o += image.size();
        ++i;
        continue;
      }
      // A break: CR LF, a lone CR or a lone LF. A CR at the very end of the
      // piece may be the first half of a CR LF cut in two.
      std::memcpy(o, eol_.data(), eol_.size());
      o += eol_.size();
      lineEnd_ = static_cast<std::size_t>(o - text_.data());
      ++i;
      if (c == '\r') {
        if (i == piece.size()) skipLineFeed_ = true;
        else if (p[i] == '\n') ++i;
      }
      afterBreak = i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF && i + 1 < stop && (p[i + 1] & 0xC0) == 0x80) {
      // A run of two-byte characters (a Cyrillic word) in a loop of its own.
      std::size_t cp = ((c & 0x1Fu) << 6) | (p[i + 1] & 0x3Fu);
      for (;;) {
        const Entry e = twoByte[cp];
        if (e.length <= 8) {
          std::memcpy(o, &e.packed, 8);
          o += e.length;
        } else {
          const std::string& image = long_[e.packed];
          std::memcpy(o, image.data(), image.size());
          o += image.size();
        }
        i += 2;
        if (i + 1 >= stop) break;
        const unsigned char lead = p[i], next = p[i + 1];
        if (lead < 0xC2 || lead > 0xDF || (next & 0xC0) != 0x80) break;
        cp = ((lead & 0x1Fu) << 6) | (next & 0x3Fu);
      }
      continue;
    }
    // Three- and four-byte characters, and whatever is cut or malformed.
    char32_t cp;
    const int n = DecodeUtf8Sequence(piece.substr(i, stop - i), cp);
    if (n <= 0) break;
    const int b = UnicodeToCp1251(cp);
    const std::string_view image = b >= 0 ? std::string_view(byImage_[b]) : piece.substr(i, static_cast<std::size_t>(n));
    std::memcpy(o, image.data(), image.size());
    o += image.size();
    i += static_cast<std::size_t>(n);
  }
  // A line is open when characters followed the last break (or, without a
  // break here, when one was open before or characters came).
  if (afterBreak > first) lineOpen_ = i > afterBreak;
  else lineOpen_ = lineOpen_ || i > first;
  out = o;
  return i;
}

// The second core's share of a long piece: one job at a time.
class Utf8MapConverter::Worker {
 public:
  Worker() : thread_([this] { Loop(); }) {}
  ~Worker() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  void Start(std::function<void()> job) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job_ = std::move(job);
    }
    wake_.notify_all();
  }
  // Waits for the job to end; an exception it threw comes out here.
  void Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] { return !job_; });
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  }

 private:
  void Loop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return stop_ || job_; });
      if (!job_) return;
      lock.unlock();
      std::exception_ptr failure;
      try {
        job_();
      } catch (...) {
        failure = std::current_exception();
      }
      lock.lock();
      failure_ = failure;
      job_ = nullptr;
      done_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::function<void()> job_;
  std::exception_ptr failure_;
  bool stop_ = false;
  std::thread thread_;  // last: it starts once the rest is made
};

Utf8MapConverter::Utf8MapConverter(Utf8MapConverter&&) noexcept = default;
Utf8MapConverter::~Utf8MapConverter() = default;

std::size_t Utf8MapConverter::SplitPoint(std::string_view piece) {
  // Where a second line of work may take over: just after a line feed near
  // the middle, so that the second part begins a line with nothing carried
  // over (no cut character, no CR waiting for its LF).
  constexpr std::size_t kWorthSplitting = 1 << 17;
  if (piece.size() < kWorthSplitting || !splitting_) return 0;
  const std::size_t feed = piece.find('\n', piece.size() / 2);
  if (feed == std::string_view::npos || feed + 1 == piece.size()) return 0;
  return feed + 1;
}

bool Utf8MapConverter::Feed(std::string_view piece, std::string_view& complete) {
  // What the last call handed out is written; the unfinished line moves to
  // the front (only once a line ends, so a long line is not moved again and
  // again).
  if (complete_ > 0) {
    text_.erase(0, complete_);
    lineEnd_ -= complete_;
    complete_ = 0;
  }
  const std::size_t split = SplitPoint(piece);
  bool ok;
  if (split == 0) {
    ok = FeedPart(piece);
  } else {
    // Two lines of work: this converter takes the first part, a second one
    // (the same tables) the rest, which begins a line; then this one takes
    // over the second one's text and state.
    if (!second_) {
      second_ = std::unique_ptr<Utf8MapConverter>(new Utf8MapConverter(*this, TablesOnly{}));
      worker_ = std::make_unique<Worker>();
    }
    Utf8MapConverter& second = *second_;
    second.text_.clear();
    second.complete_ = second.lineEnd_ = 0;
    second.lineOpen_ = second.skipLineFeed_ = false;
    second.carry_.clear();
    second.consumed_ = consumed_ + split;
    bool secondOk = false;
    worker_->Start([&] { secondOk = second.FeedPart(piece.substr(split)); });
    try {
      ok = FeedPart(piece.substr(0, split));
    } catch (...) {
      worker_->Wait();
      throw;
    }
    worker_->Wait();
    if (ok && !secondOk) {
      errorOffset_ = second.errorOffset_;
      ok = false;
    }
    if (ok) {
      // The first part ended with a line feed: all of its text is complete.
      lineEnd_ = text_.size() + second.lineEnd_;
      text_ += second.text_;
      lineOpen_ = second.lineOpen_;
      skipLineFeed_ = second.skipLineFeed_;
      carry_ = second.carry_;
      consumed_ = second.consumed_;
    }
  }
  if (!ok) return false;
  complete_ = lineEnd_;
  complete = std::string_view(text_).substr(0, complete_);
  return true;
}

bool Utf8MapConverter::FeedPart(std::string_view piece) {
  std::size_t used = text_.size();
  auto room = [&](std::size_t inputBytes) {
    text_.resize(used + inputBytes * mostPerByte_ + 8);
    return text_.data() + used;
  };
  std::size_t i = 0;
  if (skipLineFeed_ && !piece.empty()) {
    if (piece[0] == '\n') i = 1;
    skipLineFeed_ = false;
  }
  // A character cut at the end of the last piece, completed by this one.
  while (!carry_.empty() && i < piece.size()) {
    carry_ += piece[i++];
    char32_t cp;
    const int n = DecodeUtf8Sequence(carry_, cp);
    if (n == 0) {
      errorOffset_ = consumed_ - (carry_.size() - i);
      text_.resize(used);
      return false;
    }
    if (n > 0) {
      char* out = room(carry_.size());
      char* const start = out;
      Convert(carry_, 0, carry_.size(), out);
      used += static_cast<std::size_t>(out - start);
      carry_.clear();
    }
  }
  // The rest in chunks, so the room made at a time stays small.
  constexpr std::size_t kChunk = 1 << 16;
  while (i < piece.size()) {
    const std::size_t stop = std::min(piece.size(), i + kChunk);
    char* out = room(stop - i);
    char* const start = out;
    const std::size_t at = Convert(piece, i, stop, out);
    used += static_cast<std::size_t>(out - start);
    text_.resize(used);
    if (at >= stop) {
      i = at;  // past the chunk when it ended with the CR of a CR LF
      continue;
    }
    {
      // A character the chunk cuts belongs to the next chunk; one the piece
      // cuts waits for the next piece; anything else is malformed.
      char32_t cp;
      const int n = DecodeUtf8Sequence(piece.substr(at), cp);
      if (n > 0) {
        i = at;
        const std::size_t end = at + static_cast<std::size_t>(n);
        char* o = room(end - at);
        char* const s = o;
        Convert(piece, at, end, o);
        used += static_cast<std::size_t>(o - s);
        text_.resize(used);
        i = end;
        continue;
      }
      if (n < 0) {
        carry_.assign(piece.substr(at));
        break;
      }
      errorOffset_ = consumed_ + at;
      return false;
    }
  }
  text_.resize(used);
  consumed_ += piece.size();
  return true;
}

bool Utf8MapConverter::EndInput() {
  if (!carry_.empty()) {
    errorOffset_ = consumed_ - carry_.size();
    return false;
  }
  consumed_ = 0;
  return true;
}

std::string_view Utf8MapConverter::Finish() {
  if (complete_ > 0) {
    text_.erase(0, complete_);
    lineEnd_ -= complete_;
    complete_ = 0;
  }
  if (lineOpen_) {
    text_ += eol_;
    lineOpen_ = false;
  }
  lineEnd_ = complete_ = text_.size();
  return text_;
}

}  // namespace velmar
