// shpin: the TXT.SHP stroke font. It loads the shape source file TXT.SHP (text in the SHP shape
// format) into a table of glyph programs, one for each character code from 32 to 129, and walks
// those programs to turn a label into pen strokes, which the output drivers write as ordinary
// moves and lines when the settings ask for stroked text (plotters, cutters and mills without
// fonts of their own).
//
// Accepted file format (text, CR LF or LF line ends):
//   line 1   "*0,4," followed by the font name (ignored)
//   line 2   above,below,modes,0    (above: capital height in vector units, the stroke scale)
//   then one record per shape, two lines each:
//            *<number>,<n>,<name>
//            <n> byte values separated by commas, the last one "0"
// Reading stops after the first shape numbered 129 or higher. A value is read up to the next
// comma or line end; one leading "(" and one trailing ")" are removed (so "(3,-2)" is two
// values); a value of two or more characters that begins with "0" is hexadecimal, given by its
// last two characters ("014" is 20, "0FE" is 254); anything else is a signed decimal number.
// Negative values are stored as their low 8 bits. A definition line that ends in a comma goes on
// on the next line.
//
// Glyph program bytes (as the label output reads them): a byte whose high nibble L is not 0 is a
// vector of length L in direction D (low nibble) of a 16-direction table (D = 0, 4, 8, 12 along
// +x, +y, -x, -y; the others in between with slopes 1/2, 1 and 2); 1 pen down; 2 pen up; 8 one
// displacement (dx, dy) in the next two signed bytes; 9 displacements until the pair (0, 0);
// 14 skips the next vector or code 1, 2, 3 or 8 (those apply to vertical text only); 0 ends the
// character; every other code is ignored.
//
// State: the caller owns one ShpFont for the whole program run (filled once at start-up when the
// ShpLoad setting is 'J', unchanged afterwards) and the program's ErrorList. Nothing here keeps
// state of its own.
#ifndef PLOTVUE_FORMATS_SHPIN_H_
#define PLOTVUE_FORMATS_SHPIN_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/program.h"
#include "config/settings.h"
#include "output/strokefont.h"

namespace plotvue {

// The name of the font file, looked for in each directory of the data search list.
inline constexpr char kShpFileName[] = "TXT.SHP";
// What the program reports, besides the message box, when it ends because no font was found.
inline constexpr char kShpNotFoundReport[] = "TXT.SHP not found.";

inline constexpr int kShpFirstCode = 32;
inline constexpr int kShpLastCode = 129;
inline constexpr int kShpGlyphCount = kShpLastCode - kShpFirstCode + 1;  // 98 records
// Definition bytes of one shape, its terminating 0 included.
inline constexpr int kShpGlyphBytes = 50;

// The program's error list: messages gathered quietly during a run and shown on request. It
// keeps at most kErrorListMax distinct entries; two messages count as the same when their first
// kErrorListCompareLength characters agree. Further messages are dropped.
inline constexpr std::size_t kErrorListMax = 11;
inline constexpr std::size_t kErrorListCompareLength = 36;

struct ErrorList {
  std::vector<std::string> entries;  // UTF-8, in the order of their first occurrence

  // Adds `message` unless an entry with the same first 36 characters is there or the list is
  // full.
  void Add(const std::string& message);
};

// One glyph record: the definition bytes of a shape in file order up to its terminating 0; the
// bytes after it are 0. An empty record (all 0) draws nothing.
using ShpGlyph = std::array<std::uint8_t, kShpGlyphBytes>;

// The loaded font. A default ShpFont is the state before loading: header values above 1, below
// 1, modes 0, every glyph empty, not loaded.
struct ShpFont {
  int above = 1;  // capital height in vector units, divisor of the stroke scale; always >= 1
  int below = 1;  // descender depth in vector units
  int modes = 0;  // 0: horizontal text only
  std::array<ShpGlyph, kShpGlyphCount> glyphs{};  // record index = character code - 32
  bool loaded = false;                            // set when a whole font file was read
  std::string path;                               // the file it was read from

