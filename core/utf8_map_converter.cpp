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
#include "engine.h"
#include "utf8.h"
#include "words.h"

namespace velmar {
namespace {

// The kind of the character at piece[i] as the line-by-line path sees it: a
// character Windows-1251 has not is a stand-in there, no letter.
CharKind KindAt(std::string_view piece, std::size_t i, std::size_t& length) {
  char32_t cp = 0;
  const int n = DecodeUtf8Sequence(piece.substr(i), cp);
  if (n <= 0) {
    length = 1;
    return CharKind::Other;
  }
  length = static_cast<std::size_t>(n);
  const int b = UnicodeToCp1251(cp);
  return b < 0 ? CharKind::Other : Cp1251Kind(static_cast<unsigned char>(b));
}

CharKind KindAt(std::string_view piece, std::size_t i) {
  std::size_t length;
  return KindAt(piece, i, length);
}

// Where the character that ends just before i begins.
std::size_t PreviousStart(std::string_view piece, std::size_t i) {
  std::size_t k = i - 1;
  while (k > 0 && i - k < 4 && (static_cast<unsigned char>(piece[k]) & 0xC0) == 0x80) --k;
  return k;
}

bool IsLetter(CharKind k) { return k >= CharKind::Caseless; }

// The nearest letter with case of the word after `from` (which follows a
// letter of the word), or Other.
CharKind CasedAfter(std::string_view piece, std::size_t from) {
  std::size_t j = from, length;
  while (j < piece.size()) {
    const CharKind k = KindAt(piece, j, length);
    if (k >= CharKind::Small) return k;
    if (k == CharKind::Caseless) {
      j += length;
      continue;
    }
    if (k != CharKind::Joiner) break;
    std::size_t r = j;
    while (r < piece.size() && KindAt(piece, r, length) == CharKind::Joiner) r += length;
    if (r >= piece.size() || !IsLetter(KindAt(piece, r))) break;
    j = r;
  }
  return CharKind::Other;
}

// The nearest letter with case of the word before `from` (which a letter of
// the word follows), or Other.
CharKind CasedBefore(std::string_view piece, std::size_t from) {
  std::size_t j = from;
  while (j > 0) {
    const std::size_t p = PreviousStart(piece, j);
    const CharKind k = KindAt(piece, p);
    if (k >= CharKind::Small) return k;
    if (k == CharKind::Caseless) {
      j = p;
      continue;
    }
    if (k != CharKind::Joiner) break;
    std::size_t l = p;
    while (l > 0 && KindAt(piece, PreviousStart(piece, l)) == CharKind::Joiner) l = PreviousStart(piece, l);
    if (l == 0 || !IsLetter(KindAt(piece, PreviousStart(piece, l)))) break;
    j = l;
  }
  return CharKind::Other;
}

}  // namespace

std::optional<ByteMaps> OneLetterMaps(const TTransTable& table, bool underscore, bool hyphen, bool capitalWords) {
  if (table.HasContexts()) return std::nullopt;
  auto images = LineConverter(table, underscore, hyphen).ByteImages();
  if (!images) return std::nullopt;
  ByteMaps maps{*images, *images};
  if (!capitalWords) return maps;
  // In a word in capitals each pair writes its target in capitals; the
  // blank before a line is in no word.
  for (int b = 0; b < 256; ++b) {
    if (b == ' ') continue;
    std::string image(1, static_cast<char>(b));
    for (int i = 0; i < table.TableCount; ++i) {
      const TCharTable& pair = table.Table[i];
      if (pair.Source.size() != 1 || image.find(pair.Source[0]) == std::string::npos) continue;
      std::string upper;
      for (char c : pair.Target) upper += static_cast<char>(Cp1251ToUpper(static_cast<unsigned char>(c)));
      std::string composed;
      for (char c : image) composed += c == pair.Source[0] ? upper : std::string(1, c);
      image = std::move(composed);
    }
    maps.capitalImages[b] = std::move(image);
  }
  return maps;
}

Utf8MapConverter::Utf8MapConverter(const ByteMaps& maps, std::string_view eol) : Utf8MapConverter(maps.images, eol) {
  byteCapitals_.fill(-1);
  for (int b = 0; b < 256; ++b) {
    if (maps.capitalImages[b] == maps.images[b]) continue;
    TwoImages two{byImage_[b], {}};
    AppendCp1251AsUtf8(maps.capitalImages[b], two.capitals, nullptr, nullptr);
    mostPerByte_ = std::max(mostPerByte_, two.capitals.size());
    byteCapitals_[b] = static_cast<std::int32_t>(capitals_.size());
    const char32_t cp = Cp1251ToUnicode(static_cast<unsigned char>(b));
    Entry* entry = cp < 0x80 ? &ascii_[cp] : cp < 0x800 ? &twoByte_[cp] : nullptr;
    if (entry) {
      entry->packed = capitals_.size();
      entry->length = kCapitals;
    }
    capitals_.push_back(std::move(two));
    capitalWords_ = true;
  }
}

std::string_view Utf8MapConverter::CapitalsImage(std::string_view piece, std::size_t i, std::size_t n,
                                                 std::size_t index) const {
  const TwoImages& two = capitals_[index];
  CharKind self = KindAt(piece, i);
  std::size_t before = i, after = i + n;
  if (self == CharKind::Joiner) {
    // An apostrophe belongs to a word only between two letters.
    std::size_t length;
    while (before > 0 && KindAt(piece, PreviousStart(piece, before)) == CharKind::Joiner)
      before = PreviousStart(piece, before);
    while (after < piece.size() && KindAt(piece, after, length) == CharKind::Joiner) after += length;
    if (before == 0 || !IsLetter(KindAt(piece, PreviousStart(piece, before))) || after >= piece.size() ||
        !IsLetter(KindAt(piece, after)))
      return two.normal;
    self = CharKind::Caseless;
  }
  if (self == CharKind::Other || self == CharKind::Small) return two.normal;
  const CharKind last = CasedBefore(piece, before), next = CasedAfter(piece, after);
  bool capitals;
  if (self == CharKind::Capital) capitals = next != CharKind::Other ? next == CharKind::Capital : last == CharKind::Capital;
  else capitals = (last != CharKind::Other || next != CharKind::Other) && last != CharKind::Small && next != CharKind::Small;
  return capitals ? two.capitals : two.normal;
}

Utf8MapConverter::Utf8MapConverter(const std::array<std::string, 256>& images, std::string_view eol) : eol_(eol) {
  byteCapitals_.fill(-1);
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
      capitals_(other.capitals_),
      capitalWords_(other.capitalWords_),
      byteCapitals_(other.byteCapitals_),
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
      if (e.length == kCapitals) {
        const std::string_view image = CapitalsImage(piece, i, 1, e.packed);
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
        } else if (e.length == kCapitals) {
          const std::string_view image = CapitalsImage(piece, i, 2, e.packed);
          std::memcpy(o, image.data(), image.size());
          o += image.size();
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
    const std::string_view image = b < 0 ? piece.substr(i, static_cast<std::size_t>(n))
                                   : byteCapitals_[b] >= 0
                                       ? CapitalsImage(piece, i, static_cast<std::size_t>(n),
                                                       static_cast<std::size_t>(byteCapitals_[b]))
                                       : std::string_view(byImage_[b]);
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
  bool ok;
  if (!capitalWords_) {
    ok = FeedSplit(piece);
  } else {
    // Only whole lines: a character's image may depend on the rest of its word.
    const std::size_t searchFrom = waiting_.size();
    waiting_.append(piece);
    const std::size_t last = std::string_view(waiting_).substr(searchFrom).rfind('\n');
    ok = true;
    if (last != std::string_view::npos) {
      const std::size_t end = searchFrom + last + 1;
      ok = FeedSplit(std::string_view(waiting_).substr(0, end));
      if (ok) {
        waiting_.erase(0, end);
        checked_ = checked_ > end ? checked_ - end : 0;
      }
    }
    // What waits is checked now, so that a malformed byte is told where it
    // stands, not at the end of the input.
    while (ok && checked_ < waiting_.size()) {
      char32_t cp;
      const int n = DecodeUtf8Sequence(std::string_view(waiting_).substr(checked_), cp);
      if (n < 0) break;  // cut by the piece: the next one completes it
      if (n == 0) {
        errorOffset_ = consumed_ + checked_;
        ok = false;
        break;
      }
      checked_ += static_cast<std::size_t>(n);
    }
  }
  if (!ok) return false;
  complete_ = lineEnd_;
  complete = std::string_view(text_).substr(0, complete_);
  return true;
}

bool Utf8MapConverter::FeedSplit(std::string_view piece) {
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
  return ok;
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
  if (capitalWords_ && !waiting_.empty()) {
    // The waiting line may go on in the next input; what this input gave of
    // it must be whole characters. consumed_ is where waiting_ began in
    // this input (the next one counts from its own start).
    std::u32string ignored;
    if (const auto bad = DecodeUtf8(waiting_, ignored)) {
      errorOffset_ = consumed_ + *bad;
      return false;
    }
    consumed_ = 0 - waiting_.size();
    return true;
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
  if (!waiting_.empty()) {
    // The last line, whose words end with the text; its characters were
    // checked at the end of their input.
    FeedPart(waiting_);
    waiting_.clear();
  }
  if (lineOpen_) {
    text_ += eol_;
    lineOpen_ = false;
  }
  lineEnd_ = complete_ = text_.size();
  return text_;
}

}  // namespace velmar
