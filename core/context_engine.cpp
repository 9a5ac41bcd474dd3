#include "context_engine.h"

#include <algorithm>
#include <new>
#include <unordered_map>

#include "cp1251.h"
#include "unicode_case.h"
#include "utf8.h"

namespace velmar {
namespace {

// A run of one-character pairs is composed into one map while no image grows
// longer than this (or than the longest target already in the map).
constexpr std::size_t kLongestComposedImage = 64;
// Characters below this are looked up in a table, the rest in a hash map.
constexpr char32_t kDirect = 0x800;

}  // namespace

struct ContextLineConverter::Step {
  bool isMap = false;
  // A pair of two or more characters, or one with a context.
  std::u32string source, target;
  std::u32string capitalSource;  // the source in capitals, when a word in capitals may match it
  std::u32string capitalTarget;
  const PairContext* context = nullptr;
  // A run of one-character pairs: every character some pair of the run
  // replaces, with its image out of capitals and in capitals.
  std::vector<std::int32_t> direct;  // by character below kDirect: entry + 1, or 0
  std::unordered_map<char32_t, std::int32_t> other;
  std::vector<std::u32string> image, capitalImage;
  std::array<bool, kPresentMask + 1> sources{};
  std::size_t longestImage = 1;

  std::int32_t Find(char32_t c) const {
    if (c < kDirect) return direct[c] - 1;
    auto it = other.find(c);
    return it == other.end() ? -1 : it->second;
  }
};

struct ContextLineConverter::Compiled {
  std::vector<Step> steps;
  std::vector<PairContext> contexts;
};

ContextLineConverter::ContextLineConverter(const TTransTable& table, bool underscore, bool hyphen,
                                           bool capitalWords)
    : compiled_(std::make_unique<Compiled>()), unicode_(table.IsUnicode()), capitalWords_(capitalWords) {
  if (underscore) blank_ = U'_';
  else if (hyphen) blank_ = U'-';
  compiled_->contexts = table.Contexts;

  auto chars = [&](std::string_view s) {
    std::u32string out;
    if (unicode_) DecodeUtf8(s, out);
    else
      for (char c : s) out += static_cast<char32_t>(static_cast<unsigned char>(c));
    return out;
  };
  auto upper = [&](std::u32string s) {
    for (char32_t& c : s) c = unicode_ ? UnicodeToUpper(c) : Cp1251ToUpper(static_cast<unsigned char>(c));
    return s;
  };
  auto kind = [&](char32_t c) { return unicode_ ? UnicodeKind(c) : Cp1251Kind(static_cast<unsigned char>(c)); };

  std::vector<const TCharTable*> order;
  for (std::size_t len = 8; len >= 2; --len)
    for (int i = 0; i < table.TableCount; ++i)
      if (chars(table.Table[i].Source).size() == len) order.push_back(&table.Table[i]);
  for (int i = 0; i < table.TableCount; ++i) order.push_back(&table.Table[i]);

  std::vector<Step>& steps = compiled_->steps;
  for (const TCharTable* pair : order) {
    const std::u32string source = chars(pair->Source), target = chars(pair->Target);
    if (source.empty()) continue;  // an empty source changes nothing
    const std::u32string capitalTarget = upper(target);
    if (source.size() == 1 && pair->Context == 0) {
      // Compose into the current map, or start a new one when the images
      // would grow long (a chain of pairs can double them every time).
      const char32_t from = source[0];
      auto composedLength = [&](const std::u32string& img, std::size_t with) {
        const auto hits = static_cast<std::size_t>(std::count(img.begin(), img.end(), from));
        return img.size() - hits + hits * with;
      };
      bool fresh = steps.empty() || !steps.back().isMap;
      if (!fresh) {
        const Step& map = steps.back();
        std::size_t longest = 1;
        for (std::size_t k = 0; k < map.image.size(); ++k)
          longest = std::max({longest, composedLength(map.image[k], target.size()),
                              composedLength(map.capitalImage[k], target.size())});
        fresh = longest > std::max(kLongestComposedImage, map.longestImage);
      }
      if (fresh) {
        Step step;
        step.isMap = true;
        step.direct.assign(kDirect, 0);
        steps.push_back(std::move(step));
      }
      Step& map = steps.back();
      if (map.Find(from) < 0) {
        const auto entry = static_cast<std::int32_t>(map.image.size());
        map.image.emplace_back(1, from);
        map.capitalImage.emplace_back(1, from);
        if (from < kDirect) map.direct[from] = entry + 1;
        else map.other[from] = entry;
        map.sources[from & kPresentMask] = true;
      }
      auto compose = [&](std::u32string& img, const std::u32string& with) {
        if (img.find(from) == std::u32string::npos) return;
        std::u32string composed;
        for (char32_t c : img) {
          if (c == from) composed += with;
          else composed += c;
        }
        img = std::move(composed);
        map.longestImage = std::max(map.longestImage, img.size());
      };
      for (std::size_t k = 0; k < map.image.size(); ++k) {
        compose(map.image[k], target);
        compose(map.capitalImage[k], capitalTarget);
      }
      continue;
    }
    Step step;
    step.source = source;
    step.target = target;
    step.capitalTarget = capitalTarget;
    if (pair->Context > 0 && static_cast<std::size_t>(pair->Context) <= compiled_->contexts.size())
      step.context = &compiled_->contexts[static_cast<std::size_t>(pair->Context) - 1];
    // "Sch" also matches "SCH" in a word in capitals: a source whose first
    // letter with case is a capital and which has small letters.
    const auto firstCased = std::find_if(source.begin(), source.end(), [&](char32_t c) {
      const CharKind k = kind(c);
      return k == CharKind::Capital || k == CharKind::Small;
    });
    const bool anySmall =
        std::any_of(source.begin(), source.end(), [&](char32_t c) { return kind(c) == CharKind::Small; });
    if (firstCased != source.end() && kind(*firstCased) == CharKind::Capital && anySmall)
      step.capitalSource = upper(source);
    steps.push_back(std::move(step));
  }
}

ContextLineConverter::~ContextLineConverter() = default;

void ContextLineConverter::Grow(std::size_t characters) const {
  if (characters > resultLimit_) throw std::bad_alloc();
}

void ContextLineConverter::Decode(std::string_view line) {
  line_.assign(1, blank_);
  if (unicode_) {
    std::u32string decoded;
    DecodeUtf8(line, decoded);
    line_ += decoded;
  } else {
    for (char c : line) line_ += static_cast<char32_t>(static_cast<unsigned char>(c));
  }
  if (blank_ != U' ') std::replace(line_.begin(), line_.end(), U' ', blank_);
  kinds_.resize(line_.size());
  for (std::size_t i = 0; i < line_.size(); ++i)
    kinds_[i] = unicode_ ? UnicodeKind(line_[i]) : Cp1251Kind(static_cast<unsigned char>(line_[i]));
  words_.Analyse(kinds_);
  text_ = line_;
  from_.resize(line_.size());
  to_.resize(line_.size());
  for (std::size_t i = 0; i < line_.size(); ++i) {
    from_[i] = static_cast<std::uint32_t>(i);
    to_[i] = static_cast<std::uint32_t>(i + 1);
  }
}

void ContextLineConverter::Survey() {
  present_.fill(false);
  for (char32_t c : text_) present_[c & kPresentMask] = true;
}

bool ContextLineConverter::ContextHolds(const PairContext& context, std::uint32_t a, std::uint32_t b) const {
  auto small = [&](char32_t c) { return unicode_ ? UnicodeToLower(c) : Cp1251ToLower(static_cast<unsigned char>(c)); };
  if (context.Left()) {
    const bool left = (context.start && words_.WordStartAt(a)) ||
                      (a > 0 && context.after.find(small(line_[a - 1])) != std::u32string::npos);
    if (!left) return false;
  }
  if (context.Right()) {
    const bool right = (context.end && words_.WordEndAt(b)) ||
                       (b < line_.size() && context.before.find(small(line_[b])) != std::u32string::npos);
    if (!right) return false;
  }
  return true;
}

void ContextLineConverter::ApplyMap(const Step& step) {
  bool touches = false;
  for (std::size_t h = 0; h <= kPresentMask && !touches; ++h) touches = step.sources[h] && present_[h];
  if (!touches) return;
  nextText_.clear();
  nextFrom_.clear();
  nextTo_.clear();
  for (std::size_t i = 0; i < text_.size(); ++i) {
    const std::int32_t entry = step.Find(text_[i]);
    if (entry < 0) {
      nextText_ += text_[i];
      nextFrom_.push_back(from_[i]);
      nextTo_.push_back(to_[i]);
      continue;
    }
    const std::u32string& img =
        Capitals(from_[i], to_[i]) ? step.capitalImage[entry] : step.image[entry];
    nextText_ += img;
    nextFrom_.insert(nextFrom_.end(), img.size(), from_[i]);
    nextTo_.insert(nextTo_.end(), img.size(), to_[i]);
    if (img.size() > 1) Grow(nextText_.size());
  }
  std::swap(text_, nextText_);
  std::swap(from_, nextFrom_);
  std::swap(to_, nextTo_);
  Survey();
}

void ContextLineConverter::ApplyPair(const Step& step) {
  const std::u32string& source = step.source;
  const std::u32string& capital = step.capitalSource;
  if (!MayOccur(source[0]) && (capital.empty() || !MayOccur(capital[0]))) return;
  const std::size_t len = source.size(), n = text_.size();
  if (len > n) return;
  std::u32string_view text(text_);
  bool replaced = false;
  std::size_t copied = 0;  // text_ before this is in next*
  for (std::size_t i = 0; i + len <= n;) {
    const char32_t c = text[i];
    const bool literal = c == source[0] && text.compare(i, len, source) == 0;
    const bool inCapitals = !literal && !capital.empty() && c == capital[0] && text.compare(i, len, capital) == 0;
    if (!literal && !inCapitals) {
      ++i;
      continue;
    }
    const std::uint32_t a = from_[i], b = to_[i + len - 1];
    const bool capitals = Capitals(a, b);
    if ((inCapitals && !capitals) || (step.context && !ContextHolds(*step.context, a, b))) {
      ++i;
      continue;
    }
    if (!replaced) {
      nextText_.clear();
      nextFrom_.clear();
      nextTo_.clear();
      replaced = true;
    }
    nextText_.append(text, copied, i - copied);
    nextFrom_.insert(nextFrom_.end(), from_.begin() + static_cast<std::ptrdiff_t>(copied),
                     from_.begin() + static_cast<std::ptrdiff_t>(i));
    nextTo_.insert(nextTo_.end(), to_.begin() + static_cast<std::ptrdiff_t>(copied),
                   to_.begin() + static_cast<std::ptrdiff_t>(i));
    const std::u32string& target = capitals ? step.capitalTarget : step.target;
    nextText_ += target;
    nextFrom_.insert(nextFrom_.end(), target.size(), a);
    nextTo_.insert(nextTo_.end(), target.size(), b);
    if (target.size() > len) Grow(nextText_.size() + (n - i - len));
    for (char32_t t : target) present_[t & kPresentMask] = true;
    i += len;
    copied = i;
  }
  if (!replaced) return;
  nextText_.append(text, copied, n - copied);
  nextFrom_.insert(nextFrom_.end(), from_.begin() + static_cast<std::ptrdiff_t>(copied), from_.end());
  nextTo_.insert(nextTo_.end(), to_.begin() + static_cast<std::ptrdiff_t>(copied), to_.end());
  std::swap(text_, nextText_);
  std::swap(from_, nextFrom_);
  std::swap(to_, nextTo_);
}

void ContextLineConverter::ConvertTo(std::string_view line, std::string& out) {
  Decode(line);
  Survey();
  for (const Step& step : compiled_->steps) {
    if (step.isMap) ApplyMap(step);
    else ApplyPair(step);
  }
  // The blank put before the line goes again, whatever it became.
  std::u32string_view result(text_);
  if (!result.empty()) result.remove_prefix(1);
  if (unicode_) {
    for (char32_t c : result) AppendUtf8(out, c);
  } else {
    for (char32_t c : result) out += static_cast<char>(static_cast<unsigned char>(c));
  }
}

std::string ContextLineConverter::Convert(std::string_view line) {
  std::string out;
  ConvertTo(line, out);
  return out;
}

}  // namespace velmar
