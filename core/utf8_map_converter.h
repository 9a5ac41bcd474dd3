#pragma once
// The shortcut for the most common table: one whose every pair has a source
// of one letter, so that a line's conversion is the conversion of each of its
// characters in turn. UTF-8 text then goes straight to UTF-8 through one
// lookup per character, without gathering lines or passing through
// Windows-1251 on the way; the result is the same bytes the line-by-line
// path writes (characters Windows-1251 cannot hold pass unchanged, every line
// ends with the chosen line break).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <optional>
#include <vector>

#include "tables.h"

namespace velmar {

// What each Windows-1251 byte becomes (in Windows-1251) under a table of
// one-letter pairs: out of capitals, and in a word in capitals (the same when
// capitals are off).
struct ByteMaps {
  std::array<std::string, 256> images, capitalImages;
};
// Nothing when the table is no such table: a longer source, a context, a
// chain of pairs whose images grow long, a pair that eats the blank before a line.
std::optional<ByteMaps> OneLetterMaps(const TTransTable& table, bool underscore, bool hyphen, bool capitalWords);

class Utf8MapConverter {
 public:
  // images[b]: what the Windows-1251 byte b becomes (in Windows-1251).
  Utf8MapConverter(const std::array<std::string, 256>& images, std::string_view eol);
  // With the images of a word in capitals: a character whose image there
  // differs looks at its word, which needs whole lines, so the unfinished
  // last line waits for the next piece.
  Utf8MapConverter(const ByteMaps& maps, std::string_view eol);
  Utf8MapConverter(Utf8MapConverter&&) noexcept;
  ~Utf8MapConverter();

  // A long piece is converted in two parts at once, on two cores, when the
  // machine has them (on by default).
  void SetSplitting(bool on) { splitting_ = on; }

  // Converts the next piece of the text; pieces may cut a character or a
  // CR LF anywhere. Returns the converted complete lines so far, valid until
  // the next call; the unfinished last line is held back. False and nothing
  // written for a malformed sequence: ErrorOffset() tells where, counted
  // from the start of the current input.
  bool Feed(std::string_view piece, std::string_view& complete);
  // The end of one input: false when it ended inside a character.
  bool EndInput();
  // The end of the text: the last line, with its line break, when the text
  // did not end with one.
  std::string_view Finish();

  std::size_t ErrorOffset() const { return errorOffset_; }

 private:
  // A character's conversion packed for a copy of eight bytes; kLong: longer,
  // in long_ at the index `packed` holds; kBreak: CR or LF; kOther: not a character the table sees.
  // kCapitals: its image in a word in capitals differs, in capitals_ at `packed`.
  static constexpr std::uint8_t kCapitals = 0xFC, kLong = 0xFD, kBreak = 0xFE, kOther = 0xFF;
  struct Entry {
    std::uint64_t packed = 0;
    std::uint8_t length = kOther;
  };

  class Worker;
  struct TablesOnly {};
  Utf8MapConverter(const Utf8MapConverter& other, TablesOnly);

  void Set(Entry& entry, std::string_view utf8);
  // Where a long piece is cut for two lines of work; 0: not cut.
  std::size_t SplitPoint(std::string_view piece);
  // Feed without handing anything out.
  bool FeedPart(std::string_view piece);
  // Converts piece[from, to) at out (room made by the caller) and returns
  // where it stopped: `to`, past it for a CR LF it cuts, or before a
  // character that is cut or malformed.
  std::size_t Convert(std::string_view piece, std::size_t from, std::size_t to, char*& out);
  // The image of the character piece[i, i + n) that has two.
  std::string_view CapitalsImage(std::string_view piece, std::size_t i, std::size_t n, std::size_t index) const;
  // Feed in whole lines: what ends with the last line feed goes on, the rest waits.
  bool FeedLines(std::string_view piece, std::string_view& complete);
  bool FeedSplit(std::string_view piece);

  std::array<Entry, 128> ascii_{};
  std::array<Entry, 2048> twoByte_{};      // sequences C2 80 .. DF BF by their code point
  std::array<std::string, 256> byImage_;   // every byte's conversion in UTF-8, for the rare paths
  std::vector<std::string> long_;          // conversions longer than eight bytes
  struct TwoImages {
    std::string normal, capitals;  // UTF-8
  };
  std::vector<TwoImages> capitals_;        // characters whose image in capitals differs
  bool capitalWords_ = false;
  std::array<std::int32_t, 256> byteCapitals_{};  // index into capitals_ by Windows-1251 byte, or -1
  std::string waiting_;                    // caps mode: input after the last line feed
  std::size_t checked_ = 0;                // how much of waiting_ is known to be whole characters
  std::size_t mostPerByte_ = 1;            // the longest conversion of one input byte
  std::string eol_;

  std::string text_;          // converted text: complete lines, then the unfinished one
  std::size_t complete_ = 0;  // how much of text_ the last Feed handed out
  std::string carry_;         // a character cut at the end of the last piece
  std::size_t lineEnd_ = 0;   // where in text_ the last complete line ends
  bool lineOpen_ = false;     // a line has begun and not yet ended
  bool skipLineFeed_ = false; // the last piece ended with CR
  std::size_t consumed_ = 0;  // bytes of the current input before this piece
  std::size_t errorOffset_ = 0;

  bool splitting_ = std::thread::hardware_concurrency() > 1;
  std::unique_ptr<Utf8MapConverter> second_;  // the second line of work, made when first needed
  std::unique_ptr<Worker> worker_;
};

}  // namespace velmar
