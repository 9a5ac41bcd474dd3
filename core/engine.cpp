#include "engine.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace velmar {
namespace {

bool IsSeparator(unsigned char c) { return c <= 0x20; }


}  // namespace

LineConverter::LineConverter(const TTransTable& table, bool underscore, bool hyphen) {
  if (underscore) blank_ = '_';
  else if (hyphen) blank_ = '-';
  Compile(table);
}

void LineConverter::Compile(const TTransTable& table) {
  // The order in which pairs are applied: sources of 8 down to 2 bytes, then all.
  std::vector<const TCharTable*> order;
  for (std::size_t len = 8; len >= 2; --len)
    for (int i = 0; i < table.TableCount; ++i)
      if (table.Table[i].Source.size() == len) order.push_back(&table.Table[i]);
  for (int i = 0; i < table.TableCount; ++i) order.push_back(&table.Table[i]);

  for (const TCharTable* pair : order) {
    const std::string& s = pair->Source;
    if (s.empty()) continue;  // an empty source changes nothing
    if (s.find('\n') != std::string::npos || pair->Target.find('\n') != std::string::npos)
      batchLines_ = false;
    if (s.size() == 1) {
      AddSingleBytePair(*pair);
      continue;
    }
    Step step;
    step.source = s;
    step.target = pair->Target;
    steps_.push_back(std::move(step));
  }
}

std::optional<std::array<std::string, 256>> LineConverter::ByteImages() const {
  std::array<std::string, 256> images;
  if (steps_.empty()) {
    for (int b = 0; b < 256; ++b) images[b] = std::string(1, static_cast<char>(b));
  } else if (steps_.size() == 1 && steps_[0].isMap) {
    images = steps_[0].image;
  } else {
    return std::nullopt;
  }
  if (images[blank_] != std::string(1, static_cast<char>(blank_))) return std::nullopt;
  images[' '] = images[blank_];  // blanks in the line became the blank option's character
  return images;
}

void LineConverter::AddSingleBytePair(const TCharTable& pair) {
  const char from = pair.Source[0];
  // Replacing one byte acts on every byte's image separately, so a run of
  // pairs composes into one image per byte. A chain of pairs can make the
  // images grow exponentially ("a" to "bb", "b" to "cc", ...) whatever the
  // text holds, so a map takes a pair only while its images stay short; the
  // next pair then starts a map of its own, which costs one more pass over
  // the text, as the pair would in the pair-by-pair algorithm.
  const auto composedLength = [&](const std::string& img) {
    const auto hits = static_cast<std::size_t>(std::count(img.begin(), img.end(), from));
    return img.size() - hits + hits * pair.Target.size();
  };
  bool startNewMap = false;
  if (!steps_.empty() && steps_.back().isMap) {
    const Step& map = steps_.back();
    std::size_t longest = 0;
    for (const std::string& img : map.image) longest = std::max(longest, composedLength(img));
    if (longest > std::max(kLongestComposedImage, map.longestImage)) startNewMap = true;
  }
  if (startNewMap || steps_.empty() || !steps_.back().isMap) {
    Step step;
    step.isMap = true;
    for (int b = 0; b < 256; ++b) step.image[b] = std::string(1, static_cast<char>(b));
    steps_.push_back(std::move(step));
  }
  Step& map = steps_.back();
  for (int b = 0; b < 256; ++b) {
    std::string& img = map.image[b];
    if (img.find(from) == std::string::npos) continue;
    std::string composed;
    composed.reserve(composedLength(img));
    for (char c : img) {
      if (c == from) composed += pair.Target;
      else composed += c;
    }
    img = std::move(composed);
    map.changes[b] = !(img.size() == 1 && static_cast<unsigned char>(img[0]) == b);
  }
  map.allPacked = true;
  map.longestImage = 1;
  for (int b = 0; b < 256; ++b) {
    const std::string& img = map.image[b];
    map.longestImage = std::max(map.longestImage, img.size());
    map.packed[b] = 0;
    map.packedLength[b] = static_cast<std::uint8_t>(std::min<std::size_t>(img.size(), 8));
    std::memcpy(&map.packed[b], img.data(), std::min<std::size_t>(img.size(), 8));
    if (img.size() > 8) map.allPacked = false;
  }
}

void LineConverter::SurveyBytes() {
  // Four tables, so that a run of the same byte does not wait on its own
  // store.
  std::array<ByteSet, 4> seen{};
  const auto* p = reinterpret_cast<const unsigned char*>(buf_.data());
  const std::size_t n = buf_.size();
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    seen[0][p[i]] = true;
    seen[1][p[i + 1]] = true;
    seen[2][p[i + 2]] = true;
    seen[3][p[i + 3]] = true;
  }
  for (; i < n; ++i) seen[0][p[i]] = true;
  for (int b = 0; b < 256; ++b) present_[b] = seen[0][b] | seen[1][b] | seen[2][b] | seen[3][b];
  bytesSurveyed_ = true;
}

