#include "engine.h"

#include <cstring>
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
    for (unsigned char c : pair->Target) step.adds[c] = true;
    steps_.push_back(std::move(step));
  }
}

void LineConverter::AddSingleBytePair(const TCharTable& pair) {
  if (steps_.empty() || !steps_.back().isMap) {
    Step step;
    step.isMap = true;
    for (int b = 0; b < 256; ++b) step.image[b] = std::string(1, static_cast<char>(b));
    steps_.push_back(std::move(step));
  }
  Step& map = steps_.back();
  const char from = pair.Source[0];
  // Replacing one byte acts on every byte's image separately, so the run of
  // pairs composes into one image per byte.
  for (int b = 0; b < 256; ++b) {
    std::string& img = map.image[b];
    if (img.find(from) == std::string::npos) continue;
    std::string composed;
    for (char c : img) {
      if (c == from) composed += pair.Target;
      else composed += c;
    }
    img = std::move(composed);
    map.changes[b] = !(img.size() == 1 && static_cast<unsigned char>(img[0]) == b);
  }
  map.adds = {};
  for (int b = 0; b < 256; ++b)
    if (map.changes[b])
      for (unsigned char c : map.image[b]) map.adds[c] = true;
}

void LineConverter::Run() {
  ByteSet present{};
  for (unsigned char c : buf_) present[c] = true;

  for (const Step& step : steps_) {
    if (step.isMap) {
      bool touches = false;
      for (int b = 0; b < 256 && !touches; ++b) touches = step.changes[b] && present[b];
      if (!touches) continue;
      next_.clear();
      next_.reserve(buf_.size() + buf_.size() / 2);
      present = {};
      for (unsigned char c : buf_) {
        if (!step.changes[c]) {
          next_ += static_cast<char>(c);
          present[c] = true;
        } else {
          const std::string& img = step.image[c];
          next_ += img;
          for (unsigned char d : img) present[d] = true;
        }
      }
      std::swap(buf_, next_);
      continue;
    }

    bool possible = true;
    for (unsigned char c : step.source) possible = possible && present[c];
    if (!possible) continue;
    std::string_view text(buf_);
    std::size_t hit = text.find(step.source);
    if (hit == std::string_view::npos) continue;
    next_.clear();
    next_.reserve(buf_.size() + buf_.size() / 4);
    std::size_t pos = 0;
    do {
      next_.append(text, pos, hit - pos);
      next_ += step.target;
      pos = hit + step.source.size();
      hit = text.find(step.source, pos);
    } while (hit != std::string_view::npos);
    next_.append(text, pos);
    std::swap(buf_, next_);
    for (int b = 0; b < 256; ++b) present[b] = present[b] || step.adds[b];
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

std::string LineConverter::Convert(std::string_view line) {
  std::string result;
  ConvertBlocks(std::span<const std::string_view>(&line, 1),
                [&](std::string_view converted) { result.assign(converted); });
  return result;
}

void LineConverter::ConvertLines(std::span<const std::string_view> lines, std::vector<std::string>& results) {
  results.reserve(results.size() + lines.size());
  ConvertBlocks(lines, [&](std::string_view converted) { results.emplace_back(converted); });
}

void LineConverter::ConvertLinesTo(std::span<const std::string_view> lines, std::string_view eol,
                                   std::string& out) {
  ConvertBlocks(lines, [&](std::string_view converted) {
    out += converted;
    out += eol;
  });
}

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
