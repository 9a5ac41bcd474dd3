#pragma once
// UTF-8, the encoding of text outside the program (the command-line tool's
// files and terminal, the program's own literals), and its crossing into and
// out of Windows-1251, the encoding every text is kept in inside.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmar {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// ---- Code points ----

// Decodes the sequence at the start of `bytes` into *cp. Returns its length
// (1 to 4); 0 when it is malformed (a stray continuation byte, a lead byte
// UTF-8 never uses, an overlong form, a surrogate, a value above U+10FFFF);
// -1 when `bytes` ends inside a sequence that is well-formed so far (also
// for an empty `bytes`).
int DecodeUtf8Sequence(std::string_view bytes, char32_t& cp);

// Appends the code points of `utf8` to `out`. Returns the byte offset of the
// first malformed or incomplete sequence (`out` then holds the code points
// before it), or nothing when the whole text is well-formed.
std::optional<std::size_t> DecodeUtf8(std::string_view utf8, std::u32string& out);

// Appends the encoding of `cp`; a surrogate or a value above U+10FFFF is
// written as U+FFFD.
void AppendUtf8(std::string& out, char32_t cp);
std::string EncodeUtf8(std::u32string_view codePoints);

// ---- Windows-1251 ----

// Decodes UTF-8 into Windows-1251. A character the code page cannot hold
// becomes the stand-in byte 0x98 and its UTF-8 bytes are appended to *stash,
// in order (stash may be null). Returns the byte offset of the first
// malformed or incomplete sequence (`out` then holds the text before it), or
// nothing.
std::optional<std::size_t> Utf8ToCp1251(std::string_view utf8, std::string& out,
                                        std::vector<std::string>* stash);

// The streaming form of Utf8ToCp1251: a sequence cut at the end of a piece is
// completed by the next one, and offsets count across pieces.
class Utf8ToCp1251Decoder {
 public:
  // False on malformed input; ErrorOffset() then tells where.
  bool Feed(std::string_view piece, std::string& out, std::vector<std::string>* stash);
  // False when the input ended inside a sequence.
  bool Finish();
  std::size_t ErrorOffset() const { return errorOffset_; }

 private:
  std::string carry_;          // an incomplete sequence from the end of the last piece
  std::size_t consumed_ = 0;   // bytes fed so far, carry_ included
  std::size_t errorOffset_ = 0;
};

// Appends Windows-1251 bytes as UTF-8; each stand-in byte 0x98 takes the next
// stashed sequence (from *next on), or U+FFFD when none is left (or stash is
// null).
void AppendCp1251AsUtf8(std::string_view text, std::string& out, const std::vector<std::string>* stash,
                        std::size_t* next);

// Windows-1251 bytes to UTF-8, every byte for itself: the stand-in byte 0x98
// becomes U+0098's encoding, for callers that restore stand-ins before.
std::string Cp1251ToUtf8(std::string_view text);

// A UTF-8 literal of the program's own texts in Windows-1251. Every character
// of those literals exists in the code page: malformed UTF-8 or a character
// outside it is a programming error and throws std::logic_error.
std::string Cp1251FromUtf8Literal(std::string_view utf8);

}  // namespace velmar
