#include "unicode_engine.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "convert.h"
#include "engine_buffers.h"
#include "unicode_table.h"
#include "utf8.h"

namespace velmar {
namespace {

// Longer images (in bytes) are composed again at each occurrence instead of
// kept: the plain algorithm does that work for each occurrence too, and
// keeping them could hold far more than the text itself.
constexpr std::size_t kLongestKeptImage = 256;

// A text longer than this is measured before a map converts it, so that its
// buffer is exactly the result and not up to twice that.
constexpr std::size_t kMeasureAbove = std::size_t{1} << 16;


bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

std::size_t CharacterCount(std::string_view utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return !IsContinuationByte(static_cast<unsigned char>(c));
  }));
}

std::size_t FirstCharacterLength(std::string_view utf8) {
  std::size_t n = utf8.empty() ? 0 : 1;
  while (n < utf8.size() && IsContinuationByte(static_cast<unsigned char>(utf8[n]))) ++n;
  return n;
}

}  // namespace

struct UnicodeLineConverter::Compiled {
  struct Step {
    bool isMap = false;
    // A pair of two or more characters.
    std::string source, target;
    // A run of one-character pairs, in table order.
    std::vector<std::string> from, to;
    // The characters some pair of the run replaces, found through a tree of
    // byte tables: a slot holds 0 (no such character goes this way), k > 0
    // (character k - 1 ends here) or -k (node k follows). Node 0 is the root.
    std::vector<std::array<std::int32_t, 256>> nodes;
    struct Character {
      std::string utf8;
      std::size_t firstPair = 0;  // the first pair of the run that replaces it
    };
    std::vector<Character> characters;
    // The image of each character, by the same number: an image of up to 8
    // bytes packed for a copy of one word, a longer one kept in pool.
    enum class Image : std::uint8_t { Unknown, Packed, Kept, Long };
    struct KeptImage {
      std::uint64_t packed = 0;
      std::size_t length = 0;  // known for a long image too
      std::uint32_t offset = 0;
      Image state = Image::Unknown;
    };
    std::vector<KeptImage> images;
    std::string pool;
  };

  std::vector<Step> steps;
  bool batchLines = true;
  // A character with a long image in a buffer of several lines stops the
  // batching: the plain algorithm would hold such an image for one line only.
  std::size_t linesInBuffer = 0;
  bool abandoned = false;

  // The survey of the buffer: bytes present and neighbouring byte pairs.
  std::array<bool, 256> present{};
  BytePairs pairs;
  bool surveyed = false;

  std::size_t resultLimit = kDefaultResultLimit;
  void CheckSize(std::size_t bytes) const {
    // What the pair-by-pair algorithm would run out of memory on.
    if (bytes > resultLimit) throw std::bad_alloc();
  }

