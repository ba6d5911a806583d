#include "config/convsettings.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

#include "base/textnum.h"
#include "output/drivers.h"
#include "output/numformat.h"
#include "output/syntax.h"

namespace plotvue {

const std::array<const char*, 34> kPostscriptFonts = {
    "Times-Roman",           "Times-Italic",
    "Times-Bold",            "Times-BoldItalic",
    "Helvetica",             "Helvetica-Oblique",
    "Helvetica-Bold",        "Helvetica-BoldOblique",
    "Helvetica-Narrow",      "Helvetica-Narrow-Oblique",
    "Helvetica-Narrow-Bold", "Helvetica-Narrow-BoldOblique",
    "Courier",               "Courier-Oblique",
    "Courier-Bold",          "Courier-BoldOblique",
    "Palatino-Roman",        "Palatino-Italic",
    "Palatino-Bold",         "Palatino-BoldItalic",
    "AvantGarde-Book",       "AvantGarde-Demi",
    "AvantGarde-BookOblique", "AvantGarde-DemiOblique",
    "Bookman-Light",         "Bookman-Demi",
    "Bookman-LightItalic",   "Bookman-DemiItalic",
    "NewCenturySchlbk-Roman", "NewCenturySchlbk-Bold",
    "NewCenturySchlbk-Italic", "NewCenturySchlbk-BoldItalic",
    "ZapfChancery-MediumItalic", "Symbol",
};

namespace {

// Help topics of the prompts.
constexpr int kSyntaxHelp = 5130;
constexpr int kDeviceHelp = 5140;
constexpr int kBaudHelp = 5150;
constexpr int kDataBitsHelp = 5160;
constexpr int kStopBitsHelp = 5170;
constexpr int kParityHelp = 5180;
constexpr int kLptHelp = 5190;
constexpr int kFileNameHelp = 5200;
constexpr int kMaxElementsHelp = 5210;
constexpr int kPenWidthHelp = 5215;
constexpr int kScaleHelp = 5220;
constexpr int kOriginHelp = 5230;
constexpr int kRotateHelp = 5240;
constexpr int kShpHelp = 5250;
constexpr int kDepthHelp = 5260;
constexpr int kDistanceHelp = 5270;
constexpr int kFontHelp = 5280;
constexpr int kTextWidthHelp = 5290;
constexpr int kNcHelp = 5350;
constexpr int kGarminHelp = 5500;

// A text whose every "0" is a "1" has the same form: it reads as a number exactly when the
// original does, and never as 0 (so a typed zero is told apart from text that is no number).
std::string WithoutZeros(std::string text) {
  for (char& c : text)
    if (c == '0') c = '1';
  return text;
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

void Refuse(Program& program, const std::string& message) {
  program.ui->Beep();
  program.ui->ShowError(message);
}

std::string InvalidText(const std::string& text) {
  return "Présentation non valide \"" + text + "\" !";
}

// The sequence's prompts: each returns false when cancelled, after setting ErrorFlag.
class Prompts {
 public:
  explicit Prompts(Program& program) : p_(program) {}

  template <typename T>
  bool Choice(const std::string& caption, const std::vector<std::string>& options, T& value,
              int help) {
    std::optional<int> answer =
        p_.ui->PromptChoice(caption, options, static_cast<int>(value), help);
    if (!answer || *answer < 1 || *answer > static_cast<int>(options.size())) return Cancel();
    value = static_cast<T>(*answer);
    return true;
  }
  bool YesNo(const std::string& question, char& value, int help) {
    std::optional<bool> answer = p_.ui->PromptYesNo(question, value == 'J', help);
    if (!answer) return Cancel();
    value = *answer ? 'J' : 'N';
    return true;
  }
  bool Text(const std::string& caption, std::string& value, int maxLength, int help) {
    std::optional<std::string> answer = p_.ui->PromptText(caption, value, maxLength, help);
    if (!answer) return Cancel();
    value = *answer;
    return true;
  }
  bool Number(const std::string& caption, long double& value, long double min, long double max,
              int help) {
    return AskNumber(p_, caption, value, min, max, help) || Cancel();
  }
  bool Integer(const std::string& caption, std::int32_t& value, std::int32_t min,
               std::int32_t max, int help) {
    return AskInteger(p_, caption, value, min, max, help) || Cancel();
  }

 private:
  bool Cancel() {
    p_.ErrorFlag = true;
    return false;
  }
  Program& p_;
};

std::vector<std::string> Names(std::initializer_list<const char*> names) {
  return std::vector<std::string>(names.begin(), names.end());
}

// Steps 1 to 3: syntax, device, and the device's port or file options. False when the sequence
// ends here.
bool AskDevice(Program& p, Prompts& ask, const GarminOptions& garmin) {
  Settings& s = p.settings;
  std::vector<std::string> syntaxes;
  for (const SyntaxInfo& info : kSyntaxes) syntaxes.push_back(info.listName);
  if (!ask.Choice("Plot-Syntax", syntaxes, s.SyntaxCode, kSyntaxHelp)) return false;
  std::vector<std::string> devices(kDeviceNames.begin(), kDeviceNames.end());
  if (!ask.Choice("appareil de sortie", devices, s.DeviceCode, kDeviceHelp)) return false;

  switch (s.DeviceCode) {
    case 1:
      return ask.Choice("Serial Port", Names({"COM1", "COM2", "COM3", "COM4"}), s.SerialPort,
                        kDeviceHelp) &&
             ask.Choice("Baud Rate",
                        Names({"110 Baud", "150 Baud", "300 Baud", "600 Baud", "1200 Baud",
                               "2400 Baud", "4800 Baud", "9600 Baud"}),
                        s.BaudRateCode, kBaudHelp) &&
             ask.Choice("Data Bits", Names({"7 Data Bits", "8 Data Bits"}), s.DataBitsCode,
                        kDataBitsHelp) &&
             ask.Choice("Stop Bits", Names({"1 Stopbit", "2 Stopbits"}), s.StopBits,
                        kStopBitsHelp) &&
             ask.Choice("Parity", Names({"no parity", "odd", "even"}), s.ParityCode, kParityHelp);
    case 2:
      return ask.Choice("parallel Port", Names({"LPT1", "LPT2", "LPT3"}), s.LPT, kLptHelp);
    case 3: {
      const std::string ext = OutputExtension(s.SyntaxCode, garmin);
      const std::string caption = "Nom de fichier (sans Extention ." + ext + ") ";
      do {
        if (!ask.Text(caption, s.PlotFile, 30, kFileNameHelp)) return false;
      } while (s.PlotFile.find('.') != std::string::npos);
      s.PlotFile = Upper(s.PlotFile);
      if (ext == s.FileExtension && s.PlotFile == p.file.base) {
        p.ui->ShowError(
            "Le fichier source et le fichier de destination ne doivent pas être identiques !");
        s.PlotFile = "XXXXXXXX";
        p.ErrorFlag = true;
        return false;
      }
      if (!ask.Integer("Nombre max. d'éléments de dessin dans 1 fichier", s.MaxFileElements, 10,
                       1000000000, kMaxElementsHelp))
        return false;
      char penFromWidth = s.PenFromWidth ? 'J' : 'N';
      if (!ask.YesNo("Convert Pen Width to Pen Number ? (Pen=20*PW)", penFromWidth,
                     kPenWidthHelp))
        return false;
      s.PenFromWidth = penFromWidth != 'N';
      return true;
    }
    default:
      return true;
  }
}

// Step 9: the options of the chosen syntax.
bool AskSyntaxOptions(Program& p, Prompts& ask, GarminOptions& garmin) {
  Settings& s = p.settings;
  switch (static_cast<Syntax>(s.SyntaxCode)) {
    case Syntax::Cnc:
      return ask.Number("Profondeur de coupe [mm] ", s.Fraestiefe, 0.0L, 100.0L, kDepthHelp) &&
             ask.Number("Distance d'outil à la surface de la pièce [mm] ", s.WerkzeugAbstand,
                        0.0L, 100.0L, kDistanceHelp) &&
             ask.Choice("NC - Code",
                        Names({"DIN 66025", "SM - Code", "Deckel", "DIN 66025 (circle->hole)"}),
                        s.NcSyntax, kNcHelp);
    case Syntax::Postscript: {
      std::vector<std::string> fonts(kPostscriptFonts.begin(), kPostscriptFonts.end());
      fonts.push_back("andere Schriften");
      int font = static_cast<int>(fonts.size());
      if (!ask.Choice("Utiliser jeu de charactères Postscript", fonts, font, kFontHelp))
        return false;
      if (font == static_cast<int>(fonts.size())) {
        std::string style = s.TextStyle;
        if (!ask.Text("Entrer font de texte Postscript", style, 28, kFontHelp)) return false;
        s.TextStyle = style.substr(0, 32);
      } else {
        s.TextStyle = fonts[static_cast<std::size_t>(font - 1)];
      }
      return true;
    }
    case Syntax::Dxf: {
      std::string style = s.TextStyle;
      if (!ask.Text("Entrer font de texte", style, 28, kFontHelp)) return false;
      s.TextStyle = style.substr(0, 32);
      return true;
    }
    case Syntax::GarminGps:
      if (!ask.Choice("Select",
                      Names({"Glob. Coordinate System (unchanged)",
                             "Areal Coordinat System (convert x coords)"}),
                      s.NcSyntax, kGarminHelp))
        return false;
      if (s.NcSyntax == kGarminArealSystem &&
          !ask.Choice("X Reference", Names({"x min (left)", "x max (right)"}), garmin.XReference,
                      kGarminHelp))
        return false;
      return ask.Choice("File Type", Names({"WPT", "TRK", "GRM"}), garmin.FileType, kGarminHelp);
    default:
      return true;
  }
}

}  // namespace

bool ReadNumberAnswer(const std::string& text, long double& value) {
  long double v = TextToFloat(text);
  if (v == 0.0L && TextToFloat(WithoutZeros(text)) == 0.0L) return false;
  value = v;
  return true;
}

bool ReadIntegerAnswer(const std::string& text, std::int32_t& value) {
  std::int32_t v = TextToInt(text);
  if (v == 0 && TextToInt(WithoutZeros(text)) == 0) return false;
  value = v;
  return true;
}

bool AskNumber(Program& program, const std::string& caption, long double& value, long double min,
               long double max, int helpTopic) {
  const int decimals = program.settings.DecimalPlaces;
  for (;;) {
    const std::string preset = FormatShort(value, decimals);
    std::optional<std::string> answer = program.ui->PromptText(caption, preset, 30, helpTopic);
    if (!answer) return false;
    if (*answer == preset) return true;
    long double v = 0.0L;
    if (!ReadNumberAnswer(*answer, v)) {
      Refuse(program, InvalidText(*answer));
      continue;
    }
    if (!(v >= min && v <= max)) {
      Refuse(program, "Donnée valide: " + FormatShort(min, decimals) + " .. " +
                          FormatShort(max, decimals) + " !");
      continue;
    }
    value = v;
    return true;
  }
}

bool AskInteger(Program& program, const std::string& caption, std::int32_t& value,
                std::int32_t min, std::int32_t max, int helpTopic) {
  for (;;) {
    const std::string preset = std::to_string(value);
    std::optional<std::string> answer = program.ui->PromptText(caption, preset, 12, helpTopic);
    if (!answer) return false;
    if (*answer == preset) return true;
    std::int32_t v = 0;
    if (!ReadIntegerAnswer(*answer, v)) {
      Refuse(program, InvalidText(*answer));
      continue;
    }
    if (v < min || v > max) {
      Refuse(program,
             "Donnée valide: " + std::to_string(min) + " .. " + std::to_string(max) + " !");
      continue;
    }
    value = v;
    return true;
  }
}

void AskConverterSettings(Program& program, GarminOptions& garmin,
                          const EditorLauncher& openEditor) {
  if (program.ErrorFlag) return;
  Settings& s = program.settings;
  Prompts ask(program);
  if (!AskDevice(program, ask, garmin)) return;

  if (!ask.Number("Echelle «tracer»", s.PlotScale, 0.00001L, 10000.0L, kScaleHelp)) return;
  if (!ask.Number("Coin gauche en bas du dessin X [mm]", s.PlotOriginX, -10000.0L, 10000.0L,
                  kOriginHelp))
    return;
  if (!ask.Number("Coin gauche en bas du dessin Y [mm]", s.PlotOriginY, -10000.0L, 10000.0L,
                  kOriginHelp))
    return;

  const auto syntax = static_cast<Syntax>(s.SyntaxCode);
  if (syntax == Syntax::Hpgl || syntax == Syntax::Aristo || syntax == Syntax::Postscript ||
      syntax == Syntax::HpglLaser) {
    if (!ask.YesNo("Tourner le tracion en 90 degrée ?", s.Rotate90, kRotateHelp)) return;
  } else {
    s.Rotate90 = 'N';
  }
  if (syntax == Syntax::Lasercomb) s.NcSyntax = 1;

  if (syntax == Syntax::Lasercomb || syntax == Syntax::Cnc) {
    s.UseShpFont = 'J';
  } else if (syntax == Syntax::Hpgl || syntax == Syntax::Aristo) {
    if (s.ShpLoad == 'N') {
      s.UseShpFont = 'N';
    } else if (!ask.YesNo("Utiliser le font de texte externe TXT.SHP ?", s.UseShpFont,
                          kShpHelp)) {
      return;
    }
  } else {
    s.UseShpFont = 'N';
  }

  if (!AskSyntaxOptions(program, ask, garmin)) return;
  if (!ask.Number("Coefficient de correction de la largeur du texte  (0.1..10)  ",
                  s.TextWidthFactor, 0.01L, 100.0L, kTextWidthHelp))
    return;

  if (syntax == Syntax::Aristo) {
    const Answer answer = program.ui->AskYesNoCancel("Réviser le file d'initialisation ?");
    if (answer == Answer::Cancel) {
      program.ErrorFlag = true;
      return;
    }
    if (answer == Answer::Yes) {
      std::string dir = s.HelpImageDir.empty() ? program.programDir : s.HelpImageDir;
      if (!dir.empty() && dir.back() != '/') dir += '/';
      const std::string path = dir + "ARISTO.TXT";
      if (!openEditor || !openEditor(path))
        program.ui->ShowError("Aucun éditeur pour " + path + " !");
    }
  }
}

bool OpenInEditor(const std::string& path) {
  const char* visual = std::getenv("VISUAL");
  const char* editor = std::getenv("EDITOR");
  std::string command;
  if (visual && *visual)
    command = visual;
  else if (editor && *editor)
    command = editor;
  else
    command = "xdg-open";
  // The editor's command line may hold options ("gvim -f"): the shell splits it, and the path
  // goes as one word of its own. The editor is a grandchild, so no child is left to reap.
  // Everything is built before the fork: the child of a program with threads may only make
  // system calls.
  const std::string script = command + " \"$1\"";
  pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    ::setsid();
    pid_t editorPid = ::fork();
    if (editorPid == 0) {
      ::execl("/bin/sh", "sh", "-c", script.c_str(), "sh", path.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::_exit(editorPid < 0 ? 1 : 0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace plotvue