  // The record of character code `code`, or nullptr outside 32..129.
  const ShpGlyph* Glyph(int code) const;
};

enum class ShpReadResult {
  Loaded,    // the table is filled; a wrong first line has set ErrorFlag but loading went on
  NotFound,  // no readable TXT.SHP; the message was shown. The program ends and also
             // reports kShpNotFoundReport (the batch run on stderr).
  Invalid,   // a record line that does not begin with "*", or a shape of more than 50 bytes;
             // the message was shown and the program ends.
};

// The value 0..15 of a hexadecimal digit character ("0".."9", "A".."F", "a".."f"). Any other
// character gives 0 and adds "Fehlerhafter Hex-Code "c" ! (Procedure HexCharToDez)" to
// `errorList`, with the character (taken as code page 437) in place of c.
int HexCharToDez(char c, ErrorList& errorList);

// The path of the first readable regular file kShpFileName in `dirs` (each ending in "/", an
// empty entry meaning the current directory), or an empty text when there is none. The caller
// passes DataDirs(): current directory, settings directory, installed data directory, source
// tree data directory.
std::string FindShpFont(const std::vector<std::string>& dirs);

// Loads the font: resets `font`, looks for TXT.SHP in `dirs` (FindShpFont) and reads it with
// ReadShpFontFrom; font.path names the file read. When no readable file is found, shows
// "fichier TXT.SHP introuvable ou accès impossible !" and returns NotFound.
// Messages go through program.Error (shown while MessagesEnabled).
ShpReadResult ReadShpFont(Program& program, ShpFont& font, ErrorList& errorList,
                          const std::vector<std::string>& dirs);

// Reads a font in the accepted format from `in` into `font` (which should be a fresh ShpFont):
//  - a first line that does not begin with "*0,4," shows "Invalid SHP file !", sets ErrorFlag
//    and reading goes on; so does a capital height (above) of 0, which keeps the value 1;
//  - a record that does not begin with "*" shows "Invalid SHP Char " + the character + " !"
//    (a control character as "#" and its code, nothing at the end of the file) and returns
//    Invalid;
//  - a byte count above 50 shows "TXT.SHP: more than 50 Bytes/character" and returns Invalid;
//  - a decimal value that does not convert shows "Ungültiges Zeichen " + the value + " !" and
//    reads as 0; a bad hex digit adds its entry to `errorList` and counts 0; loading goes on.
// Shapes numbered 32..129 are stored in their record; others are read over (a number of 256 or
// more is not wrapped onto another character's record). Reading stops after
// the first shape numbered 129 or higher; then font.loaded is set and Loaded returned.
ShpReadResult ReadShpFontFrom(Program& program, ShpFont& font, ErrorList& errorList,
                              std::istream& in);

// True when labels are written as strokes of the font: neither the UseShpFont setting
// ("Use Extern TextFont TXT.SHP ?") nor ShpLoad ("SHP laden ?") is 'N' or 'n', and the font was
// loaded (a font that was not loaded never strokes a label; the label is written as text).
bool UseShpStrokes(const Settings& settings, const ShpFont& font);

// The loaded font as the output drivers read it (the glyph bytes of a code and the capital
// height). Glyphs of a font that was not loaded are empty.
// REQUIRES: `font` outlives this object and is not reloaded while the drivers use it.
class ShpStrokeFont : public StrokeFont {
 public:
  explicit ShpStrokeFont(const ShpFont& font) : font_(font) {}

  // The 50-byte record of `code` (its bytes after the terminating 0 are 0), or an empty span
  // outside 32..129 or when the font was not loaded.
  std::span<const std::uint8_t> Glyph(int code) const override;
  int Above() const override { return font_.above; }

 private:
  const ShpFont& font_;
};

// The pen that StrokeShpText draws with: the output driver's pen operations.
class ShpPen {
 public:
  virtual ~ShpPen() = default;
  virtual void PenDown() = 0;                             // code 1
  virtual void PenUp() = 0;                               // code 2
  virtual void MoveTo(long double x, long double y) = 0;  // a step with the pen up
  virtual void LineTo(long double x, long double y) = 0;  // a step with the pen down
};

struct ShpPoint {
  long double x = 0.0L;
  long double y = 0.0L;
};

// Draws `text` (code page 437 bytes) as strokes of `font`, starting at `start` (mm), character
// after character; codes outside 32..129 are skipped. `penDown` is the pen's state when the
// label begins (the driver's). Each step of length L and unit direction (dx, dy) moves the stroke
// position by s = L * height / font.above in the direction rotated by `angle` degrees counter-
// clockwise: x' = x + s(dx cos a - dy sin a), y' = y + s(dy cos a + dx sin a), and calls
// pen.LineTo(x', y') when the pen is down, else pen.MoveTo(x', y'). Codes 1 and 2 call
// pen.PenDown() and pen.PenUp(). The character width does not enter; the glyphs carry their own
// advance. Returns the stroke position after the last character.
// Draws nothing when the font is not loaded or a number is not finite, and stops at a step whose
// result would not be finite, so no non-finite coordinate reaches the pen.
ShpPoint StrokeShpText(const ShpFont& font, std::string_view text, ShpPoint start,
                       long double height, long double angle, bool penDown, ShpPen& pen);

}  // namespace plotvue

#endif  // PLOTVUE_FORMATS_SHPIN_H_
