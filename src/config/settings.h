// The program's settings: every entry of the configuration file PLOTVUE.cfg with its built-in
// default. `Settings{}` is the state that holds when no file has been read. The reader, the output
// drivers, the graphics window, printing and the settings dialogs all read these fields; the
// configuration file module (configio) loads and saves them in the file's fixed order.
//
// Coded values (SyntaxCode, DeviceCode, the serial codes, NcSyntax) are stored in the file by
// number: do not change their meaning.
#ifndef PLOTVUE_CONFIG_SETTINGS_H_
#define PLOTVUE_CONFIG_SETTINGS_H_

#include <array>
#include <cstdint>
#include <string>

namespace plotvue {

inline constexpr const char* kProgramName = "PLOTVUE";
inline constexpr const char* kProgramVersion = "8.3";

// Number of pen table entries (index 0..15); the file holds indexes 1..15.
inline constexpr int kPenTableSize = 16;
// Number of screen colour slots for pens 1..16 (file entries "Couleur Layer 16".."31").
inline constexpr int kScreenPenSlots = 16;

struct Settings {
  // Converter.
  std::uint16_t SyntaxCode = 10;     // 1..12, see the syntax table of the output drivers
  std::uint16_t DeviceCode = 3;      // 1 serial port, 2 parallel port, 3 file
  long double PlotScale = 1.0L;      // output scale factor
  long double PlotOriginX = 0.0L;    // output origin, mm ("Plotursprung x")
  long double PlotOriginY = 0.0L;    // output origin, mm ("Plotursprung y")
  char Rotate90 = 'N';               // 'J': rotate the output by 90 degrees
  char UseShpFont = 'N';             // 'J': convert labels into TXT.SHP strokes
  std::uint16_t SerialPort = 1;      // 1 = COM1 ...
  std::uint16_t BaudRateCode = 8;    // 1..8 = 110, 150, 300, 600, 1200, 2400, 4800, 9600 baud
  std::uint16_t DataBitsCode = 2;    // 1 = 7 data bits, 2 = 8 data bits
  std::uint16_t StopBits = 1;        // 1 or 2
  std::uint16_t ParityCode = 1;      // 1 none, 2 odd, 3 even
  std::string PlotFile = "PLOT";     // output base name, no extension
  std::int32_t MaxFileElements = 500000;  // most drawing elements per output file
  std::string FileExtension = "plt";      // extension of input plot files, at most 3 characters
  long double Fraestiefe = 0.3L;          // CNC cutting depth, mm
  long double WerkzeugAbstand = 1.0L;     // CNC tool clearance above the work piece, mm
  std::string InPath;                     // directory of the last opened plot file

  // Graphics window.
  long double Zoom = 1.2L;      // zoom step factor
  long double Panorama = 0.1L;  // pan step, fraction of the window

  std::uint16_t LPT = 1;  // parallel port number 1..4

  // Pen table: pen number and speed (mm/s) per colour index 0..15.
  std::array<std::int32_t, kPenTableSize> PenNumber = MakePenNumbers();
  std::array<std::int32_t, kPenTableSize> PenSpeed = MakePenSpeeds();

  char ShpLoad = 'N';                     // 'J': load TXT.SHP at start-up
  std::uint16_t HelpLevel = 1;            // kept and written back only
  std::uint16_t PrintDensity = 1;         // kept and written back only
  char ScreenRotation = 'J';              // kept and written back only
  std::uint16_t PrinterType = 3;          // kept and written back only
  std::string TempDir;                    // directory for temporary files
  std::uint16_t NcSyntax = 1;             // CNC dialect 1..4 (Garmin coordinate mode 1..2)
  long double TextWidthFactor = 1.0L;     // width/height ratio of output text, 0.01..100
  std::string TextStyle = "TXT8";         // text font name for DXF and Postscript, <= 32 chars
  std::uint16_t ScreenWidthPx = 0;        // graphics window width, pixels
  std::uint16_t ScreenHeightPx = 0;       // graphics window height, pixels
  std::string HelpImageDir;               // help images and ARISTO.TXT ("PLT Annuaire")
  long double TextAngle = 0.0L;           // text slant, degrees
  std::string CadDir;                     // "CAD Annuaire"
  std::string DbfDir;                     // "DBF Annuaire"
  std::int32_t DecimalPlaces = 3;         // decimals of formatted numbers, relative to 3
  std::uint16_t PrintDensityVertical = 1; // kept and written back only
  bool ColourGraphics = true;             // draw in colour
  long double AspectCorrection = 1.0L;    // horizontal scale correction of the screen
  std::int32_t GraphicsMode = 0;          // kept and written back only
  std::int32_t GraphicsDriver = 0;        // kept and written back only
  std::uint16_t ScreenPrintInterface = 1; // kept and written back only
  std::string EdiDir;                     // "EDI Annuaire", equals TempDir after reading
  std::uint16_t PageLayout = 2;           // kept and written back only
  std::int32_t LinesPerPage = 66;         // kept and written back only
  std::string MakerDir;                   // the TAVOLIN program directory
  std::string DxfViewerCommand;           // external DXF viewer command line, stored only
  std::int32_t BackgroundColour = 1;      // RGB colour value of the window background
  std::uint16_t WindowsPrintMode = 1;     // 1 monochrome, 2 colour
  long double ScreenTextWidthFactor = 0.8L;  // width/height ratio of screen text, 0.01..100
  std::string ScreenTextFont = "Arial";      // font for screen text, <= 60 characters
  // Screen colour number of each pen slot 1..16 (index 0 is slot 1).
  std::array<std::int32_t, kScreenPenSlots> ScreenPenColour = MakeScreenPenColours();
  std::int32_t ScreendumpOriginX = 0;
  std::int32_t ScreendumpOriginY = 0;
  long double ScreendumpScale = 1.0L;
  bool ScreendumpBorder = false;
  long double TextHeightFactor = 1.0L;    // at least 0.1
  std::int32_t InputWindowScale = 102;    // 10..1000, per cent
  long double PrintScaleVertical = 1.0L;
  bool PenFromWidth = false;              // "SelectPen = PenWidth * 20"

  // The pen table lookup of the interpreter: PenNumber of index |pen| mod 16.
  std::int32_t PenTableCode(int pen) const {
    int index = (pen < 0 ? -pen : pen) % kPenTableSize;
    return PenNumber[static_cast<std::size_t>(index)];
  }

 private:
  static constexpr std::array<std::int32_t, kPenTableSize> MakePenNumbers() {
    std::array<std::int32_t, kPenTableSize> a{};
    for (int k = 0; k < kPenTableSize; ++k) a[static_cast<std::size_t>(k)] = k % 8;
    return a;
  }
  static constexpr std::array<std::int32_t, kPenTableSize> MakePenSpeeds() {
    std::array<std::int32_t, kPenTableSize> a{};
    for (auto& s : a) s = 500;
    return a;
  }
  static constexpr std::array<std::int32_t, kScreenPenSlots> MakeScreenPenColours() {
    std::array<std::int32_t, kScreenPenSlots> a{};
    for (int k = 0; k < kScreenPenSlots; ++k) a[static_cast<std::size_t>(k)] = k + 1;
    return a;
  }
};

}  // namespace plotvue

#endif  // PLOTVUE_CONFIG_SETTINGS_H_
