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
#include <vector>

namespace velmar {

class Utf8MapConverter {
 public:
  // images[b]: what the Windows-1251 byte b becomes (in Windows-1251).
  Utf8MapConverter(const std::array<std::string, 256>& images, std::string_view eol);
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
  static constexpr std::uint8_t kLong = 0xFD, kBreak = 0xFE, kOther = 0xFF;
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

  std::array<Entry, 128> ascii_{};
  std::array<Entry, 2048> twoByte_{};      // sequences C2 80 .. DF BF by their code point
  std::array<std::string, 256> byImage_;   // every byte's conversion in UTF-8, for the rare paths
  std::vector<std::string> long_;          // conversions longer than eight bytes
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
