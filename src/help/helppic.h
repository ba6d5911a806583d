// The help-picture reader: a small, tolerant HP-GL reader of its own that draws the help pictures
// (plot files of a reduced dialect, in plotter units of 0.025 mm) through the drawing device into
// the help window (0, 0)-(160, 120) mm. It knows PU, PD, PA (absolute pairs only), SP, CI, SI,
// DI, LB, AA, PE and CS; every other command is passed over up to its ";".
//
// State: HelpPictureState, kept from one picture to the next (pen, pen up or down, character
// size and direction, character set) by its owner; the current point and the previous label are
// reset at the start of every picture.
//
// Hostile pictures (binary bytes, huge or non-finite numbers, a label without its end, a file
// that ends in the middle of a command) end the reading or are passed over; every value drawn is
// finite.
#ifndef PLOTVUE_HELP_HELPPIC_H_
#define PLOTVUE_HELP_HELPPIC_H_

#include <istream>
#include <string>

#include "base/program.h"
#include "graphics/device.h"
#include "graphics/drawdevice.h"

namespace plotvue {

// Numbers of a help picture are limited to this size (plotter units, or centimetres for SI):
// larger ones are taken as this, with their sign.
inline constexpr long double kMaxHelpPictureValue = 1e9L;
// A label stops at this many characters (see ReadHelpPicture).
inline constexpr std::size_t kMaxHelpLabel = 256;

struct HelpPictureState {
  long double x = -996.0L;  // current point, mm
  long double y = -996.0L;
  int pen = 1;
  bool penDown = false;
  long double charWidth = 5.0L;  // SI, cm
  long double charHeight = 5.0L;
  long double run = 1.0L;  // DI
  long double rise = 0.0L;
  int charSet = 1;  // CS
};

// Draws the picture read from `in` on `device`, starting with the current point at
// (-996, -996) mm. Commands are two characters taken in upper case; blanks, CR and LF are passed
// over outside labels, and so is a ";" where a command begins. Parameters end at "," or ";";
// inside them "P" and "A" are ignored, a text that is not a number gives 0, and coordinates are
// plotter units (x 0.025 mm).
//  - PU / PD set the pen up / down; PU, PD and PA then take absolute pairs up to ";", each
//    drawing a line from the current point when the pen is down.
//  - SP n: pen n (SP; pen 1). CI r: a circle around the current point. SI w, h: character size
//    in cm. DI run, rise: text direction. CS n: character set.
//  - LB text up to the character 3 (CR and LF dropped): with character set 3 a "}" after
//    A O U a o u makes it the code page 437 umlaut. At 256 characters the label stops, the
//    previous label of this picture (empty if none) is drawn instead, and what follows is read
//    as commands. A label is drawn with DevSetTextStyle(2, direction, height x 10,
//    width x 10), DevSetTextJustify(0, 0) and DevOutText at the current point.
//  - AA cx, cy, sweep: with the pen down, the arc about (cx, cy) from the current point over
//    `sweep` degrees (a clockwise sweep is drawn from its end); the current point then becomes
//    the centre.
//  - PE: Polyline Encoded points (7-bit and 8-bit digits, ":" pen, "<" move, "=" absolute,
//    ">" skip one character), relative to the current point unless "=" came before.
// Before every line, circle, arc or label the pen's colour is set (pens 1..7 are the colours
// 12, 14, 10, 11, 9, 13, 15). Reading stops at the end of the input (an unfinished command
// draws nothing) or when program.ErrorFlag is set after a command.
void ReadHelpPicture(Program& program, DrawingDevice& device, std::istream& in,
                     HelpPictureState& state);

// Draws the help picture file `path`: the hourglass cursor, DevCheckFile (a missing, unreadable
// or directory file shows "<name> pas trouver !", leaves ErrorFlag set and draws nothing), the
// reading, then ErrorFlag cleared (after a read) and the arrow cursor back. False when the file
// was missing.
bool DrawHelpPicture(Program& program, DrawDevice& device, const std::string& path,
                     HelpPictureState& state);

}  // namespace plotvue

#endif  // PLOTVUE_HELP_HELPPIC_H_