  void Survey(std::string_view text) {
    present = {};
    pairs.Clear();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size(); ++i) present[p[i]] = true;
    for (std::size_t i = 1; i < text.size(); ++i) pairs.Add(p[i - 1], p[i]);
    surveyed = true;
  }

  bool MayOccur(std::string_view s) const {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    if (!present[p[0]]) return false;
    for (std::size_t i = 1; i < s.size(); ++i)
      if (!pairs.Has(p[i - 1], p[i])) return false;
    return true;
  }

  static void AddCharacter(Step& step, const std::string& utf8, std::size_t pair) {
    if (step.nodes.empty()) step.nodes.emplace_back().fill(0);
    std::size_t node = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    for (std::size_t i = 0; i + 1 < utf8.size(); ++i) {
      std::int32_t slot = step.nodes[node][p[i]];
      if (slot == 0) {
        slot = -static_cast<std::int32_t>(step.nodes.size());
        step.nodes[node][p[i]] = slot;
        step.nodes.emplace_back().fill(0);
      }
      node = static_cast<std::size_t>(-slot);
    }
    std::int32_t& end = step.nodes[node][p[utf8.size() - 1]];
    if (end != 0) return;  // an earlier pair of the run replaces it already
    step.characters.push_back({utf8, pair});
    step.images.emplace_back();
    end = static_cast<std::int32_t>(step.characters.size());
  }

  // The run's image of one character of the text.
  static std::string Compose(const Step& step, const Step::Character& c) {
    std::string image = c.utf8;
    for (std::size_t i = c.firstPair; i < step.from.size(); ++i)
      if (image.find(step.from[i]) != std::string::npos) image = ReplaceAll(image, step.from[i], step.to[i]);
    return image;
  }

  // The length in bytes of the run's image of a character, found without
  // composing it: the pairs of a run replace each character on its own, so
  // only how many of each character the image holds matters. A chain of
  // doubling pairs is thus measured in a moment. Throws std::bad_alloc when
  // the image, or any text on the way to it, would pass the limit.
  std::size_t ImageLength(const Step& step, const Step::Character& c) const {
    // Counts stay far below 2^64 as long as the length stays below this.
    const std::uint64_t limit = std::min<std::uint64_t>(resultLimit, std::uint64_t{1} << 56);
    std::vector<std::pair<std::string_view, std::uint64_t>> counts{{c.utf8, 1}};
    const auto count = [&counts](std::string_view character) -> std::uint64_t& {
      for (auto& [ch, n] : counts)
        if (ch == character) return n;
      return counts.emplace_back(character, 0).second;
    };
    std::uint64_t length = c.utf8.size();
    for (std::size_t i = c.firstPair; i < step.from.size(); ++i) {
      std::uint64_t& replaced = count(step.from[i]);
      const std::uint64_t k = replaced;
      if (k == 0) continue;
      replaced = 0;
      length -= k * step.from[i].size();
      for (std::string_view to = step.to[i]; !to.empty();) {
        const std::size_t n = FirstCharacterLength(to);
        count(to.substr(0, n)) += k;
        length += k * n;
        if (length > limit) throw std::bad_alloc();
        to.remove_prefix(n);
      }
    }
    return static_cast<std::size_t>(length);
  }

  // Learns a character's image at its first occurrence: a short one is
  // composed and kept, a long one only measured.
  void Resolve(Step& step, std::size_t k) const {
    Step::KeptImage& kept = step.images[k];
    kept.length = ImageLength(step, step.characters[k]);
    if (kept.length > kLongestKeptImage) {
      kept.state = Step::Image::Long;
      return;
    }
    const std::string image = Compose(step, step.characters[k]);
    if (image.size() <= sizeof kept.packed) {
      kept.state = Step::Image::Packed;
      std::memcpy(&kept.packed, image.data(), image.size());
    } else {
      kept.state = Step::Image::Kept;
      kept.offset = static_cast<std::uint32_t>(step.pool.size());
      step.pool += image;
    }
  }

  bool Touches(const Step& step) const {
    for (const auto& c : step.characters)
      if (MayOccur(c.utf8)) return true;
    return false;
  }

  // The character of the run that begins at p[i]: its number + 1 (next is
  // then where it ends), or 0 when the byte is no replaced character's.
  static std::size_t Find(const Step& step, const unsigned char* p, std::size_t n, std::size_t i,
                          std::size_t& next) {
    std::int32_t slot = step.nodes[0][p[i]];
    next = i + 1;
    while (slot < 0 && next < n) slot = step.nodes[static_cast<std::size_t>(-slot)][p[next++]];
    return slot > 0 ? static_cast<std::size_t>(slot) : 0;
  }

  // A long image in a buffer of several lines stops the batching
  // (abandoned): the plain algorithm would hold it for one line only.
  void ApplyMap(Step& step, const std::string& in, std::string& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    const std::size_t n = in.size();
    std::size_t room = n + n / 2 + 2 * kLongestKeptImage;
    if (n > kMeasureAbove) {
      std::size_t total = 0;
      for (std::size_t i = 0, next; i < n;) {
        const std::size_t slot = Find(step, p, n, i, next);
        if (slot == 0) {
          ++total, ++i;
          continue;
        }
        Step::KeptImage& kept = step.images[slot - 1];
        if (kept.state == Step::Image::Unknown) Resolve(step, slot - 1);
        if (kept.state == Step::Image::Long && linesInBuffer > 1) {
          abandoned = true;
          return;
        }
        total += kept.length;
        CheckSize(total);
        i = next;
      }
      CheckSize(total);
      room = total + sizeof(std::uint64_t);  // a packed image is copied as one word
    }
    out.clear();
    ReserveExactly(out, room);
    out.resize(room);
    char* o = out.data();
    char* end = out.data() + out.size();
    const auto ensure = [&](std::size_t bytes) {
      if (static_cast<std::size_t>(end - o) >= bytes) return;
      const std::size_t used = static_cast<std::size_t>(o - out.data());
      CheckSize(used + bytes);
      ReserveExactly(out, std::max(std::min(out.size() * 2, resultLimit), used + bytes + 2 * kLongestKeptImage));
      out.resize(out.capacity());
      o = out.data() + used;
      end = out.data() + out.size();
    };
    std::string composed;
    for (std::size_t i = 0, next; i < n;) {
      const std::size_t slot = Find(step, p, n, i, next);
      if (slot == 0) {
        // Not a replaced character: this byte stays (continuation bytes
        // never start a character, so they stay through the root).
        ensure(1);
        *o++ = static_cast<char>(p[i++]);
        continue;
      }
      const std::size_t k = slot - 1;
      Step::KeptImage& kept = step.images[k];
      if (kept.state == Step::Image::Unknown) Resolve(step, k);
      if (kept.state == Step::Image::Packed) {
        ensure(sizeof kept.packed);
        std::memcpy(o, &kept.packed, sizeof kept.packed);
        o += kept.length;
      } else if (kept.state == Step::Image::Kept) {
        ensure(kept.length);
        o = std::copy_n(step.pool.data() + kept.offset, kept.length, o);
      } else {
        if (linesInBuffer > 1) {
          abandoned = true;
          return;
        }
        ensure(kept.length);
        composed = Compose(step, step.characters[k]);
        o = std::copy(composed.begin(), composed.end(), o);
      }
      i = next;
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    surveyed = false;
  }

  bool ApplyPair(const Step& step, const std::string& in, std::string& out) {
    return ReplaceSurveyed(in, step.source, step.target, resultLimit, out, pairs, present);
  }
};

