#pragma once
// The ways every line converter is called, written once. A converter derives
// from LineConverterCalls<itself> and has a template
// ConvertBlocks(lines, emit) that hands the conversion of every line, in
// order, to emit (the view lives until emit returns). Its .cpp, where
// ConvertBlocks is defined, instantiates the calls explicitly
// (`template class LineConverterCalls<X>;`), its header declares that
// (`extern template class LineConverterCalls<X>;`).
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmar {

template <typename Converter>
class LineConverterCalls {
 public:
  std::string Convert(std::string_view line);
  // Converts the lines in order; results[i] is the conversion of lines[i]
  // (appended to results).
  void ConvertLines(std::span<const std::string_view> lines, std::vector<std::string>& results);
  // Appends the conversion of every line followed by eol.
  void ConvertLinesTo(std::span<const std::string_view> lines, std::string_view eol, std::string& out);
  // Hands the conversion of every line, in order, to emit; the view lives
  // until emit returns.
  void ConvertLinesWith(std::span<const std::string_view> lines, const std::function<void(std::string_view)>& emit);

 private:
  Converter& Self() { return static_cast<Converter&>(*this); }
};

// Not inline: only the converter's own .cpp makes them.
template <typename Converter>
std::string LineConverterCalls<Converter>::Convert(std::string_view line) {
  std::string result;
  Self().ConvertBlocks(std::span<const std::string_view>(&line, 1),
                       [&](std::string_view converted) { result.assign(converted); });
  return result;
}

template <typename Converter>
void LineConverterCalls<Converter>::ConvertLines(std::span<const std::string_view> lines,
                                                 std::vector<std::string>& results) {
  results.reserve(results.size() + lines.size());
  Self().ConvertBlocks(lines, [&](std::string_view converted) { results.emplace_back(converted); });
}

template <typename Converter>
void LineConverterCalls<Converter>::ConvertLinesTo(std::span<const std::string_view> lines, std::string_view eol,
                                                   std::string& out) {
  Self().ConvertBlocks(lines, [&](std::string_view converted) {
    out += converted;
    out += eol;
  });
}

template <typename Converter>
void LineConverterCalls<Converter>::ConvertLinesWith(std::span<const std::string_view> lines,
                                                     const std::function<void(std::string_view)>& emit) {
  Self().ConvertBlocks(lines, emit);
}

}  // namespace velmar
