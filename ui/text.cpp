#include "text.h"

#include <windows.h>

#include <array>

namespace ui {
namespace {

constexpr UINT kCodePage = 1251;
constexpr char kStandIn = static_cast<char>(0x98);

// UTF-16 unit to byte for every character the code page holds; 0 for the rest
// (the NUL character is handled by the caller).
const std::array<unsigned char, 65536>& ByteOfUnit() {
  static const std::array<unsigned char, 65536> table = [] {
    std::array<unsigned char, 65536> t{};
    for (int b = 1; b < 256; ++b) {
      if (b == 0x98) continue;
      const char byte = static_cast<char>(b);
      wchar_t unit = 0;
      if (MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, &byte, 1, &unit, 1) == 1)
        t[static_cast<unsigned short>(unit)] = static_cast<unsigned char>(b);
    }
    return t;
  }();
  return table;
}

// The careful way, character by character: every character the code page does
// not hold exactly (no best-fit look-alikes) becomes a stand-in.
std::string ToCp1251Slow(std::wstring_view text, std::vector<std::wstring>* standIns) {
  const auto& table = ByteOfUnit();
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t unit = text[i];
    const unsigned char byte = table[static_cast<unsigned short>(unit)];
    if (unit == 0 || byte != 0) {
      out += static_cast<char>(byte);
      continue;
    }
    std::size_t length = 1;
    if (IS_HIGH_SURROGATE(unit) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1])) length = 2;
    if (standIns) standIns->emplace_back(text.substr(i, length));
    out += kStandIn;
    i += length - 1;
  }
  return out;
}

}  // namespace

std::string ToCp1251(std::wstring_view text, std::vector<std::wstring>* standIns) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  std::string out(text.size(), '\0');
  BOOL usedDefault = FALSE;
  const int written = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(), length, out.data(),
                                          length, &kStandIn, &usedDefault);
  if (written == length && !usedDefault && out.find(kStandIn) == std::string::npos) return out;
  return ToCp1251Slow(text, standIns);
}

std::wstring FromCp1251(std::string_view text, std::span<const std::wstring> standIns) {
  std::wstring out;
  out.reserve(text.size());
  std::size_t next = 0;
  while (true) {
    const std::size_t stop = text.find(kStandIn);
    const std::string_view piece = text.substr(0, stop);
    if (!piece.empty()) {
      const std::size_t at = out.size();
      out.resize(at + piece.size());
      MultiByteToWideChar(kCodePage, 0, piece.data(), static_cast<int>(piece.size()), out.data() + at,
                          static_cast<int>(piece.size()));
    }
    if (stop == std::string_view::npos) break;
    if (next < standIns.size())
      out += standIns[next++];
    else
      out += L'\uFFFD';
    text.remove_prefix(stop + 1);
  }
  return out;
}

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring UserDecimalSeparator() {
  wchar_t separator[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 1) return L".";
  return separator;
}

}  // namespace ui
