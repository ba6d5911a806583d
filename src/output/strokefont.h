// The stroke font as the output drivers see it: for each character code 32..129 the glyph program
// of shape codes (vectors, pen up and down, displacements) that turns a label into pen strokes,
// and the font's height unit. The SHP font loader (shpin) fills the table once at start-up; the
// drivers only read it, through this interface, so they work with any loaded font or none.
//
// State: none here; an implementation owns its glyph table for the whole program run.
#ifndef PLOTVUE_OUTPUT_STROKEFONT_H_
#define PLOTVUE_OUTPUT_STROKEFONT_H_

#include <cstddef>
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

// The unit steps of the 16 vector directions of the shape codes, counter-clockwise from +x.
struct StrokeDirection {
  long double dx;
  long double dy;
};
// clang-format off
inline constexpr StrokeDirection kStrokeDirections[16] = {
    {1.0L, 0.0L}, {1.0L, 0.5L}, {1.0L, 1.0L}, {0.5L, 1.0L},
    {0.0L, 1.0L}, {-0.5L, 1.0L}, {-1.0L, 1.0L}, {-1.0L, 0.5L},
    {-1.0L, 0.0L}, {-1.0L, -0.5L}, {-1.0L, -1.0L}, {-0.5L, -1.0L},
    {0.0L, -1.0L}, {0.5L, -1.0L}, {1.0L, -1.0L}, {1.0L, -0.5L},
};
// clang-format on

// Runs the shape codes of one glyph on `pen`, up to its 0 byte or the end of the span: a vector
// byte (length in the high four bits, direction in the low four) is pen.Step(length, dx, dy);
// code 1 pen.PenDown(); code 2 pen.PenUp(); code 8 one displacement of the next two signed bytes
// (Step(1, dx, dy)); code 9 such displacements up to the pair (0, 0). Code 14 (its command
// applies to vertical text only) skips the next vector or code 1, 2, 3 or 8 (code 8 still
// consumes its two bytes); code 9 does not look at it. Code 3 and all other codes are ignored.
// A Step that returns false ends the walk, and WalkGlyph returns false.
template <class Pen>
bool WalkGlyph(std::span<const std::uint8_t> glyph, Pen& pen) {
  auto signedByte = [](std::uint8_t b) {
    return static_cast<long double>(static_cast<std::int8_t>(b));
  };
  bool skip = false;
  std::size_t i = 0;
  while (i < glyph.size()) {
    const std::uint8_t code = glyph[i++];
    if (code == 0) break;
    if ((code >> 4) != 0) {
      if (skip) {
        skip = false;
        continue;
      }
      const StrokeDirection& d = kStrokeDirections[code & 0x0F];
      if (!pen.Step(static_cast<long double>(code >> 4), d.dx, d.dy)) return false;
      continue;
    }
    switch (code) {
      case 1:
      case 2:
        if (!skip) {
          if (code == 1) {
            pen.PenDown();
          } else {
            pen.PenUp();
          }
        }
        skip = false;
        break;
      case 3:
        skip = false;
        break;
      case 8: {
        if (i + 2 > glyph.size()) return true;
        const long double dx = signedByte(glyph[i]);
        const long double dy = signedByte(glyph[i + 1]);
        i += 2;
        if (skip) {
          skip = false;
        } else if (!pen.Step(1.0L, dx, dy)) {
          return false;
        }
        break;
      }
      case 9:
        while (i + 2 <= glyph.size()) {
          const std::uint8_t bx = glyph[i];
          const std::uint8_t by = glyph[i + 1];
          i += 2;
          if (bx == 0 && by == 0) break;
          if (!pen.Step(1.0L, signedByte(bx), signedByte(by))) return false;
        }
        break;
      case 14:
        skip = true;
        break;
      default:
        break;
    }
  }
  return true;
}

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_STROKEFONT_H_
