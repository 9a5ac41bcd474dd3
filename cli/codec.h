#pragma once
// Text at the edge of the command-line tool: UTF-8 on the outside,
// Windows-1251 inside, and nothing of the user's text lost on the way.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmar {

// Decodes UTF-8 into Windows-1251. A character the code page cannot hold
// becomes the stand-in byte 0x98 and its UTF-8 bytes are appended to *stash,
// in order (stash may be null). Returns the byte offset of the first
// malformed sequence, or nothing.
std::optional<std::size_t> Utf8ToCp1251(std::string_view utf8, std::string& out,
                                        std::vector<std::string>* stash);

// Streaming form: keeps an incomplete sequence at the end of a piece for the
// next one and counts offsets across pieces.
class Utf8Decoder {
 public:
  // False on malformed input; ErrorOffset() then tells where.
  bool Feed(std::string_view piece, std::string& out, std::vector<std::string>* stash);
  // False when the input ended inside a sequence.
  bool Finish();
  std::size_t ErrorOffset() const { return errorOffset_; }

 private:
  std::string carry_;
  std::size_t consumed_ = 0;
  std::size_t errorOffset_ = 0;
};

// Appends Windows-1251 bytes as UTF-8; each stand-in byte takes the next
// stashed sequence (from *next on), or U+FFFD when none is left.
void AppendCp1251AsUtf8(std::string_view text, std::string& out, const std::vector<std::string>* stash,
                        std::size_t* next);

}  // namespace velmar
