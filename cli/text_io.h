#pragma once
// Reading and writing the text of the subcommands: inputs read in blocks and
// decoded into lines of Windows-1251, output encoded and written to standard
// output or into a file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "text_lines.h"
#include "utf8.h"

namespace velmar {

// The inputs named on a command line ("-" or none: standard input) as one
// text of lines, each input beginning a new line. `in` is in binary mode.
class TextInput {
 public:
  struct Options {
    Encoding encoding = Encoding::kUtf8;
    bool skipByteOrderMark = false;  // a UTF-8 byte order mark at the start of an input
    // Each input begins a line of its own; otherwise the inputs are one text,
    // as if joined.
    bool inputsBeginLines = false;
    // Where characters Windows-1251 cannot hold are kept, as UTF-8, in text
    // order; each stands in the lines as the byte 0x98. Null: not kept.
    std::vector<std::string>* stash = nullptr;
    // The lines in UTF-8 (for a Unicode table): UTF-8 input is checked and
    // handed over as it stands, Windows-1251 input is widened to UTF-8.
    bool utf8Lines = false;
    // Bytes read at a time; 0: the usual 64 KiB.
    std::size_t blockSize = 0;
  };
  using OnLines = std::function<void(std::span<const std::string_view>)>;

  TextInput(std::vector<std::string> names, std::FILE* in, Options options);
  // Reads everything, calling onLines with the lines in order. Throws Failure
  // when an input cannot be read or is not valid UTF-8.
  void Read(const OnLines& onLines);

  // Reads every input in blocks as they stand, for a caller that decodes
  // and splits the text itself: onBlock(block, input's name) for each block,
  // onEnd(input's name) after each input. Throws Failure when an input
  // cannot be read.
  using OnBlock = std::function<void(std::string_view, const std::string&)>;
  using OnInputEnd = std::function<void(const std::string&)>;
  void ReadBlocks(const OnBlock& onBlock, const OnInputEnd& onEnd);

 private:
  void ReadOne(const std::string& name, const OnLines& onLines);
  // Hands the blocks of one input to onBlock, a skipped byte order mark
  // counted in offset_.
  void ForEachBlock(const std::string& name, const std::function<void(std::string_view)>& onBlock);
  void Feed(std::string_view block, const std::string& shown, const OnLines& onLines);

  std::vector<std::string> names_;
  std::FILE* in_;
  Options options_;
  LineSplitter splitter_;
  Utf8ToCp1251Decoder decoder_;
  std::size_t offset_ = 0;  // bytes skipped at the start of the current input (a byte order mark)
  std::string decoded_;
};

// Where a subcommand writes: standard output, or a file that is only changed
// when the whole run succeeded. A symbolic link is followed to its file; a
// file that is no regular file (a device, a FIFO) is written directly; a
// regular file keeps its permissions and its hard links.
class Output {
 public:
  Output(std::FILE* out, const std::optional<std::filesystem::path>& file, Encoding encoding);
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Writes Windows-1251 text in the output's encoding; in UTF-8 a stand-in
  // byte takes the next of *stash from *next on (U+FFFD when there is none).
  void WriteText(std::string_view cp1251, const std::vector<std::string>* stash = nullptr,
                 std::size_t* next = nullptr);
  // Writes bytes as they are.
  void WriteBytes(std::string_view bytes);
  // Everything written: flushes, and puts a file in place.
  void Commit();

 private:
  void Flush();
  void WriteRaw(std::string_view bytes);
  // Puts the text of temp_ into the file itself (a file with other names),
  // its old text kept whole when the disk has no room for the new one.
  void OverwriteKeepingOldText() const;
  std::string Name() const;

  std::FILE* out_;
  Encoding encoding_;
  std::string buffer_;
  std::optional<std::filesystem::path> target_;  // the file, symbolic links followed
  std::filesystem::path temp_;                   // empty when writing directly
  std::ofstream file_;
  bool keepLinks_ = false;
  std::optional<std::filesystem::perms> perms_;
  bool committed_ = false;
};

}  // namespace velmar
