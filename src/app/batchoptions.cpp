#include "app/batchoptions.h"

#include <glob.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/textnum.h"
#include "output/syntax.h"

namespace plotvue {

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lower(std::string s) {
  for (char& c : s) c = LowerAscii(c);
  return s;
}

bool IsPlainFile(const char* path) {
  struct stat st {};
  return ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

// True when `text` is a number as TextToFloat (or TextToInt) reads it and not just text that
// reads as 0: a text that gives 0 is a number exactly when it gives a value other than 0 once
// its first "0" digit is made a "1" (changing a digit never changes whether a text is a number).
template <typename Read>
bool IsNumberText(const std::string& text, Read read) {
  if (read(text) != 0) return true;
  std::string::size_type zero = text.find('0');
  if (zero == std::string::npos) return false;
  std::string probe = text;
  probe[zero] = '1';
  return read(probe) != 0;
}

bool ReadFloat(const std::string& text, long double& value) {
  if (!IsNumberText(text, [](std::string_view t) { return TextToFloat(t); })) return false;
  value = TextToFloat(text);
  return true;
}

bool ReadInt(const std::string& text, std::int32_t& value) {
  if (!IsNumberText(text, [](std::string_view t) { return TextToInt(t); })) return false;
  value = TextToInt(text);
  return true;
}

// Reads `text` as a number and stores it in `target` when it lies in min..max.
bool SetInRange(const std::string& text, long double min, long double max, long double& target) {
  long double v = 0.0L;
  if (!ReadFloat(text, v) || !(v >= min && v <= max)) return false;
  target = v;
  return true;
}

// Reads `text` as a number and stores it in `target`.
bool SetNumber(const std::string& text, long double& target) {
  return ReadFloat(text, target);
}

// The output syntax whose file extension is `value` (any case), or 0.
int SyntaxByExtension(const std::string& value) {
  std::string ext = Lower(value);
  for (std::size_t k = 0; k < kSyntaxes.size(); ++k)
    if (ext == kSyntaxes[k].extension) return static_cast<int>(k) + 1;
  return 0;
}

// "/Vn=m" gives pen n (1..15) the output code m; "/V*=m" all fifteen pens. Other pen numbers
// change nothing.
bool SetPenTable(const std::string& value, Settings& settings) {
  std::string::size_type eq = value.find('=');
  if (eq == std::string::npos) return false;
  std::string pen = value.substr(0, eq);
  std::int32_t code = 0;
  if (!ReadInt(value.substr(eq + 1), code)) return false;
  if (pen == "*") {
    for (int k = 1; k < kPenTableSize; ++k) settings.PenNumber[static_cast<std::size_t>(k)] = code;
    return true;
  }
  std::int32_t n = 0;
  if (!ReadInt(pen, n)) return false;
  if (n >= 1 && n < kPenTableSize) settings.PenNumber[static_cast<std::size_t>(n)] = code;
  return true;
}

}  // namespace

std::string BatchPattern(const std::string& first, const std::string& extension) {
  std::string::size_type slash = first.rfind('/');
  std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
  if (first.find('.', nameStart) != std::string::npos) return first;
  return first + "." + extension;
}

std::vector<std::string> MatchFiles(const std::string& pattern) {
  std::vector<std::string> files;
  glob_t g{};
  if (::glob(pattern.c_str(), GLOB_NOSORT | GLOB_TILDE, nullptr, &g) == 0) {
    for (std::size_t k = 0; k < g.gl_pathc; ++k)
      if (IsPlainFile(g.gl_pathv[k])) files.emplace_back(g.gl_pathv[k]);
  }
  ::globfree(&g);
  return files;
}

bool ApplyBatchOption(const std::string& param, Settings& settings, BatchRequest& request) {
  if (param.size() < 2 || (param[0] != '/' && param[0] != '-')) return false;
  const std::string value = param.substr(2);
  switch (UpperAscii(param[1])) {
    case '?':
      request.usage = true;
      return true;
    case 'A':
      return SetInRange(value, 0.0L, 100.0L, settings.WerkzeugAbstand);
    case 'B':
      return SetInRange(value, 0.01L, 100.0L, settings.TextWidthFactor);
    case 'C': {
      int code = SyntaxByExtension(value);
      if (code == 0) return false;
      settings.SyntaxCode = static_cast<std::uint16_t>(code);
      request.convert = true;
      return true;
    }
    case 'D': {
      std::int32_t device = TextToInt(value);
      settings.DeviceCode = static_cast<std::uint16_t>(device >= 1 && device <= 3 ? device : 3);
      return true;
    }
    case 'F':
      settings.PlotFile = value;
      request.PlotFile = value;
      return true;
    case 'G':
      request.print = true;
      return true;
    case 'H':
    case 'I':
      return true;
    case 'L': {
      std::int32_t mode = 0;
      if (!ReadInt(value, mode) || mode < 1 || mode > 4) return false;
      settings.NcSyntax = static_cast<std::uint16_t>(mode);
      return true;
    }
    case 'M':
      return SetInRange(value, 0.00001L, 10000.0L, settings.PlotScale);
    case 'N': {
      std::int32_t count = 0;
      if (!ReadInt(value, count) || count < 1) return false;
      settings.MaxFileElements = count;
      return true;
    }
    case 'P':
      return SetNumber(value, settings.Panorama);
    case 'R':
      settings.Rotate90 = 'J';
      return true;
    case 'T':
      return SetInRange(value, 0.0L, 100.0L, settings.Fraestiefe);
    case 'V':
      return SetPenTable(value, settings);
    case 'X':
      return SetInRange(value, -10000.0L, 10000.0L, settings.PlotOriginX);
    case 'Y':
      return SetInRange(value, -10000.0L, 10000.0L, settings.PlotOriginY);
    case 'Z':
      return SetNumber(value, settings.Zoom);
    default:
      return false;
  }
}

std::string UsageText() {
  return "ordre:  plotvue fichier DXF [/Cxxx] [/Mx] [/Xx] [/Yx] [/Dx] [/Bx] [/Fx]\n"
         "        /Cxxx  code cible (HPL, PLT, ART, PS, PL2)\n"
         "        /Mx    échelle 0.01 .. 100, /M* plein écran\n"
         "        /Xx    shift of the zero point x [mm]\n"
         "        /Yx    shift of the zero point y [mm]\n"
         "        /Q     annuler le placement automatique à (0/0)\n"
         "        /Dx    1 serial, 2 parallel, 3 file\n"
         "        /Fx    nom du fichier cible sans extension\n"
         "        /Bx    facteur de largeur du texte\n"
         "        /Gx    plus or minus degrees\n"
         "        /Tx    text style for Postscript printing\n"
         "        /Vn=m  line width (laser printer) or pen number (plotter)\n"
         "        /Tx    profondeur de fraisage [mm], /Ax distance de l'outil à la surface [mm]\n"
         "        /Lx    CNC mode (1 DIN 66025, 2 SM, 3 Deckel, 4 drill)\n"
         "        /G     printout to the default printer\n"
         "exemp.: plotvue A*.DXF /CHPL /M0.5 /D2 /V1=1 /V2=1 /V3=1\n"
         "        traite tous les fichiers DXF dont le nom commence par A\n";
}

}  // namespace plotvue
