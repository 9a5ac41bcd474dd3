#pragma once
// The fast conversion engine. It gives exactly the bytes of ConvertLine's
// pair-by-pair algorithm, but compiles the table once:
//  - runs of consecutive one-byte pairs become one byte-to-string map (while
//    the composed images stay short),
//  - a pair is skipped when a byte of its source does not occur in the text,
//  - many lines are converted in one buffer, separated by a line feed, when
//    no pair can see or make a line feed (matches then never cross lines).
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "converter_calls.h"
#include "engine_buffers.h"
#include "tables.h"

namespace velmar {

class LineConverter : public LineConverterCalls<LineConverter> {
 public:
  LineConverter(const TTransTable& table, bool underscore, bool hyphen);

  // When the table is one map of bytes (every pair's source is one byte) that
  // leaves the blank before a line alone, a line's conversion is the image of
  // each of its bytes in turn: these images, the blank option applied to ' '.
  // Nothing for any other table.
  std::optional<std::array<std::string, 256>> ByteImages() const;

  // Lines are gathered into buffers of about this many bytes.
  void SetBlockSize(std::size_t bytes) { blockSize_ = bytes; }

  // The most bytes the conversion of one line (or block of lines) may grow
  // to. A conversion that would make more throws std::bad_alloc, as the
  // pair-by-pair algorithm would run out of memory on it; the converter stays
  // usable.
  static constexpr std::size_t kDefaultResultLimit = std::size_t{1} << 30;
  void SetResultLimit(std::size_t bytes) { resultLimit_ = bytes; }

 private:
  friend class LineConverterCalls<LineConverter>;
  using ByteSet = std::array<bool, 256>;

  struct Step {
    bool isMap = false;
    // A pair of two or more bytes.
    std::string source;
    std::string target;
    // A composed run of one-byte pairs: image of every byte.
    std::array<std::string, 256> image;
    std::array<bool, 256> changes{};  // bytes whose image is not the byte itself
    // Images of up to 8 bytes packed for a branch-free copy.
    std::array<std::uint64_t, 256> packed{};
    std::array<std::uint8_t, 256> packedLength{};
    bool allPacked = true;
    std::size_t longestImage = 1;
  };

  // A run of one-byte pairs is composed into one map while no image grows
  // longer than this (or than the longest target already in the map).
  static constexpr std::size_t kLongestComposedImage = 64;

  void CheckResultSize(std::size_t bytes) const;
  void ApplyMap(const Step& step);
  bool ApplyPair(const Step& step);
  void SurveyBytes();
  void SurveyPairs();

  void Compile(const TTransTable& table);
  void AddSingleBytePair(const TCharTable& pair);
  // Converts buf_ in place; buf_ holds lines each starting with a blank.
  void Run();
  template <typename Emit>
  void ConvertBlocks(std::span<const std::string_view> lines, Emit emit);

  std::vector<Step> steps_;
  unsigned char blank_ = ' ';
  bool batchLines_ = true;
  std::size_t blockSize_ = 4096;
  std::size_t resultLimit_ = kDefaultResultLimit;
  std::string buf_, next_;
  ByteSet present_{};
  BytePairs pairs_;
  // present_ and pairs_ describe buf_ (a superset of it)
  bool bytesSurveyed_ = false, pairsSurveyed_ = false;
};

extern template class LineConverterCalls<LineConverter>;

// Streaming CompressText: feed the text in pieces, in order.
struct CompressState {
  bool anyWord = false;
  bool pendingSeparator = false;
};
void CompressAppend(CompressState& state, std::string_view piece, std::string& out);

}  // namespace velmar
