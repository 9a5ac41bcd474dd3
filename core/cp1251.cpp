#include "cp1251.h"

#include <array>

namespace velmar {
namespace {

// Code points of 0x80..0xFF.
constexpr std::array<char16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFF, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

struct LowerTable {
  std::array<unsigned char, 256> map{};
  constexpr LowerTable() {
    for (int i = 0; i < 256; ++i) map[i] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c) map[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDF; ++c) map[c] = static_cast<unsigned char>(c + 32);
    // Capitals outside the two blocks, each with its small letter.
    constexpr unsigned char pairs[][2] = {
        {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
        {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
        {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};
    for (const auto& p : pairs) map[p[0]] = p[1];
  }
};
constexpr LowerTable kLower;

struct UpperTable {
  std::array<unsigned char, 256> map{};
  constexpr UpperTable() {
    for (int i = 0; i < 256; ++i) map[i] = static_cast<unsigned char>(i);
    for (int i = 0; i < 256; ++i)
      if (kLower.map[i] != i) map[kLower.map[i]] = static_cast<unsigned char>(i);
  }
};
constexpr UpperTable kUpper;

}  // namespace

unsigned char Cp1251ToLower(unsigned char c) { return kLower.map[c]; }

unsigned char Cp1251ToUpper(unsigned char c) { return kUpper.map[c]; }

std::string Cp1251ToLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(kLower.map[static_cast<unsigned char>(c)]);
  return out;
}

char32_t Cp1251ToUnicode(unsigned char c) {
  if (c < 0x80) return c;
  if (c >= 0xC0) return 0x0410 + (c - 0xC0);
  return kHigh[c - 0x80];
}

int UnicodeToCp1251(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(cp - 0x0410 + 0xC0);
  for (int i = 0; i < 64; ++i) {
    if (kHigh[i] == cp && cp != 0xFFFF) return 0x80 + i;
  }
  return -1;
}

}  // namespace velmar