void LineConverter::SurveyPairs() {
  pairs_.Clear();
  const auto* p = reinterpret_cast<const unsigned char*>(buf_.data());
  const std::size_t n = buf_.size();
  for (std::size_t i = 1; i < n; ++i) pairs_.Add(p[i - 1], p[i]);
  pairsSurveyed_ = true;
}

void LineConverter::CheckResultSize(std::size_t bytes) const {
  // What the pair-by-pair algorithm would run out of memory on.
  if (bytes > resultLimit_) throw std::bad_alloc();
}

void LineConverter::ApplyMap(const Step& step) {
  const auto* in = reinterpret_cast<const unsigned char*>(buf_.data());
  const std::size_t n = buf_.size();
  // Room for the longest images is plenty for a block of lines; a long line
  // is measured first, so the buffer is never much larger than the result.
  std::size_t room = n * step.longestImage;
  if (step.longestImage > 1 && (room > (std::size_t{1} << 20) || room > resultLimit_)) {
    room = 0;
    for (std::size_t i = 0; i < n; ++i) room += step.image[in[i]].size();
  }
  CheckResultSize(room);
  next_.clear();
  ReserveExactly(next_, room + 8);
  next_.resize(room + 8);
  char* out = next_.data();
  if (step.allPacked) {
    for (std::size_t i = 0; i < n; ++i) {
      std::memcpy(out, &step.packed[in[i]], 8);
      out += step.packedLength[in[i]];
    }
  } else {
    for (std::size_t i = 0; i < n; ++i) {
      const std::string& img = step.image[in[i]];
      std::memcpy(out, img.data(), img.size());
      out += img.size();
    }
  }
  next_.resize(static_cast<std::size_t>(out - next_.data()));
  std::swap(buf_, next_);
  bytesSurveyed_ = pairsSurveyed_ = false;
}

bool LineConverter::ApplyPair(const Step& step) {
  if (!ReplaceSurveyed(buf_, step.source, step.target, resultLimit_, next_, pairs_, present_)) return false;
  std::swap(buf_, next_);
  return true;
}

void LineConverter::Run() {
  // What the text holds is surveyed only when a step asks and kept (as a
  // superset) across the pairs; a map changes too much and ends it.
  bytesSurveyed_ = pairsSurveyed_ = false;
  for (const Step& step : steps_) {
    if (step.isMap) {
      if (!bytesSurveyed_) SurveyBytes();
      bool touches = false;
      for (int b = 0; b < 256 && !touches; ++b) touches = step.changes[b] && present_[b];
      if (touches) ApplyMap(step);
      continue;
    }
    if (!pairsSurveyed_) SurveyPairs();
    const auto* s = reinterpret_cast<const unsigned char*>(step.source.data());
    bool possible = true;
    for (std::size_t i = 1; i < step.source.size() && possible; ++i) possible = pairs_.Has(s[i - 1], s[i]);
    if (possible) ApplyPair(step);
  }
}

template <typename Emit>
void LineConverter::ConvertBlocks(std::span<const std::string_view> lines, Emit emit) {
  std::size_t i = 0;
  while (i < lines.size()) {
    // Gather lines: each as a blank, the line, and (when batching) a line feed.
    buf_.clear();
    std::size_t first = i;
    do {
      // A long line gets a buffer of its own size, not twice that.
      if (buf_.size() + lines[i].size() + 2 > buf_.capacity())
        ReserveExactly(buf_, std::max(buf_.size() + lines[i].size() + 2, blockSize_ + blockSize_ / 2));
      buf_ += static_cast<char>(blank_);
      if (blank_ == ' ') {
        buf_ += lines[i];
      } else {
        std::size_t start = buf_.size();
        buf_ += lines[i];
        for (std::size_t k = start; k < buf_.size(); ++k)
          if (buf_[k] == ' ') buf_[k] = static_cast<char>(blank_);
      }
      if (batchLines_) buf_ += '\n';
      ++i;
    } while (batchLines_ && i < lines.size() && buf_.size() < blockSize_);
    CheckResultSize(buf_.size());

    Run();

    if (!batchLines_) {
      emit(std::string_view(buf_).substr(buf_.empty() ? 0 : 1));
      continue;
    }
    // Each line's conversion ends at its line feed; its first byte goes.
    std::string_view rest(buf_);
    for (std::size_t k = first; k < i; ++k) {
      std::size_t end = rest.find('\n');
      std::string_view segment = rest.substr(0, end);
      emit(segment.substr(segment.empty() ? 0 : 1));
      rest.remove_prefix(end + 1);
    }
  }
}

template class LineConverterCalls<LineConverter>;

void CompressAppend(CompressState& state, std::string_view piece, std::string& out) {
  std::size_t i = 0;
  while (i < piece.size()) {
    if (IsSeparator(static_cast<unsigned char>(piece[i]))) {
      state.pendingSeparator = true;
      ++i;
      continue;
    }
    std::size_t start = i;
    while (i < piece.size() && !IsSeparator(static_cast<unsigned char>(piece[i]))) ++i;
    if (state.anyWord && state.pendingSeparator) out += ' ';
    out.append(piece, start, i - start);
    state.anyWord = true;
    state.pendingSeparator = false;
  }
}

}  // namespace velmar