UnicodeLineConverter::UnicodeLineConverter(const TTransTable& table, bool underscore, bool hyphen)
    : compiled_(std::make_unique<Compiled>()) {
  if (underscore) blank_ = '_';
  else if (hyphen) blank_ = '-';
  Compiled& c = *compiled_;

  struct Pair {
    std::string source, target;
    std::size_t length;  // in characters
  };
  std::vector<Pair> pairs;
  for (int i = 0; i < table.TableCount; ++i) {
    std::string source = TableTextToUtf8(table, table.Table[i].Source);
    std::size_t length = CharacterCount(source);
    pairs.push_back({std::move(source), TableTextToUtf8(table, table.Table[i].Target), length});
  }
  // The order in which pairs are applied: sources of 8 down to 2 characters, then all.
  std::vector<const Pair*> order;
  for (std::size_t len = 8; len >= 2; --len)
    for (const Pair& p : pairs)
      if (p.length == len) order.push_back(&p);
  for (const Pair& p : pairs) order.push_back(&p);

  using Step = Compiled::Step;
  for (const Pair* pair : order) {
    if (pair->source.empty()) continue;  // an empty source changes nothing
    if (pair->source.find('\n') != std::string::npos || pair->target.find('\n') != std::string::npos)
      c.batchLines = false;
    if (pair->length == 1) {
      if (c.steps.empty() || !c.steps.back().isMap) {
        c.steps.emplace_back();
        c.steps.back().isMap = true;
      }
      Step& map = c.steps.back();
      Compiled::AddCharacter(map, pair->source, map.from.size());
      map.from.push_back(pair->source);
      map.to.push_back(pair->target);
      continue;
    }
    Step step;
    step.source = pair->source;
    step.target = pair->target;
    c.steps.push_back(std::move(step));
  }
}

UnicodeLineConverter::~UnicodeLineConverter() = default;

