// iges: writes a drawing as an IGES file in the fixed 80-column ASCII form, with three entity
// types: 110 (line), 100 (circular arc) and 212 (general note). It is the back end of output
// syntax 7; the driver frame calls it from BeginOutput, SelectPen, LineTo, OutCircle, OutArc,
// OutLabel and EndOutput with coordinates already in output millimetres.
//
// The Directory Entry section must precede the Parameter Data section while both grow entity by
// entity, so the Start, Global and Directory Entry records go straight to the output and the
// Parameter Data records are collected in a scratch file, appended by IgesEndFile together with
// the Terminate record.
//
// State: one IgesWriter per IGES output, owned by the driver frame from IgesBeginFile to
// IgesEndFile. It owns the section counters, the entity pointers, the current colour number and
// the scratch file. Nothing persists from one conversion to the next. The writer does not own
// the output: the frame creates the output file (or, for a port, a scratch file that it copies to
// the port once complete) and hands every operation the TextOut to write through.
#ifndef PLOTVUE_FORMATS_IGES_H_
#define PLOTVUE_FORMATS_IGES_H_

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "output/channel.h"

namespace plotvue {

// The date written into the Global section (field 18). IgesToday() gives the local date; tests
// pass a fixed one.
struct IgesDate {
  int year = 2000;  // four digits; the file carries the last two
  int month = 1;    // 1..12
  int day = 1;      // 1..31
};

IgesDate IgesToday();

// Counters and pointers of one IGES output (reset by IgesBeginFile and again by IgesGlobal).
struct IgesState {
  int S = 0;                // Start records written so far; the next record gets S + 1
  int G = 0;                // Global records written so far
  int D = 0;                // Directory Entry records written so far
  int P = 0;                // Parameter Data records written so far
  int T = 0;                // Terminate records written so far
  int dePointer = -1;       // first Directory Entry line of the current entity: 1, 3, 5, ...
  int pPointer = 1;         // first Parameter Data line of the next entity
  int pLineCount = 0;       // Parameter Data lines of the current entity
  int colourNumber = 0;     // IGES colour number of the current pen (IgesSetPen)
  int lineFontPattern = 1;  // written into every Directory Entry
  // Set when an entity was dropped because its records would need sequence numbers beyond
  // the seven digits of columns 74..80; the error flag is set too.
  bool sequenceExhausted = false;
};

// The scratch file that collects the Parameter Data records. It is created under a unique name
// in the temporary directory and unlinked at once, so it disappears on every path (a finished
// conversion, an error, a crash) while the open handle keeps it readable until Close().
class IgesScratchFile {
 public:
  IgesScratchFile() = default;
  ~IgesScratchFile() { Close(); }
  IgesScratchFile(const IgesScratchFile&) = delete;
  IgesScratchFile& operator=(const IgesScratchFile&) = delete;

  // Creates the file in `dir`; false when that failed (nothing is left behind then).
  bool Create(const std::string& dir);
  bool IsOpen() const { return file_ != nullptr; }
  // Appends one record and a line feed; false when the write failed or no file is open.
  bool AppendRecord(std::string_view record);
  // Passes every record written so far, in order, to `out` with WriteLine; false when reading
  // back failed.
  bool CopyRecords(TextOut& out);
  void Close();

 private:
  std::FILE* file_ = nullptr;
};

class IgesWriter {
 public:
  // Resets the state and creates the Parameter Data scratch file in `tempDir` (empty: the
  // program's temporary directory, TempDirectory()). Reads the DecimalPlaces setting for every
  // number written. The output itself is created by the frame. Returns false and sets the
  // error flag of `out` when the scratch file cannot be created.
  bool IgesBeginFile(TextOut& out, const Settings& settings, const std::string& tempDir = {});

  // Resets the counters and writes the Start and Global sections. `fileName` is PlotFile (file
  // name and receiving product), `maxCoordinate` the approximate maximum coordinate (the frame
  // passes 180), `date` the date of field 18.
  void IgesGlobal(TextOut& out, std::string_view fileName, long double maxCoordinate,
                  const IgesDate& date);

  // Colour number of pen 0..15 from the pen table; pens outside the table give colour 0.
  void IgesSetPen(int pen);

  // Entity 110 from (x1, y1) to (x2, y2), mm. A line whose ends are written as the same point
  // (closer together than the written decimals tell) is not written: IGES readers reject a line
  // without length.
  void IgesLine(TextOut& out, long double x1, long double y1, long double x2, long double y2);

  // Entity 100: centre (cx, cy), start (x1, y1), end (x2, y2), counter-clockwise; a full circle
  // has its start equal to its end.
  void IgesArc(TextOut& out, long double cx, long double cy, long double x1, long double y1,
               long double x2, long double y2);

  // Entity 212 with one string: `text` at (x, y), with the text height (mm), width factor and
  // direction angle (degrees) of the driver's current text style. An empty text writes nothing.
  void IgesNote(TextOut& out, std::string_view text, long double x, long double y,
                long double textHeight, long double widthFactor, long double textAngle);

  // Appends the Parameter Data records, writes the Terminate record and closes the scratch file.
  void IgesEndFile(TextOut& out);

  IgesState state;

 private:
  // Writes one entity: the pieces of its parameter text (a Hollerith text, when not empty, is
  // cut separately and starts a new record), then its two Directory Entry records.
  void WriteEntity(TextOut& out, int entityType, bool transformZero, const std::string& params,
                   const std::string& hollerith);
  std::string Real(long double value) const;

  IgesScratchFile scratch_;
  int decimalPlaces_ = 3;
};

// One 80-column record: `data` from column 1, blanks, `right` ending in column 72, the section
// letter in column 73 and the number as 7 digits in columns 74..80. Data longer than the room
// leaves no blanks.
std::string IgesRecord(std::string_view data, std::string_view right, char section, int number);

// Cuts a parameter text into Parameter Data pieces of at most 64 characters: while more than 64
// characters remain, the piece is the longest start of at most 63 characters that ends with
// ",", or the first 64 characters when there is none; the rest is the last piece.
std::vector<std::string> IgesCutParameters(std::string_view text);

// Cuts a Hollerith text (with its closing delimiter) every 64 characters: it is data, so a
// comma inside it is no place to break.
std::vector<std::string> IgesCutHollerith(std::string_view text);

// "5HABCDE" for "ABCDE".
std::string IgesHollerith(std::string_view text);

}  // namespace plotvue

#endif  // PLOTVUE_FORMATS_IGES_H_
