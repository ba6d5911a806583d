#include "input/sinks.h"

namespace plotvue {

int TurboColor(int pen) {
  static constexpr int kColours[8] = {0, 12, 14, 10, 11, 9, 13, 15};
  return (pen >= 1 && pen <= 7) ? kColours[pen] : pen;
}

namespace {

// HP Roman-8 0xA0..0xFF to code page 437.
constexpr unsigned char kRoman8ToCp437[96] = {
    0xFF, 'A',  'A',  'E',  'E',  'E',  'I',  'I',  '\'', '`',  '^',  '"',  '~',  'U',  'U',  0x9C,
    '-',  'Y',  'y',  0xF8, 0x80, 0x87, 0xA5, 0xA4, 0xAD, 0xA8, '*',  0x9C, 0x9D, 'S',  0x9F, 0x9B,
    0x83, 0x88, 0x93, 0x96, 0xA0, 0x82, 0xA2, 0xA3, 0x85, 0x8A, 0x95, 0x97, 0x84, 0x89, 0x94, 0x81,
    0x8F, 0x8C, 'O',  0x92, 0x86, 0xA1, 'o',  0x91, 0x8E, 0x8D, 0x99, 0x9A, 0x90, 0x8B, 0xE1, 'O',
    'A',  'A',  'a',  'D',  'd',  'I',  'I',  'O',  'O',  'O',  'o',  'S',  's',  'U',  'Y',  0x98,
    'P',  'p',  0xFA, 0xE6, 'P',  '?',  '-',  0xAC, 0xAB, 0xA6, 0xA7, 0xAE, 0xFE, 0xAF, 0xF1, ' ',
};

}  // namespace

std::string DisplayLabel(const std::string& text, int symbolSet) {
  if (symbolSet != kSymbolSetRoman8) return text;
  std::string out = text;
  for (char& c : out) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0xA0) c = static_cast<char>(kRoman8ToCp437[b - 0xA0]);
  }
  return out;
}

}  // namespace plotvue