void UnicodeLineConverter::SetResultLimit(std::size_t bytes) { compiled_->resultLimit = bytes; }

bool UnicodeLineConverter::Run() {
  Compiled& c = *compiled_;
  c.surveyed = false;
  for (Compiled::Step& step : c.steps) {
    if (step.isMap) {
      // Without a survey at hand, the map's own pass is as cheap as one.
      if (!c.surveyed || c.Touches(step)) {
        c.ApplyMap(step, buf_, next_);
        if (c.abandoned) {
          c.abandoned = false;
          c.batchLines = false;
          return false;
        }
        std::swap(buf_, next_);
      }
      continue;
    }
    if (!c.surveyed) c.Survey(buf_);
    if (c.MayOccur(step.source) && c.ApplyPair(step, buf_, next_)) std::swap(buf_, next_);
  }
  return true;
}

template <typename Emit>
void UnicodeLineConverter::ConvertBlocks(std::span<const std::string_view> lines, Emit emit) {
  std::size_t i = 0;
  while (i < lines.size()) {
    const bool batch = compiled_->batchLines;
    // Gather lines: each as a blank, the line, and (when batching) a line feed.
    buf_.clear();
    std::size_t first = i;
    do {
      // A long line gets a buffer of its own size, not twice that.
      if (buf_.size() + lines[i].size() + 2 > buf_.capacity())
        ReserveExactly(buf_, std::max(buf_.size() + lines[i].size() + 2, blockSize_ + blockSize_ / 2));
      buf_ += blank_;
      std::size_t start = buf_.size();
      buf_ += lines[i];
      if (blank_ != ' ') std::replace(buf_.begin() + static_cast<std::ptrdiff_t>(start), buf_.end(), ' ', blank_);
      if (batch) buf_ += '\n';
      ++i;
    } while (batch && i < lines.size() && buf_.size() < blockSize_);
    compiled_->linesInBuffer = i - first;
    compiled_->CheckSize(buf_.size());

    if (!Run()) {
      i = first;  // batching has stopped: these lines again, one at a time
      continue;
    }

    // Each line's conversion ends at its line feed; its first character goes.
    std::string_view rest(buf_);
    for (std::size_t k = first; k < i; ++k) {
      std::size_t end = batch ? rest.find('\n') : rest.size();
      std::string_view segment = rest.substr(0, end);
      emit(segment.substr(FirstCharacterLength(segment)));
      if (batch) rest.remove_prefix(end + 1);
    }
  }
}

template class LineConverterCalls<UnicodeLineConverter>;

std::u32string ConvertLineUnicode(std::u32string_view line, const TTransTable& table, bool underscore,
                                  bool hyphen) {
  std::u32string result;
  DecodeUtf8(UnicodeLineConverter(table, underscore, hyphen).Convert(EncodeUtf8(line)), result);
  return result;
}

bool IsUnicodeSeparator(char32_t cp) { return cp <= 0x20 || (cp >= 0x7F && cp <= 0x9F); }

std::u32string CompressText(std::u32string_view text) {
  std::u32string out;
  bool pending = false;
  for (char32_t c : text) {
    if (IsUnicodeSeparator(c)) {
      pending = true;
      continue;
    }
    if (pending && !out.empty()) out += U' ';
    pending = false;
    out += c;
  }
  return out;
}

void CompressUtf8Append(Utf8CompressState& state, std::string_view piece, std::string& out) {
  while (!piece.empty()) {
    char32_t cp;
    int n = DecodeUtf8Sequence(piece, cp);
    if (n <= 0) n = 1, cp = kReplacementCharacter;  // well-formed text is promised; never stall
    if (IsUnicodeSeparator(cp)) {
      state.pendingSeparator = true;
    } else {
      if (state.anyWord && state.pendingSeparator) out += ' ';
      out.append(piece.substr(0, static_cast<std::size_t>(n)));
      state.anyWord = true;
      state.pendingSeparator = false;
    }
    piece.remove_prefix(static_cast<std::size_t>(n));
  }
}

}  // namespace velmar
