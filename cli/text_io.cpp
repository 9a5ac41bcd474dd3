#include "text_io.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <system_error>

#include "cli.h"

namespace velmar {
namespace {

constexpr std::size_t kBlock = 1 << 16;

std::string ShownName(const std::string& name) { return name == "-" ? "standard input" : name; }

// The file a path names, symbolic links followed (also one whose file does
// not exist yet, which writing then creates).
std::filesystem::path FollowLinks(std::filesystem::path path) {
  std::error_code ec;
  for (int hops = 0; hops < 40 && std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec)); ++hops) {
    const std::filesystem::path link = std::filesystem::read_symlink(path, ec);
    if (ec) break;
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  return path;
}

}  // namespace

void Output::OverwriteKeepingOldText() const {
  namespace fs = std::filesystem;
  std::error_code ec;
  const std::uintmax_t oldSize = fs::file_size(*target_, ec);
  if (ec) throw Failure{"cannot write " + Name() + ": " + ec.message()};
  const std::uintmax_t newSize = fs::file_size(temp_, ec);
  if (ec) throw Failure{"cannot write " + Name() + ": " + ec.message()};
  std::ifstream in(temp_, std::ios::binary);
  if (!in) throw Failure{"cannot write " + Name()};
  std::unique_ptr<char[]> buffer(new char[kBlock]);
  const auto copy = [&](std::ostream& out, std::uintmax_t bytes) {
    while (bytes > 0 && in && out) {
      const auto n = static_cast<std::streamsize>(std::min<std::uintmax_t>(bytes, kBlock));
      in.read(buffer.get(), n);
      out.write(buffer.get(), in.gcount());
      bytes -= static_cast<std::uintmax_t>(in.gcount());
      if (in.gcount() == 0) break;
    }
    out.flush();
    return bytes == 0 && !in.bad() && out.good();
  };

  if (newSize > oldSize) {
    // The room for a longer text is taken first, at the file's end, with the
    // new text's tail (which belongs there): on a full disk the file is cut
    // back to its old size and keeps its old text whole.
    std::ofstream grow(*target_, std::ios::binary | std::ios::app);
    in.seekg(static_cast<std::streamoff>(oldSize));
    bool grown = grow && copy(grow, newSize - oldSize);
    const int error = errno;
    grow.close();
    grown = grown && !grow.fail();
    if (!grown) {
      fs::resize_file(*target_, oldSize, ec);
      throw Failure{"cannot write " + Name() + ": " + std::generic_category().message(error) +
                    " (the file keeps its old text)"};
    }
  }
  // The space is there: the text before the tail goes over the old one.
  std::fstream out(*target_, std::ios::binary | std::ios::in | std::ios::out);
  in.clear();
  in.seekg(0);
  bool written = out && copy(out, std::min(oldSize, newSize));
  out.close();
  if (!written || out.fail()) throw Failure{"cannot write " + Name()};
  if (newSize < oldSize) {
    fs::resize_file(*target_, newSize, ec);
    if (ec) throw Failure{"cannot write " + Name() + ": " + ec.message()};
  }
}

TextInput::TextInput(std::vector<std::string> names, std::FILE* in, Options options)
    : names_(std::move(names)), in_(in), options_(options) {
  if (names_.empty()) names_.push_back("-");
}

void TextInput::Read(const OnLines& onLines) {
  for (const std::string& name : names_) ReadOne(name, onLines);
  splitter_.Finish(onLines);
}

void TextInput::ReadBlocks(const OnBlock& onBlock, const OnInputEnd& onEnd) {
  for (const std::string& name : names_) {
    const std::string shown = ShownName(name);
    ForEachBlock(name, [&](std::string_view block) { onBlock(block, shown); });
    onEnd(shown);
  }
}

void TextInput::ReadOne(const std::string& name, const OnLines& onLines) {
  const std::string shown = ShownName(name);
  decoder_ = Utf8ToCp1251Decoder();
  ForEachBlock(name, [&](std::string_view block) { Feed(block, shown, onLines); });
  if (options_.encoding == Encoding::kUtf8 && !decoder_.Finish())
    throw Failure{MalformedUtf8Message(shown, offset_ + decoder_.ErrorOffset(), true)};
  if (options_.inputsBeginLines) splitter_.Finish(onLines);
}

void TextInput::ForEachBlock(const std::string& name, const std::function<void(std::string_view)>& onBlock) {
  offset_ = 0;
  const std::size_t block = options_.blockSize ? options_.blockSize : kBlock;
  std::unique_ptr<char[]> buffer(new char[block]);
  // A byte order mark is looked for in the first bytes, however they come.
  std::string head;
  bool headDone = !(options_.encoding == Encoding::kUtf8 && options_.skipByteOrderMark);
  auto feed = [&](std::string_view block) {
    if (!headDone) {
      head.append(block);
      if (head.size() < kUtf8ByteOrderMark.size() && kUtf8ByteOrderMark.substr(0, head.size()) == head) return;
      headDone = true;
      std::string_view rest(head);
      if (rest.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
        rest.remove_prefix(kUtf8ByteOrderMark.size());
        offset_ = kUtf8ByteOrderMark.size();
      }
      onBlock(rest);
      head.clear();
      return;
    }
    onBlock(block);
  };

  if (name == "-") {
    std::size_t n;
    while ((n = std::fread(buffer.get(), 1, block, in_)) > 0) feed(std::string_view(buffer.get(), n));
    if (std::ferror(in_)) throw Failure{"cannot read standard input"};
  } else {
    const std::filesystem::path path = PathFromUtf8(name);
    std::error_code ec;
    std::ifstream file(path, std::ios::binary);
    if (!file || std::filesystem::is_directory(path, ec)) throw Failure{"cannot read " + name};
    while (file) {
      file.read(buffer.get(), static_cast<std::streamsize>(block));
      const auto n = static_cast<std::size_t>(file.gcount());
      if (n > 0) feed(std::string_view(buffer.get(), n));
    }
    if (file.bad()) throw Failure{"cannot read " + name};
  }
  if (!headDone) onBlock(head);  // an input shorter than a byte order mark
}

