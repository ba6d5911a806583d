// The output syntaxes and devices with their names and file extensions. The codes are stored in
// the settings file: do not change their values.
#ifndef PLOTVUE_OUTPUT_SYNTAX_H_
#define PLOTVUE_OUTPUT_SYNTAX_H_

#include <array>

namespace plotvue {

enum class Syntax : int {
  Hpgl = 1,
  Aristo = 2,
  Lasercomb = 3,
  Cnc = 4,
  Dxf = 5,
  TurboPascal = 6,
  Iges = 7,
  TurboC = 8,
  Hpgl2 = 9,
  Postscript = 10,
  HpglLaser = 11,
  GarminGps = 12,
};

enum class Device : int { Serial = 1, Parallel = 2, File = 3 };

struct SyntaxInfo {
  const char* dialogName;  // caption in the converter dialog
  const char* listName;    // entry of the settings prompts' name table
  const char* extension;   // output file extension
};

inline constexpr std::array<SyntaxInfo, 12> kSyntaxes = {{
    {"HP-GL", "HP-GL", "plt"},
    {"Aristo", "ARISTO", "art"},
    {"Lasercomb", "Lasercomb", "hpg"},
    {"CNC", "CNC", "cnc"},
    {"DXF", "DXF", "dxf"},
    {"Turbo Pascal", "Turbo-Pascal", "pas"},
    {"IGES", "IGES", "igs"},
    {"Turbo C", "Turbo-C", "c"},
    {"HP-GL/2", "HP-GL/2", "pl2"},
    {"Postscript", "Postscript", "ps"},
    {"HPGL-Laser", "HP-GL Laser", "hpl"},
    {"Garmin GPS", "Garmin GPS", "grm"},
}};

inline constexpr std::array<const char*, 3> kDeviceNames = {"serial Port", "parallel Port", "File"};

// The syntax table entry of a code 1..12; codes outside the range give the HP-GL entry.
constexpr const SyntaxInfo& SyntaxOf(int code) {
  return kSyntaxes[(code >= 1 && code <= 12) ? static_cast<std::size_t>(code - 1) : 0];
}

// True for the syntaxes whose output holds the drawing's extents from the scan pass before its
// end (the DXF header, the Garmin x reference): they need the scan run finished before the
// conversion writes.
constexpr bool OutputReadsExtents(int code) {
  return code == static_cast<int>(Syntax::Dxf) || code == static_cast<int>(Syntax::GarminGps);
}

// True for the syntaxes whose trailer alone holds the extents (the window of the Pascal and C
// programs): a conversion that finds them in the same pass holds each output's trailer until
// the pass ends (OutputDriver::HoldTrailers).
constexpr bool OutputTrailerReadsExtents(int code) {
  return code == static_cast<int>(Syntax::TurboPascal) || code == static_cast<int>(Syntax::TurboC);
}

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_SYNTAX_H_
