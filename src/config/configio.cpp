#include "config/configio.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/fileutil.h"
#include "base/textnum.h"
#include "config/paths.h"
#include "output/numformat.h"
#include "output/syntax.h"

namespace plotvue {
namespace {

// A line of the pen table frame.
constexpr std::string_view kDashes = "---------------------------";
static_assert(kDashes.size() == 27);

// Longest value line kept; the rest of a longer line is dropped (a damaged file cannot make the
// reader hold more than this per line).
constexpr std::size_t kMaxLineLength = 32768;

// Most characters of the file name in the save prompt (longer proposals widen the field).
constexpr int kFileNamePromptLength = 60;

// Bounded string settings.
constexpr std::size_t kFileExtensionLength = 3;
constexpr std::size_t kTextStyleLength = 32;
constexpr std::size_t kScreenTextFontLength = 60;

constexpr std::int32_t kWhite = 0xFFFFFF;

// DecimalPlaces shifts the decimals of the number formats, whose results hold 0..10 decimals;
// any shift beyond this bound gives the same text. Keeping the setting within it keeps the
// formatters' decimal arithmetic far from integer overflow whatever a file holds.
constexpr std::int32_t kDecimalPlacesBound = 20;

// ---- Value formats of the file -------------------------------------------------------------

// A value the file can hold: non-finite values are written as 0, and -0 as 0.
long double Writable(long double x) { return (std::isfinite(x) && x != 0.0L) ? x : 0.0L; }

// I: decimal integer without blanks.
std::string FormatI(std::int64_t v) { return std::to_string(v); }

// C: one character; a line break would shift every following entry, so it is written as 'N'.
std::string FormatC(char c) { return std::string(1, (c == '\r' || c == '\n') ? 'N' : c); }

// B: "TRUE" or "FALSE".
std::string FormatB(bool b) { return b ? "TRUE" : "FALSE"; }

// S: the string unchanged, except that line breaks (which would shift every following entry)
// are left out.
std::string FormatS(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s)
    if (c != '\r' && c != '\n') out += c;
  return out;
}

// F3 / F2: fixed point with `decimals` decimals in a field of at least `width` characters.
std::string FormatF(long double x, int width, int decimals) {
  x = Writable(x);
  int len = std::snprintf(nullptr, 0, "%*.*Lf", width, decimals, x);
  if (len <= 0) return "0";
  std::vector<char> buf(static_cast<std::size_t>(len) + 1);
  std::snprintf(buf.data(), buf.size(), "%*.*Lf", width, decimals, x);
  return std::string(buf.data(), static_cast<std::size_t>(len));
}

// E: 23 characters, a blank or "-", one digit, ".", 14 digits, "E", the exponent's sign and four
// exponent digits: 0.3 is " 3.00000000000000E-0001".
std::string FormatE(long double x) {
  x = Writable(x);
  char digits[64];
  std::snprintf(digits, sizeof digits, "%.14Le", std::fabs(x));
  std::string_view text(digits);
  std::string_view::size_type e = text.find('e');
  if (e == std::string_view::npos) return " 0.00000000000000E+0000";
  int exponent = std::atoi(digits + e + 1);
  char out[64];
  std::snprintf(out, sizeof out, "%c%.*sE%c%04d", x < 0.0L ? '-' : ' ', static_cast<int>(e), digits,
                exponent < 0 ? '-' : '+', std::abs(exponent));
  return out;
}

// N7: integral values below 1 in the short format, everything else with 7 decimals.
std::string FormatN7(long double x, int decimalPlaces) {
  if (x < 1.0L && std::fabs(x - std::nearbyint(x)) < 1e-10L) return FormatShort(x, decimalPlaces);
  return FormatFixed(x, 7, decimalPlaces);
}

std::string Truncated(std::string s, std::size_t length) {
  if (s.size() > length) s.resize(length);
  return s;
}

// ---- Writing ---------------------------------------------------------------------------------

class ConfigWriter {
 public:
  void Line(std::string_view s) {
    text_ += s;
    text_ += "\r\n";
  }
  void Entry(std::string_view label, const std::string& value) {
    Line(label);
    Line(value);
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// ---- Reading ---------------------------------------------------------------------------------

// Reads the value lines of a settings file. Past the end of the file every line reads as empty
// text (so numbers read as 0), as the checkpoints of the format expect. A line that cannot be
// read because of an I/O error sets the error flag.
class ConfigReader {
 public:
  ConfigReader(std::istream& in, bool& errorFlag) : in_(&in), errorFlag_(&errorFlag) {}

  // The next line without its line end (LF, or CR LF).
  std::string Line() {
    std::string s;
    if (in_->bad()) {
      *errorFlag_ = true;
      return s;
    }
    if (!in_->good()) return s;
    for (;;) {
      int c = in_->get();
      if (c == std::istream::traits_type::eof() || c == '\n') break;
      if (s.size() < kMaxLineLength) s += static_cast<char>(c);
    }
    if (in_->bad()) *errorFlag_ = true;
    if (!s.empty() && s.back() == '\r') s.pop_back();
    return s;
  }

  // Reads over `n` lines (labels, and values nobody uses).
  void Skip(int n = 1) {
    for (int k = 0; k < n; ++k) Line();
  }

  bool AtEnd() { return in_->peek() == std::istream::traits_type::eof(); }

  // Integer settings: the whole line converts, else 0.
  std::int32_t Int() { return TextToInt(Line()); }
  // Word settings keep the low 16 bits of the integer.
  std::uint16_t Word() { return static_cast<std::uint16_t>(static_cast<std::uint32_t>(Int())); }

  // Floating-point settings: every "," counts as ".", text that does not convert gives 0.
  long double Float() {
    std::string s = Line();
    std::replace(s.begin(), s.end(), ',', '.');
    return TextToFloat(s);
  }

  // Yes/No settings: the first character of the line; an empty line reads as 'N'.
  char YesNo() {
    std::string s = Line();
    return s.empty() ? 'N' : s.front();
  }

  // Boolean settings: true exactly for "TRUE" in any letter case; unchanged while the error
  // flag is set.
  void Bool(bool& b) {
    std::string s = Line();
    if (*errorFlag_) return;
    for (char& c : s)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    b = s == "TRUE";
  }

  // String settings: the whole line, bounded strings only its first `length` characters.
  std::string Str(std::size_t length = std::string::npos) { return Truncated(Line(), length); }

 private:
  std::istream* in_;
  bool* errorFlag_;
};

// A Word setting read as `value`, or `fallback` when outside first..last.
std::uint16_t InRange(std::uint16_t value, int first, int last, std::uint16_t fallback) {
  return (value >= first && value <= last) ? value : fallback;
}

// A screen size from the screen's pixels less `margin`, within the Word range and below the
// "unset" value 65535.
std::uint16_t ScreenSize(int pixels, int margin) {
  long v = static_cast<long>(pixels) - margin;
  return static_cast<std::uint16_t>(std::clamp<long>(v, 0, 65534));
}

bool ScreenSizeUnset(std::uint16_t v) { return v == 0 || v == 65535; }

void FillScreenSize(Program& program, int margin, int heightMargin) {
  Settings& s = program.settings;
  if (ScreenSizeUnset(s.ScreenWidthPx))
    s.ScreenWidthPx = ScreenSize(program.ui->ScreenWidthPx(), margin);
  if (ScreenSizeUnset(s.ScreenHeightPx))
    s.ScreenHeightPx = ScreenSize(program.ui->ScreenHeightPx(), heightMargin);
}

bool IsBlank(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

// dirSlash + fileName when that exists; else the first file of dirSlash (in name order) whose
// name differs only in letter case; else dirSlash + fileName.
std::string FindSettingsFile(const std::string& dirSlash, const std::string& fileName) {
  std::string exact = dirSlash + fileName;
  if (PathExists(exact)) return exact;
  namespace fs = std::filesystem;
  std::error_code ec;
  std::vector<std::string> matches;
  for (fs::directory_iterator it(dirSlash.empty() ? "." : dirSlash, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (EqualsIgnoringCase(name, fileName)) matches.push_back(name);
  }
  if (matches.empty()) return exact;
  return dirSlash + *std::min_element(matches.begin(), matches.end());
}

// A target that can be written: a file name (not a directory) in an existing directory that
// takes new files; an existing file must be writable, so that a write-protected settings file
// is not replaced behind the user's back. An existing target is not touched.
bool TargetUsable(const std::string& path) {
  if (path.empty() || path.back() == '/' || IsDirectory(path)) return false;
  std::error_code ec;
  if (std::filesystem::exists(path, ec) && ::access(path.c_str(), W_OK) != 0) return false;
  std::string dir = DirectoryPart(path);
  return IsDirectory(dir.empty() ? "." : dir) && CanCreateFileIn(dir);
}

}  // namespace

// The labels are code page 437 bytes: "\202" is "é" (0x82) and "\212" is "è" (0x8A).
std::string ConfigFileText(const Settings& s) {
  // The settings may come from elsewhere than a file read; keep the formatters in range.
  const int dp = std::clamp(s.DecimalPlaces, -kDecimalPlacesBound, kDecimalPlacesBound);
  ConfigWriter w;
  w.Line(Truncated(std::string(kProgramName) + "  Configuration", 40));
  w.Line(Truncated(std::string("Version ") + kProgramVersion, 13));
  const bool syntaxKnown =
      s.SyntaxCode >= 1 && static_cast<std::size_t>(s.SyntaxCode) <= kSyntaxes.size();
  w.Entry("SyntaxCode (" + std::string(syntaxKnown ? SyntaxOf(s.SyntaxCode).listName : "") + ")",
          FormatI(s.SyntaxCode));
  const bool deviceKnown =
      s.DeviceCode >= 1 && static_cast<std::size_t>(s.DeviceCode) <= kDeviceNames.size();
  w.Entry("DeviceCode (" + std::string(deviceKnown ? kDeviceNames[s.DeviceCode - 1u] : "") + ")",
          FormatI(s.DeviceCode));
  w.Entry("PlotScale", FormatF(s.PlotScale, 5, 3));
  w.Entry("Plotursprung x", FormatF(s.PlotOriginX, 4, 2));
  w.Entry("Plotursprung y", FormatF(s.PlotOriginY, 4, 2));
  w.Entry("Rotate 90 degrees ?", FormatC(s.Rotate90));
  w.Entry("Use Extern TextFont TXT.SHP ?", FormatC(s.UseShpFont));
  w.Entry("Serial Port", FormatI(s.SerialPort));
  w.Entry("Baud Rate Code", FormatI(s.BaudRateCode));
  w.Entry("DataBitsCode", FormatI(s.DataBitsCode));
  w.Entry("Stop Bits", FormatI(s.StopBits));
  w.Entry("ParityCode", FormatI(s.ParityCode));
  w.Entry("PlotFile", FormatS(s.PlotFile));
  w.Entry("MaxFileElements", FormatI(s.MaxFileElements));
  w.Entry("FileExtension", FormatS(s.FileExtension));
  w.Entry("Fraestiefe", FormatE(s.Fraestiefe));
  w.Entry("WerkzeugAbstand", FormatE(s.WerkzeugAbstand));
  w.Entry("InPath", FormatS(s.InPath));
  w.Entry("Zoom", FormatE(s.Zoom));
  w.Entry("Panorama", FormatE(s.Panorama));
  w.Entry("LPT", FormatI(s.LPT));
  w.Line("Begin of Pen Table");
  w.Line(kDashes);
  for (std::size_t k = 1; k < kPenTableSize; ++k) {
    w.Entry("Color", FormatI(static_cast<std::int64_t>(k)));
    w.Entry("Pen Number", FormatI(s.PenNumber[k]));
    w.Entry("Pen Speed", FormatI(s.PenSpeed[k]));
  }
  w.Line("End of Pen Table");
  w.Line(kDashes);
  w.Entry("SHP laden ?", FormatC(s.ShpLoad));
  w.Entry("Niveau d'aide", FormatI(s.HelpLevel));
  w.Entry("Densit\202 d'impression", FormatI(s.PrintDensity));
  w.Entry("Rotation de l'image \202cran?", FormatC(s.ScreenRotation));
  w.Entry("Type d'imprimante", FormatI(s.PrinterType));
  w.Entry("Annuaire provisoire", FormatS(s.TempDir));
  w.Entry("NC-Syntax", FormatI(s.NcSyntax));
  w.Entry("Largeur/hauteur du texte", FormatShort(s.TextWidthFactor, dp));
  w.Entry("Style de texte", FormatS(s.TextStyle));
  w.Entry("Grains horizontals de l'\202cran", FormatI(s.ScreenWidthPx));
  w.Entry("Grains verticals de l'\202cran", FormatI(s.ScreenHeightPx));
  w.Entry("PLT Annuaire", FormatS(s.HelpImageDir));
  w.Entry("Angle du texte", FormatShort(s.TextAngle, dp));
  w.Entry("CAD Annuaire", FormatS(s.CadDir));
  w.Entry("DBF Annuaire", FormatS(s.DbfDir));
  w.Entry("Nombre de d\202cimales", FormatI(s.DecimalPlaces));
  w.Entry("Densit\202 d'impression verticale", FormatI(s.PrintDensityVertical));
  w.Entry("Couleur des graphiques", FormatB(s.ColourGraphics));
  w.Entry("Correcteur d'agrandissement horizontal", FormatShort(s.AspectCorrection, dp));
  w.Entry("Mode Graphique", FormatI(s.GraphicsMode));
  w.Entry("Lecteur de Graphique", FormatI(s.GraphicsDriver));
  w.Entry("Interface-imprimante de l'image \202cran", FormatI(s.ScreenPrintInterface));
  w.Entry("EDI Annuaire", FormatS(s.EdiDir));
  w.Entry("Mise en page", FormatI(s.PageLayout));
  w.Entry("Nombres de lignes par page", FormatI(s.LinesPerPage));
  w.Entry("Annuaire TAVOLIN ", FormatS(s.MakerDir));
  w.Entry("KORVELT commande", FormatS(s.DxfViewerCommand));
  w.Entry("Couleur de l'arri\212re plan", FormatI(s.BackgroundColour));
  w.Entry("Mode d'impression Windows (1=mono 2=couleur)", FormatI(s.WindowsPrintMode));
  w.Entry("Largeur/hauteur du texte Graphique", FormatN7(s.ScreenTextWidthFactor, dp));
  w.Entry("Style de texte Graphique", FormatS(s.ScreenTextFont));
  for (std::size_t k = 0; k < kScreenPenSlots; ++k)
    w.Entry("Couleur Layer " + std::to_string(k + 16), FormatI(s.ScreenPenColour[k]));
  w.Entry("Windows Screendump Origin X", FormatI(s.ScreendumpOriginX));
  w.Entry("Windows Screendump Origin Y", FormatI(s.ScreendumpOriginY));
  w.Entry("Windows Screendump Scale", FormatN7(s.ScreendumpScale, dp));
  w.Entry("Windows Screendump Border ?", FormatB(s.ScreendumpBorder));
  for (int k = 1; k <= 3; ++k) w.Entry("Reserved " + std::to_string(k), "0");
  w.Entry("Text Height Factor", FormatN7(s.TextHeightFactor, dp));
  w.Entry("Input Window Scale %", FormatI(s.InputWindowScale));
  w.Entry("Print Scale Vertical", FormatN7(s.PrintScaleVertical, dp));
  w.Entry("SelectPen = PenWidth * 20", FormatB(s.PenFromWidth));
  return w.Take();
}

bool ReadConfigStream(Program& program, std::istream& in, long double textWidthFactor) {
  Settings& s = program.settings;
  ConfigReader r(in, program.ErrorFlag);
  r.Skip(2);  // title and version lines

  // Codes outside their ranges take their defaults: the drivers, the ports and the next write
  // (which names the syntax and the device) need valid codes.
  const Settings defaults;
  r.Skip();
  s.SyntaxCode = InRange(r.Word(), 1, 12, defaults.SyntaxCode);
  r.Skip();
  s.DeviceCode = InRange(r.Word(), 1, 3, defaults.DeviceCode);
  r.Skip();
  s.PlotScale = r.Float();
  r.Skip();
  s.PlotOriginX = r.Float();
  r.Skip();
  s.PlotOriginY = r.Float();
  r.Skip();
  s.Rotate90 = r.YesNo();
  r.Skip();
  s.UseShpFont = r.YesNo();
  r.Skip();
  s.SerialPort = InRange(r.Word(), 1, 4, defaults.SerialPort);
  r.Skip();
  s.BaudRateCode = InRange(r.Word(), 1, 8, defaults.BaudRateCode);
  r.Skip();
  s.DataBitsCode = InRange(r.Word(), 1, 2, defaults.DataBitsCode);
  r.Skip();
  s.StopBits = InRange(r.Word(), 1, 2, defaults.StopBits);
  r.Skip();
  s.ParityCode = InRange(r.Word(), 1, 3, defaults.ParityCode);
  r.Skip();
  s.PlotFile = r.Str();
  r.Skip();
  s.MaxFileElements = r.Int();
  r.Skip();
  s.FileExtension = r.Str(kFileExtensionLength);
  r.Skip();
  s.Fraestiefe = r.Float();
  r.Skip();
  s.WerkzeugAbstand = r.Float();
  r.Skip();
  s.InPath = r.Str();
  r.Skip();
  s.Zoom = r.Float();
  r.Skip();
  s.Panorama = r.Float();
  r.Skip();
  s.LPT = r.Word();
  if (s.LPT == 0 || s.LPT > 4) s.LPT = 1;

  r.Skip(2);  // "Begin of Pen Table" and its dashes
  for (std::size_t k = 1; k < kPenTableSize; ++k) {
    r.Skip(2);  // "Color" and the colour index, which the position already gives
    r.Skip();
    s.PenNumber[k] = r.Int();
    r.Skip();
    s.PenSpeed[k] = r.Int();
  }
  r.Skip(2);  // "End of Pen Table" and its dashes

  r.Skip();
  s.ShpLoad = r.YesNo();
  r.Skip();
  s.HelpLevel = r.Word();
  r.Skip();
  s.PrintDensity = r.Word();
  r.Skip();
  s.ScreenRotation = r.YesNo();
  r.Skip();
  s.PrinterType = r.Word();
  r.Skip();
  if (program.ErrorFlag) return false;  // checkpoint A: the file could not be read

  s.TempDir = r.Str();
  r.Skip();
  s.NcSyntax = r.Word();
  r.Skip();
  s.TextWidthFactor = r.Float();
  if (s.TextWidthFactor < 0.01L || s.TextWidthFactor > 100.0L) s.TextWidthFactor = 1.0L;
  r.Skip();
  s.TextStyle = r.Str(kTextStyleLength);
  if (r.AtEnd()) return false;  // checkpoint B

  r.Skip();
  s.ScreenWidthPx = r.Word();
  r.Skip();
  s.ScreenHeightPx = r.Word();
  r.Skip();
  FillScreenSize(program, 1, 1);
  s.HelpImageDir = r.Str();
  if (r.AtEnd()) return false;  // checkpoint C

  r.Skip();
  s.TextAngle = r.Float();
  r.Skip();
  s.CadDir = r.Str();
  r.Skip();
  s.DbfDir = r.Str();
  r.Skip();
  s.DecimalPlaces = std::clamp(r.Int(), -kDecimalPlacesBound, kDecimalPlacesBound);
  r.Skip();
  s.PrintDensityVertical = r.Word();
  r.Skip();
  r.Bool(s.ColourGraphics);
  r.Skip();
  s.AspectCorrection = r.Float();
  r.Skip();
  s.GraphicsMode = r.Int();
  r.Skip();
  s.GraphicsDriver = r.Int();
  r.Skip();
  s.ScreenPrintInterface = r.Word();
  r.Skip();
  s.EdiDir = r.Str();
  r.Skip();
  s.PageLayout = r.Word();
  r.Skip();
  s.LinesPerPage = r.Int();
  r.Skip();
  s.MakerDir = r.Str();
  r.Skip();
  s.DxfViewerCommand = r.Str();
  r.Skip();
  s.BackgroundColour = r.Int();
  r.Skip();
  s.WindowsPrintMode = r.Word();
  r.Skip();
  s.ScreenTextWidthFactor = r.Float();
  if (s.ScreenTextWidthFactor < 0.01L || s.ScreenTextWidthFactor > 100.0L)
    s.ScreenTextWidthFactor = textWidthFactor;
  r.Skip();
  s.ScreenTextFont = r.Str(kScreenTextFontLength);
  for (std::size_t k = 0; k < kScreenPenSlots; ++k) {
    r.Skip();
    s.ScreenPenColour[k] = r.Int();
    if (s.ScreenPenColour[k] == 0) s.ScreenPenColour[k] = static_cast<std::int32_t>(k + 1);
  }
  r.Skip();
  s.ScreendumpOriginX = r.Int();
  r.Skip();
  s.ScreendumpOriginY = r.Int();
  r.Skip();
  s.ScreendumpScale = r.Float();
  if (s.ScreendumpScale == 0.0L) s.ScreendumpScale = 1.0L;
  r.Skip();
  r.Bool(s.ScreendumpBorder);

  r.Skip(4);                  // the first two reserved entries
  if (!r.AtEnd()) r.Skip(2);  // the third one, which older files lack

  r.Skip();
  s.TextHeightFactor = r.Float();
  if (s.TextHeightFactor < 0.1L) s.TextHeightFactor = 1.0L;
  r.Skip();
  s.InputWindowScale = r.Int();
  if (s.InputWindowScale < 10 || s.InputWindowScale > 1000) s.InputWindowScale = 100;
  r.Skip();
  s.PrintScaleVertical = r.Float();
  if (s.PrintScaleVertical < 0.0001L) s.PrintScaleVertical = s.ScreendumpScale;
  r.Skip();
  r.Bool(s.PenFromWidth);

  if (s.WindowsPrintMode == 0) s.WindowsPrintMode = 1;
  if (!s.ColourGraphics) s.BackgroundColour = kWhite;
  return true;
}

void CheckConfigDirectories(Program& program) {
  Settings& s = program.settings;
  const std::string dir = WithTrailingSlash(program.programDir);
  // Only the test ignores blanks: a Linux directory name may contain them.
  if (IsBlank(s.TempDir)) s.TempDir = dir;
  if (IsBlank(s.HelpImageDir)) s.HelpImageDir = dir;
  if (!IsDirectory(s.HelpImageDir.empty() ? "." : s.HelpImageDir))
    program.Error("non valide HLP Annuaire configuré");
  if (!CanCreateFileIn(s.TempDir)) program.Error("non valide Annuaire provisoire configuré");
  s.EdiDir = s.TempDir;
}

void ReadConfig(Program& program, const std::string& name) {
  const std::string dir = WithTrailingSlash(program.programDir);
  std::string path;
  if (name.empty()) {
    std::optional<std::string> chosen = program.ui->OpenFileDialog("*.cfg", dir);
    if (!chosen) {
      program.ErrorFlag = true;
      return;
    }
    path = *chosen;
  } else {
    path = FindSettingsFile(dir, name + ".cfg");
  }

  std::ifstream in;
  if (!path.empty() && !IsDirectory(path)) in.open(path, std::ios::binary);
  if (!in.is_open()) {
    program.ErrorFlag = true;
    FillScreenSize(program, 10, 60);
    return;
  }
  if (ReadConfigStream(program, in)) CheckConfigDirectories(program);
}

void WriteConfig(Program& program) {
  const std::string dir = WithTrailingSlash(program.programDir);
  const std::string proposal = dir + kConfigSaveName;
  const int length = std::max(kFileNamePromptLength, static_cast<int>(proposal.size()));
  std::optional<std::string> entered = program.ui->PromptText("Filename: ", proposal, length, kNoHelp);
  if (!entered) {
    program.ErrorFlag = true;
    return;
  }
  const std::string path = *entered;

  // The settings directory comes into being with its first file.
  if (!dir.empty() && DirectoryPart(path) == dir) EnsureDir(dir);

  if (PathExists(path) && path.find("actuel") == std::string::npos) {
    if (program.ui->AskYesNoCancel(path + " Existe déjà.   Titre ?") != Answer::Yes) {
      program.ErrorFlag = true;
      return;
    }
  }
  if (!TargetUsable(path)) {
    program.ui->ShowError("Nom de fichier non valide \"" + path + "\" !");
    program.ErrorFlag = true;
    return;
  }

  std::string reason;
  if (!WriteFileAtomically(path, ConfigFileText(program.settings), &reason)) {
    program.ui->ShowError("Erreur d'écriture du fichier \"" + path + "\" : " + reason +
                          " ; le fichier n'a pas été modifié.");
    program.ErrorFlag = true;
  }
}

}  // namespace plotvue