void TextInput::Feed(std::string_view block, const std::string& shown, const OnLines& onLines) {
  if (options_.utf8Lines) {
    if (options_.encoding == Encoding::kCp1251) return splitter_.Feed(Cp1251ToUtf8(block), onLines);
    // Checked by the decoder; a character cut at the block's end waits in the
    // splitter's unfinished line for the rest of its bytes.
    decoded_.clear();
    if (!decoder_.Feed(block, decoded_, nullptr))
      throw Failure{MalformedUtf8Message(shown, offset_ + decoder_.ErrorOffset(), false)};
    splitter_.Feed(block, onLines);
    return;
  }
  if (options_.encoding == Encoding::kCp1251) {
    splitter_.Feed(block, onLines);
    return;
  }
  decoded_.clear();
  if (!decoder_.Feed(block, decoded_, options_.stash))
    throw Failure{MalformedUtf8Message(shown, offset_ + decoder_.ErrorOffset(), false)};
  splitter_.Feed(decoded_, onLines);
}

Output::Output(std::FILE* out, const std::optional<std::filesystem::path>& file, Encoding encoding)
    : out_(out), encoding_(encoding) {
  if (!file) return;
  namespace fs = std::filesystem;
  std::error_code ec;
  target_ = FollowLinks(*file);
  const fs::file_status status = fs::status(*target_, ec);
  if (fs::is_directory(status)) throw Failure{"cannot write " + Name() + ": it is a folder"};
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    // A device or a FIFO: what is written goes straight to it.
    file_.open(*target_, std::ios::binary | std::ios::out);
    if (!file_) throw Failure{"cannot write " + Name()};
    return;
  }
  if (fs::exists(status)) {
    perms_ = status.permissions();
    keepLinks_ = fs::hard_link_count(*target_, ec) > 1 && !ec;
  }
  temp_ = *target_;
  temp_ += ".velmar-tmp";
  file_.open(temp_, std::ios::binary | std::ios::trunc);
  if (!file_) throw Failure{"cannot write " + Name()};
}

Output::~Output() {
  if (!temp_.empty() && !committed_) {
    file_.close();
    std::error_code ec;
    std::filesystem::remove(temp_, ec);
  }
}

std::string Output::Name() const { return target_ ? PathToUtf8(*target_) : "the output"; }

void Output::WriteText(std::string_view cp1251, const std::vector<std::string>* stash, std::size_t* next) {
  if (encoding_ == Encoding::kCp1251) {
    WriteBytes(cp1251);
    return;
  }
  // In pieces, so that a long line is never held twice in full.
  while (!cp1251.empty()) {
    const std::string_view piece = cp1251.substr(0, kBlock);
    AppendCp1251AsUtf8(piece, buffer_, stash, next);
    cp1251.remove_prefix(piece.size());
    if (buffer_.size() >= kBlock) Flush();
  }
}

void Output::WriteBytes(std::string_view bytes) {
  if (buffer_.size() + bytes.size() <= kBlock) {
    buffer_.append(bytes);
    return;
  }
  Flush();
  if (bytes.size() < kBlock) buffer_.append(bytes);
  else WriteRaw(bytes);  // a long piece goes out as it is
}

void Output::Flush() {
  WriteRaw(buffer_);
  buffer_.clear();
}

void Output::WriteRaw(std::string_view bytes) {
  if (bytes.empty()) return;
  if (target_) {
    file_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file_) throw Failure{"cannot write " + Name()};
  } else if (std::fwrite(bytes.data(), 1, bytes.size(), out_) != bytes.size()) {
    throw Failure{"cannot write the output"};
  }
}

void Output::Commit() {
  Flush();
  if (!target_) {
    if (std::fflush(out_) != 0) throw Failure{"cannot write the output"};
    return;
  }
  file_.close();
  if (!file_) throw Failure{"cannot write " + Name()};
  if (temp_.empty()) return;
  namespace fs = std::filesystem;
  std::error_code ec;
  if (keepLinks_) {
    // Other names of the file must see the new text: the text is copied into
    // the file itself instead of a new file taking its place.
    OverwriteKeepingOldText();
    fs::remove(temp_, ec);
    committed_ = true;
    return;
  }
#ifndef _WIN32
  if (perms_) fs::permissions(temp_, *perms_, ec);
#endif
  fs::rename(temp_, *target_, ec);
  if (ec) throw Failure{"cannot write " + Name() + ": " + ec.message()};
  committed_ = true;
}

}  // namespace velmar
