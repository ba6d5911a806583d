// Thin lines straight into a 32-bit pixel buffer: the window's fast way to draw the many
// one-pixel solid lines of a plot. A line is the set of pixels a Bresenham walk from its start
// to its end visits, both ends included; clipping to the buffer leaves exactly the pixels of the
// whole line that lie inside it, so a line drawn in parts or outside the buffer changes nothing
// else.
//
// State: none; the caller owns the buffer.
#ifndef PLOTVUE_GRAPHICS_RASTER_H_
#define PLOTVUE_GRAPHICS_RASTER_H_

#include <cstddef>
#include <cstdint>

namespace plotvue {

// A buffer of width x height pixels, row r starting at bits + r * stride.
struct PixelBuffer {
  std::uint32_t* bits = nullptr;
  std::ptrdiff_t stride = 0;  // in pixels
  int width = 0;
  int height = 0;
};

// Sets the pixels of the line from (x1, y1) to (x2, y2) that lie inside the buffer to `pixel`.
// Any int coordinates are accepted.
void DrawThinLine(const PixelBuffer& buffer, int x1, int y1, int x2, int y2, std::uint32_t pixel);

}  // namespace plotvue

#endif  // PLOTVUE_GRAPHICS_RASTER_H_
