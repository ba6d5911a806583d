// The stroke font as the output drivers see it: for each character code 32..129 the glyph program
// of shape codes (vectors, pen up and down, displacements) that turns a label into pen strokes,
// and the font's height unit. The SHP font loader (shpin) fills the table once at start-up; the
// drivers only read it, through this interface, so they work with any loaded font or none.
//
// State: none here; an implementation owns its glyph table for the whole program run.
#ifndef PLOTVUE_OUTPUT_STROKEFONT_H_
#define PLOTVUE_OUTPUT_STROKEFONT_H_

#include <cstdint>
#include <span>

namespace plotvue {

// Character codes that have glyph records.
inline constexpr int kStrokeFontFirstCode = 32;
inline constexpr int kStrokeFontLastCode = 129;

class StrokeFont {
 public:
  virtual ~StrokeFont() = default;

  // The definition bytes of character `code` in file order, normally ending with its 0 byte.
  // The driver stops at the first 0 byte or at the end of the span, whichever comes first; a
  // code without a record gives an empty span. Bytes of displacements are two's complement.
  // REQUIRES: the span stays valid while the font object lives.
  virtual std::span<const std::uint8_t> Glyph(int code) const = 0;

  // The height of capital letters in vector units (the font header's "above" value), the
  // divisor of the stroke scale. The driver treats values below 1 as 1.
  virtual int Above() const = 0;
};

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_STROKEFONT_H_
