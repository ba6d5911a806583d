// The drawing surface the replay of the display list draws on: the window (a QPainter on the
// window's image) and the printer page implement it, tests record its calls. Positions are
// pixels of the surface, x to the right and y downward. The surface keeps its state (pen, brush,
// text colour, current position) from call to call and from one replay to the next.
//
// Also the colours of the graphics window: the 17-entry Palette and the RGB colour values of the
// settings.
#ifndef PLOTVUE_GRAPHICS_CANVAS_H_
#define PLOTVUE_GRAPHICS_CANVAS_H_

#include <array>
#include <cstdint>
#include <string>

namespace plotvue {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;

  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A colour value of the settings (BackgroundColour): red in the low byte, then green, then blue.
constexpr Rgb RgbFromColourValue(std::int32_t value) {
  auto u = static_cast<std::uint32_t>(value);
  return Rgb{static_cast<std::uint8_t>(u & 0xFFu), static_cast<std::uint8_t>((u >> 8) & 0xFFu),
             static_cast<std::uint8_t>((u >> 16) & 0xFFu)};
}

inline constexpr int kPaletteSize = 17;
inline constexpr int kHighestColour = 16;

// The colour numbers 0..16.
inline constexpr std::array<Rgb, kPaletteSize> Palette = {{
    {0, 0, 0},
    {0, 0, 128},
    {0, 255, 0},
    {0, 255, 255},
    {255, 0, 0},
    {128, 0, 128},
    {128, 0, 0},
    {192, 192, 192},
    {176, 176, 176},
    {0, 0, 255},
    {0, 255, 0},
    {0, 255, 255},
    {255, 0, 0},
    {255, 0, 255},
    {255, 255, 0},
    {255, 255, 255},
    {0, 0, 0},
}};

inline constexpr Rgb kBlack{0, 0, 0};

// Pen styles of the line styles 0..3.
enum class PenStyle { Solid, Dotted, DashDot, Dashed };
// Copy draws the pen colour; Invert inverts what lies under the pen, so that drawing the same
// outline twice removes it.
enum class PenMode { Copy, Invert };
// Clear: closed figures are not filled; Solid: filled with the brush colour.
enum class BrushStyle { Clear, Solid };

struct PixelPoint {
  int x = 0;
  int y = 0;
};

// A font for one text output. height is the cell height in pixels (ascent plus descent); width
// the average character width in pixels, 0 for the face's own width; escapement the direction
// of the base line in tenths of a degree, counter-clockwise; weight 100..900.
struct TextFont {
  std::string face;
  int height = 0;
  int width = 0;
  int escapement = 0;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void SetPenColour(Rgb colour) = 0;
  virtual void SetPenWidth(int width) = 0;
  virtual void SetPenStyle(PenStyle style) = 0;
  virtual void SetPenMode(PenMode mode) = 0;
  virtual void SetBrushColour(Rgb colour) = 0;
  virtual void SetBrushStyle(BrushStyle style) = 0;
  virtual void SetTextColour(Rgb colour) = 0;

  // Sets the current position.
  virtual void MoveTo(int x, int y) = 0;
  // Draws from the current position to (x, y), which becomes the current position.
  virtual void LineTo(int x, int y) = 0;
  // MoveTo(x1, y1), LineTo(x2, y2); surfaces draw it in one step.
  virtual void Line(int x1, int y1, int x2, int y2) {
    MoveTo(x1, y1);
    LineTo(x2, y2);
  }
  // The ellipse inside the box, outlined with the pen and filled with the brush.
  virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
  // The outline of the ellipse inside the box, counter-clockwise as seen on the surface from
  // the ray through (sx, sy) to the ray through (ex, ey), both rays from the box's centre; the
  // whole ellipse when the two points are equal.
  virtual void Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) = 0;
  // A closed polygon, outlined with the pen and filled with the brush (alternate filling).
  virtual void Polygon(const PixelPoint* points, int count) = 0;
  // Text with the top left corner of its first character cell at (x, y), turned about that point
  // by the font's escapement, in the text colour on a transparent background.
  virtual void TextOut(int x, int y, const TextFont& font, const std::string& utf8) = 0;

  // Size of the surface in pixels (the page of a printer); 0 when unknown.
  virtual int Width() const { return 0; }
  virtual int Height() const { return 0; }
};

}  // namespace plotvue

#endif  // PLOTVUE_GRAPHICS_CANVAS_H_
