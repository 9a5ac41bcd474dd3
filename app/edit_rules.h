#pragma once
// The window-free rules of the editing commands and the mode menu: how an
// opened file's line breaks become the text boxes' CR LF, how the output
// options exclude each other and where help is looked for. No windows.h here.
#include <filesystem>
#include <string>
#include <string_view>

namespace velmar {

// The text of an opened file: the bytes up to the first NUL, with every lone
// CR, lone LF and CR LF turned into CR LF.
std::string NormaliseLineBreaks(std::string_view bytes);

// The output options of the mode menu.
struct OutputOptions {
  bool underscore = false;  // "_" instead of blanks
  bool hyphen = false;      // "-" instead of blanks
  bool compress = false;    // the result in one line
  bool capitalWords = true; // a word in capitals stays in capitals ([Velmar] CapitalWords)
  bool operator==(const OutputOptions&) const = default;
};
enum class OutputOption { Underscore, Hyphen, Compress, CapitalWords };

// Picking an item toggles it; either blank option, checked or unchecked,
// unchecks the other one, so at most one of them is ever on.
OutputOptions ToggleOutputOption(OutputOptions options, OutputOption picked);

// What the help command opens: "Help.chm" beside the program, else
// "ReadMe.txt" there, else the maker's web site.
enum class HelpSource { HelpFile, ReadMe, WebSite };
struct HelpTarget {
  HelpSource source = HelpSource::WebSite;
  std::filesystem::path file;  // empty for the web site
};
HelpTarget FindHelp(const std::filesystem::path& programFolder);

// A system message read without its inserts ("Bad EXE format for %1.") with
// every "%1" filled with `path`; other inserts stay as they are.
std::wstring FillPathInsert(std::wstring_view message, std::wstring_view path);

}  // namespace velmar
