// Tests of the settings file: the exact bytes written, reading with its checkpoints and range
// checks, the save and load dialogs, atomic replacement of the file, and the settings paths.
#include "config/configio.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "base/fileutil.h"
#include "config/paths.h"

namespace plotvue {
namespace {

namespace fs = std::filesystem;

class RecordingUi : public UserInteraction {
 public:
  struct Prompt {
    std::string caption, initial;
    int maxLength;
  };
  void ShowError(const std::string& t) override { errors.push_back(t); }
  void ShowMessage(const std::string& t) override { messages.push_back(t); }
  Answer AskYesNoCancel(const std::string& t) override {
    questions.push_back(t);
    return answer;
  }
  std::optional<std::string> PromptText(const std::string& caption, const std::string& initial,
                                        int maxLength, int) override {
    prompts.push_back({caption, initial, maxLength});
    return keepProposal ? std::optional<std::string>(initial) : promptReply;
  }
  std::optional<std::string> OpenFileDialog(const std::string& filter,
                                            const std::string& initialDir) override {
    dialogs.push_back(filter + "|" + initialDir);
    return openReply;
  }
  int ScreenWidthPx() const override { return 1024; }
  int ScreenHeightPx() const override { return 768; }

  std::vector<std::string> errors, messages, questions, dialogs;
  std::vector<Prompt> prompts;
  Answer answer = Answer::Yes;
  bool keepProposal = true;
  std::optional<std::string> promptReply;
  std::optional<std::string> openReply;
};

std::string Join(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  return s;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0, end;
  while ((end = text.find("\r\n", start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Position just after the value line of the first entry labelled `label`.
std::string::size_type EndOfEntry(const std::string& text, const std::string& label) {
  std::string::size_type at = text.find("\r\n" + label + "\r\n");
  if (at == std::string::npos) throw std::logic_error("no label " + label);
  std::string::size_type value = at + label.size() + 4;
  return text.find("\r\n", value) + 2;
}

std::string ValueOf(const std::string& text, const std::string& label) {
  std::string::size_type end = EndOfEntry(text, label) - 2;
  std::string::size_type begin = text.rfind("\r\n", end - 1);
  return text.substr(begin + 2, end - begin - 2);
}

std::string WithValue(std::string text, const std::string& label, const std::string& value) {
  std::string::size_type end = EndOfEntry(text, label) - 2;
  std::string::size_type begin = text.rfind("\r\n", end - 1) + 2;
  return text.replace(begin, end - begin, value);
}

std::string CutAfter(const std::string& text, const std::string& label) {
  return text.substr(0, EndOfEntry(text, label));
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

bool ReadText(Program& p, const std::string& text) {
  std::istringstream in(text);
  return ReadConfigStream(p, in);
}

// clang-format off
// Settings that differ from the defaults in every field and survive the file's formats exactly.
Settings Sample(const std::string& dir) {
  Settings s;
  s.SyntaxCode = 4, s.DeviceCode = 2, s.PlotScale = 2.5L, s.PlotOriginX = -12.25L;
  s.PlotOriginY = 7.5L, s.Rotate90 = 'J', s.UseShpFont = 'J', s.SerialPort = 3;
  s.BaudRateCode = 5, s.DataBitsCode = 1, s.StopBits = 2, s.ParityCode = 3, s.PlotFile = "OUT";
  s.MaxFileElements = 1234, s.FileExtension = "hpg", s.Fraestiefe = 0.75L;
  s.WerkzeugAbstand = 2.125L, s.InPath = "/data/plots/", s.Zoom = 1.5L, s.Panorama = 0.25L;
  s.LPT = 3;
  for (int k = 1; k < kPenTableSize; ++k) s.PenNumber[k] = 15 - k, s.PenSpeed[k] = 100 + k;
  s.ShpLoad = 'J', s.HelpLevel = 2, s.PrintDensity = 3, s.ScreenRotation = 'N';
  s.PrinterType = 5, s.TempDir = dir, s.NcSyntax = 3, s.TextWidthFactor = 0.75L;
  s.TextStyle = "ROMANS", s.ScreenWidthPx = 800, s.ScreenHeightPx = 600, s.HelpImageDir = dir;
  s.TextAngle = 12.5L, s.CadDir = "/cad dir/", s.DbfDir = "/dbf/", s.DecimalPlaces = 3;
  s.PrintDensityVertical = 2, s.AspectCorrection = 1.25L, s.GraphicsMode = 4;
  s.GraphicsDriver = -1, s.ScreenPrintInterface = 2, s.EdiDir = "/edi/", s.PageLayout = 1;
  s.LinesPerPage = 72, s.MakerDir = "/maker/", s.DxfViewerCommand = "viewer --open";
  s.BackgroundColour = 0x102030, s.WindowsPrintMode = 2, s.ScreenTextWidthFactor = 0.75L;
  s.ScreenTextFont = "DejaVu Sans";
  for (int k = 0; k < kScreenPenSlots; ++k) s.ScreenPenColour[k] = 16 - k;
  s.ScreendumpOriginX = 10, s.ScreendumpOriginY = -20, s.ScreendumpScale = 1.5L;
  s.ScreendumpBorder = true, s.TextHeightFactor = 1.25L, s.InputWindowScale = 150;
  s.PrintScaleVertical = 0.875L, s.PenFromWidth = true;
  return s;
}

void ExpectSameSettings(const Settings& a, const Settings& b) {
#define SAME(f) EXPECT_EQ(a.f, b.f) << #f
  SAME(SyntaxCode); SAME(DeviceCode); SAME(PlotScale); SAME(PlotOriginX); SAME(PlotOriginY);
  SAME(Rotate90); SAME(UseShpFont); SAME(SerialPort); SAME(BaudRateCode); SAME(DataBitsCode);
  SAME(StopBits); SAME(ParityCode); SAME(PlotFile); SAME(MaxFileElements); SAME(FileExtension);
  SAME(Fraestiefe); SAME(WerkzeugAbstand); SAME(InPath); SAME(Zoom); SAME(Panorama); SAME(LPT);
  SAME(PenNumber); SAME(PenSpeed); SAME(ShpLoad); SAME(HelpLevel); SAME(PrintDensity);
  SAME(ScreenRotation); SAME(PrinterType); SAME(TempDir); SAME(NcSyntax); SAME(TextWidthFactor);
  SAME(TextStyle); SAME(ScreenWidthPx); SAME(ScreenHeightPx); SAME(HelpImageDir); SAME(TextAngle);
  SAME(CadDir); SAME(DbfDir); SAME(DecimalPlaces); SAME(PrintDensityVertical);
  SAME(ColourGraphics); SAME(AspectCorrection); SAME(GraphicsMode); SAME(GraphicsDriver);
  SAME(ScreenPrintInterface); SAME(PageLayout); SAME(LinesPerPage); SAME(MakerDir);
  SAME(DxfViewerCommand); SAME(BackgroundColour); SAME(WindowsPrintMode);
  SAME(ScreenTextWidthFactor); SAME(ScreenTextFont); SAME(ScreenPenColour);
  SAME(ScreendumpOriginX); SAME(ScreendumpOriginY); SAME(ScreendumpScale); SAME(ScreendumpBorder);
  SAME(TextHeightFactor); SAME(InputWindowScale); SAME(PrintScaleVertical); SAME(PenFromWidth);
#undef SAME
}
// clang-format on

// Sets environment variables for the life of the object and restores them afterwards.
class EnvGuard {
 public:
  ~EnvGuard() {
    for (auto& [name, old] : saved_)
      old ? setenv(name.c_str(), old->c_str(), 1) : unsetenv(name.c_str());
  }
  void Set(const std::string& name, const char* value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    value ? setenv(name.c_str(), value, 1) : unsetenv(name.c_str());
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = TempDirectory() + "plotvue-cfg-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    scratch = tmpl + "/";
    program.programDir = scratch;
  }
  void TearDown() override {
    chmod(scratch.c_str(), 0700);
    fs::remove_all(scratch);
  }
  std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
    return names;
  }

  std::string scratch;
  RecordingUi ui;
  Program program{ui};
};

// ---- The bytes of the file -------------------------------------------------------------------

// The default file, compared line by line (label and value on one row of the tables below).
// clang-format off
TEST(ConfigFileTextTest, DefaultFileIsByteExact) {
  const std::string text = ConfigFileText(Settings{});
  EXPECT_EQ(Lines(text).size(), 254u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'));
  EXPECT_EQ(std::count(text.begin(), text.end(), static_cast<char>(0x82)), 7);  // "é"
  EXPECT_EQ(std::count(text.begin(), text.end(), static_cast<char>(0x8A)), 1);  // "è"

  const std::string head = Join({
      "PLOTVUE  Configuration", "Version 8.3",
      "SyntaxCode (Postscript)", "10",
      "DeviceCode (File)", "3",
      "PlotScale", "1.000",
      "Plotursprung x", "0.00",
      "Plotursprung y", "0.00",
      "Rotate 90 degrees ?", "N",
      "Use Extern TextFont TXT.SHP ?", "N",
      "Serial Port", "1",
      "Baud Rate Code", "8",
      "DataBitsCode", "2",
      "Stop Bits", "1",
      "ParityCode", "1",
      "PlotFile", "PLOT",
      "MaxFileElements", "500000",
      "FileExtension", "plt",
      "Fraestiefe", " 3.00000000000000E-0001",
      "WerkzeugAbstand", " 1.00000000000000E+0000",
      "InPath", "",
      "Zoom", " 1.20000000000000E+0000",
      "Panorama", " 1.00000000000000E-0001",
      "LPT", "1",
      "Begin of Pen Table", "---------------------------",
      "Color", "1", "Pen Number", "1", "Pen Speed", "500",
      "Color", "2", "Pen Number", "2", "Pen Speed", "500"});
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_NE(text.find(Join({"Color", "8", "Pen Number", "0", "Pen Speed", "500"})),
            std::string::npos);

  std::vector<std::string> tail = {
      "Color", "15", "Pen Number", "7", "Pen Speed", "500",
      "End of Pen Table", "---------------------------",
      "SHP laden ?", "N",
      "Niveau d'aide", "1",
      "Densit\202 d'impression", "1",
      "Rotation de l'image \202cran?", "J",
      "Type d'imprimante", "3",
      "Annuaire provisoire", "",
      "NC-Syntax", "1",
      "Largeur/hauteur du texte", "1",
      "Style de texte", "TXT8",
      "Grains horizontals de l'\202cran", "0",
      "Grains verticals de l'\202cran", "0",
      "PLT Annuaire", "",
      "Angle du texte", "0",
      "CAD Annuaire", "",
      "DBF Annuaire", "",
      "Nombre de d\202cimales", "3",
      "Densit\202 d'impression verticale", "1",
      "Couleur des graphiques", "TRUE",
      "Correcteur d'agrandissement horizontal", "1",
      "Mode Graphique", "0",
      "Lecteur de Graphique", "0",
      "Interface-imprimante de l'image \202cran", "1",
      "EDI Annuaire", "",
      "Mise en page", "2",
      "Nombres de lignes par page", "66",
      "Annuaire TAVOLIN ", "",
      "KORVELT commande", "",
      "Couleur de l'arri\212re plan", "1",
      "Mode d'impression Windows (1=mono 2=couleur)", "1",
      "Largeur/hauteur du texte Graphique", "0.8000000",
      "Style de texte Graphique", "Arial"};
  for (int k = 1; k <= 16; ++k) {
    tail.push_back("Couleur Layer " + std::to_string(k + 15));
    tail.push_back(std::to_string(k));
  }
  for (const char* l : {
      "Windows Screendump Origin X", "0",
      "Windows Screendump Origin Y", "0",
      "Windows Screendump Scale", "1.0000000",
      "Windows Screendump Border ?", "FALSE",
      "Reserved 1", "0",
      "Reserved 2", "0",
      "Reserved 3", "0",
      "Text Height Factor", "1.0000000",
      "Input Window Scale %", "102",
      "Print Scale Vertical", "1.0000000",
      "SelectPen = PenWidth * 20", "FALSE"})
    tail.push_back(l);
  const std::string tailText = Join(tail);
  ASSERT_GE(text.size(), tailText.size());
  EXPECT_EQ(text.substr(text.size() - tailText.size()), tailText);
}
// clang-format on

TEST(ConfigFileTextTest, ValueFormats) {
  struct Case {
    std::function<void(Settings&)> set;
    std::string label, value;
  };
  const std::vector<Case> cases = {
      {[](Settings& s) { s.PlotScale = 12345.6789L; }, "PlotScale", "12345.679"},
      {[](Settings& s) { s.PlotScale = -2.5L; }, "PlotScale", "-2.500"},
      {[](Settings& s) { s.PlotOriginX = -3.456L; }, "Plotursprung x", "-3.46"},
      {[](Settings& s) { s.PlotOriginY = 1234.5L; }, "Plotursprung y", "1234.50"},
      {[](Settings& s) { s.Fraestiefe = -12.5L; }, "Fraestiefe", "-1.25000000000000E+0001"},
      {[](Settings& s) { s.Fraestiefe = 0; }, "Fraestiefe", " 0.00000000000000E+0000"},
      {[](Settings& s) { s.Zoom = 1e-300L; }, "Zoom", " 1.00000000000000E-0300"},
      {[](Settings& s) { s.Zoom = NAN; }, "Zoom", " 0.00000000000000E+0000"},
      {[](Settings& s) { s.PlotScale = INFINITY; }, "PlotScale", "0.000"},
      {[](Settings& s) { s.TextWidthFactor = 1.5L; }, "Largeur/hauteur du texte", "1.5"},
      {[](Settings& s) { s.TextWidthFactor = 1.5L, s.DecimalPlaces = 4; },
       "Largeur/hauteur du texte", "1.50"},
      {[](Settings& s) { s.ScreendumpScale = 0; }, "Windows Screendump Scale", "0"},
      {[](Settings& s) { s.ScreendumpScale = -2; }, "Windows Screendump Scale", "-2"},
      {[](Settings& s) { s.ScreendumpScale = 2; }, "Windows Screendump Scale", "2.0000000"},
      {[](Settings& s) { s.TextHeightFactor = 0.5L; }, "Text Height Factor", "0.5000000"},
      {[](Settings& s) { s.DecimalPlaces = 4; }, "Largeur/hauteur du texte Graphique",
       "0.80000000"},
      {[](Settings& s) { s.ColourGraphics = false; }, "Couleur des graphiques", "FALSE"},
      {[](Settings& s) { s.PlotFile = "A\r\nB"; }, "PlotFile", "AB"},
      {[](Settings& s) { s.Rotate90 = '\n'; }, "Rotate 90 degrees ?", "N"},
      {[](Settings& s) { s.HelpLevel = 65535; }, "Niveau d'aide", "65535"},
      {[](Settings& s) { s.DecimalPlaces = INT32_MIN; }, "Largeur/hauteur du texte", "1"},
  };
  for (const Case& c : cases) {
    Settings s;
    c.set(s);
    const std::string text = ConfigFileText(s);
    EXPECT_EQ(ValueOf(text, c.label), c.value) << c.label;
    EXPECT_EQ(Lines(text).size(), 254u) << c.label;
  }
  Settings s;
  s.SyntaxCode = 12, s.DeviceCode = 1;
  EXPECT_EQ(Lines(ConfigFileText(s))[2], "SyntaxCode (Garmin GPS)");
  EXPECT_EQ(Lines(ConfigFileText(s))[4], "DeviceCode (serial Port)");
}

// ---- Reading -----------------------------------------------------------------------------------

TEST_F(ConfigTest, SaveAndLoadGiveTheSameSettings) {
  program.settings = Sample(scratch);
  WriteConfig(program);
  ASSERT_FALSE(program.ErrorFlag);
  // Saved under the lower-case proposal, found by the start-up read of "PLOTVUE".
  RecordingUi ui2;
  Program loaded(ui2);
  loaded.programDir = scratch;
  ReadConfig(loaded, kConfigBaseName);
  EXPECT_FALSE(loaded.ErrorFlag);
  EXPECT_TRUE(ui2.errors.empty());
  ExpectSameSettings(loaded.settings, program.settings);
  EXPECT_EQ(loaded.settings.EdiDir, scratch);  // always TempDir after reading
}

TEST(ConfigReadTest, LfOnlyAndCrLfFilesReadAlike) {
  const std::string text = ConfigFileText(Sample("/tmp/"));
  std::string lf = text;
  for (std::string::size_type at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
  for (const std::string& input : {text, lf}) {
    SilentInteraction ui;
    Program p(ui);
    EXPECT_TRUE(ReadText(p, input));
    EXPECT_EQ(ConfigFileText(p.settings), text);
    EXPECT_FALSE(p.ErrorFlag);
  }
}

TEST(ConfigReadTest, ConversionsAndRangeChecks) {
  struct Case {
    std::string label, value;
    std::function<void(const Settings&)> check;
  };
  const std::vector<Case> cases = {
      {"Fraestiefe", "1,5", [](auto& s) { EXPECT_EQ(s.Fraestiefe, 1.5L); }},
      {"PlotScale", " 2,25", [](auto& s) { EXPECT_EQ(s.PlotScale, 2.25L); }},
      {"PlotScale", "1,2,5", [](auto& s) { EXPECT_EQ(s.PlotScale, 0.0L); }},
      {"Zoom", "x", [](auto& s) { EXPECT_EQ(s.Zoom, 0.0L); }},
      {"Pen Number", "abc", [](auto& s) { EXPECT_EQ(s.PenNumber[1], 0); }},
      {"Pen Speed", "12abc", [](auto& s) { EXPECT_EQ(s.PenSpeed[1], 0); }},
      {"LPT", "7", [](auto& s) { EXPECT_EQ(s.LPT, 1); }},
      {"LPT", "0", [](auto& s) { EXPECT_EQ(s.LPT, 1); }},
      {"LPT", "4", [](auto& s) { EXPECT_EQ(s.LPT, 4); }},
      {"LPT", "65540", [](auto& s) { EXPECT_EQ(s.LPT, 4); }},  // low 16 bits
      {"Niveau d'aide", "-1", [](auto& s) { EXPECT_EQ(s.HelpLevel, 65535); }},
      {"Input Window Scale %", "5", [](auto& s) { EXPECT_EQ(s.InputWindowScale, 100); }},
      {"Input Window Scale %", "1001", [](auto& s) { EXPECT_EQ(s.InputWindowScale, 100); }},
      {"Input Window Scale %", "1000", [](auto& s) { EXPECT_EQ(s.InputWindowScale, 1000); }},
      {"Couleur Layer 20", "0", [](auto& s) { EXPECT_EQ(s.ScreenPenColour[4], 5); }},
      {"SyntaxCode (Postscript)", "13", [](auto& s) { EXPECT_EQ(s.SyntaxCode, 10); }},
      {"SyntaxCode (Postscript)", "0", [](auto& s) { EXPECT_EQ(s.SyntaxCode, 10); }},
      {"SyntaxCode (Postscript)", "12", [](auto& s) { EXPECT_EQ(s.SyntaxCode, 12); }},
      {"DeviceCode (File)", "4", [](auto& s) { EXPECT_EQ(s.DeviceCode, 3); }},
      {"Serial Port", "5", [](auto& s) { EXPECT_EQ(s.SerialPort, 1); }},
      {"Baud Rate Code", "9", [](auto& s) { EXPECT_EQ(s.BaudRateCode, 8); }},
      {"DataBitsCode", "3", [](auto& s) { EXPECT_EQ(s.DataBitsCode, 2); }},
      {"Stop Bits", "0", [](auto& s) { EXPECT_EQ(s.StopBits, 1); }},
      {"ParityCode", "4", [](auto& s) { EXPECT_EQ(s.ParityCode, 1); }},
      {"Largeur/hauteur du texte", "0.001", [](auto& s) { EXPECT_EQ(s.TextWidthFactor, 1); }},
      {"Largeur/hauteur du texte", "101", [](auto& s) { EXPECT_EQ(s.TextWidthFactor, 1); }},
      {"Largeur/hauteur du texte Graphique", "200",
       [](auto& s) { EXPECT_EQ(s.ScreenTextWidthFactor, kDefaultTextWidthFactor); }},
      {"Windows Screendump Scale", "0", [](auto& s) { EXPECT_EQ(s.ScreendumpScale, 1.0L); }},
      {"Text Height Factor", "0.05", [](auto& s) { EXPECT_EQ(s.TextHeightFactor, 1.0L); }},
      {"Mode d'impression Windows (1=mono 2=couleur)", "0",
       [](auto& s) { EXPECT_EQ(s.WindowsPrintMode, 1); }},
      {"Nombre de d\202cimales", "-2147483648", [](auto& s) { EXPECT_EQ(s.DecimalPlaces, -20); }},
      {"FileExtension", "abcdef", [](auto& s) { EXPECT_EQ(s.FileExtension, "abc"); }},
      {"Style de texte", std::string(40, 'S'),
       [](auto& s) { EXPECT_EQ(s.TextStyle, std::string(32, 'S')); }},
      {"Style de texte Graphique", std::string(70, 'F'),
       [](auto& s) { EXPECT_EQ(s.ScreenTextFont, std::string(60, 'F')); }},
      {"Windows Screendump Border ?", "true", [](auto& s) { EXPECT_TRUE(s.ScreendumpBorder); }},
      {"SelectPen = PenWidth * 20", "yes", [](auto& s) { EXPECT_FALSE(s.PenFromWidth); }},
      {"Rotate 90 degrees ?", "Jawohl", [](auto& s) { EXPECT_EQ(s.Rotate90, 'J'); }},
      {"SHP laden ?", "", [](auto& s) { EXPECT_EQ(s.ShpLoad, 'N'); }},
      {"Grains horizontals de l'\202cran", "0", [](auto& s) { EXPECT_EQ(s.ScreenWidthPx, 1023); }},
      {"Grains verticals de l'\202cran", "65535",
       [](auto& s) { EXPECT_EQ(s.ScreenHeightPx, 767); }},
  };
  for (const Case& c : cases) {
    RecordingUi ui;
    Program p(ui);
    Settings start;
    start.ScreenWidthPx = 640, start.ScreenHeightPx = 480;
    EXPECT_TRUE(ReadText(p, WithValue(ConfigFileText(start), c.label, c.value))) << c.label;
    c.check(p.settings);
    EXPECT_FALSE(p.ErrorFlag) << c.label;
  }
}

TEST(ConfigReadTest, PrintScaleBelowMinimumTakesScreendumpScale) {
  SilentInteraction ui;
  Program p(ui);
  std::string text = WithValue(ConfigFileText(Settings{}), "Windows Screendump Scale", "2.5");
  ReadText(p, WithValue(text, "Print Scale Vertical", "0,00001"));
  EXPECT_EQ(p.settings.PrintScaleVertical, 2.5L);
}

TEST(ConfigReadTest, MonochromeGraphicsForceWhiteBackground) {
  SilentInteraction ui;
  Program p(ui);
  std::string text = WithValue(ConfigFileText(Settings{}), "Couleur des graphiques", "False");
  ReadText(p, WithValue(text, "Couleur de l'arri\212re plan", "255"));
  EXPECT_FALSE(p.settings.ColourGraphics);
  EXPECT_EQ(p.settings.BackgroundColour, 0xFFFFFF);
}

TEST(ConfigReadTest, FileEndingAfterTextStyleKeepsTheRest) {
  SilentInteraction ui;
  Program p(ui);
  p.settings.ScreenTextFont = "Courier", p.settings.ColourGraphics = false;
  p.settings.BackgroundColour = 5;
  const std::string text = CutAfter(ConfigFileText(Sample("/x/")), "Style de texte");
  EXPECT_FALSE(ReadText(p, text));
  EXPECT_EQ(p.settings.TextStyle, "ROMANS");
  EXPECT_EQ(p.settings.PenSpeed[15], 115);
  EXPECT_EQ(p.settings.TempDir, "/x/");
  EXPECT_EQ(p.settings.ScreenTextFont, "Courier");
  EXPECT_EQ(p.settings.ScreenWidthPx, 0);  // not replaced at this checkpoint
  EXPECT_EQ(p.settings.BackgroundColour, 5);
  EXPECT_FALSE(p.ErrorFlag);
}

TEST(ConfigReadTest, FileEndingAfterHelpImageDirectory) {
  RecordingUi ui;
  Program p(ui);
  Settings s = Sample("/x/");
  s.ScreenWidthPx = 0, s.ScreenHeightPx = 65535;
  p.settings.TextAngle = 33;
  EXPECT_FALSE(ReadText(p, CutAfter(ConfigFileText(s), "PLT Annuaire")));
  EXPECT_EQ(p.settings.HelpImageDir, "/x/");
  EXPECT_EQ(p.settings.ScreenWidthPx, 1023);
  EXPECT_EQ(p.settings.ScreenHeightPx, 767);
  EXPECT_EQ(p.settings.TextAngle, 33);
}

TEST(ConfigReadTest, FileEndingAfterSecondReservedEntry) {
  SilentInteraction ui;
  Program p(ui);
  p.settings.TextHeightFactor = 2, p.settings.InputWindowScale = 500;
  p.settings.PrintScaleVertical = 3, p.settings.PenFromWidth = true;
  Settings s = Sample("/x/");
  s.ScreendumpScale = 2.5L;
  EXPECT_TRUE(ReadText(p, CutAfter(ConfigFileText(s), "Reserved 2")));
  EXPECT_EQ(p.settings.ScreenPenColour, s.ScreenPenColour);
  EXPECT_TRUE(p.settings.ScreendumpBorder);
  EXPECT_EQ(p.settings.TextHeightFactor, 1.0L);
  EXPECT_EQ(p.settings.InputWindowScale, 100);
  EXPECT_EQ(p.settings.PrintScaleVertical, 2.5L);
  EXPECT_FALSE(p.settings.PenFromWidth);
}

// A stream whose device fails after `good` bytes.
class FailingBuf : public std::streambuf {
 public:
  FailingBuf(std::string text, std::size_t good) : text_(std::move(text)) {
    setg(text_.data(), text_.data(), text_.data() + std::min(good, text_.size()));
  }

 protected:
  int_type underflow() override { throw std::runtime_error("read error"); }

 private:
  std::string text_;
};

TEST(ConfigReadTest, ReadErrorStopsAtFirstCheckpoint) {
  SilentInteraction ui;
  Program p(ui);
  p.settings.TempDir = "keep";
  const std::string text = ConfigFileText(Sample("/x/"));
  FailingBuf buf(text, text.find("Pen Speed"));
  std::istream in(&buf);
  EXPECT_FALSE(ReadConfigStream(p, in));
  EXPECT_TRUE(p.ErrorFlag);
  EXPECT_EQ(p.settings.PlotScale, 2.5L);
  EXPECT_EQ(p.settings.TempDir, "keep");
}

TEST_F(ConfigTest, MissingFileSetsErrorAndScreenSize) {
  ReadConfig(program, "NOPE");
  EXPECT_TRUE(program.ErrorFlag);
  EXPECT_EQ(program.settings.ScreenWidthPx, 1014);
  EXPECT_EQ(program.settings.ScreenHeightPx, 708);
  EXPECT_TRUE(ui.errors.empty());

  program.settings.ScreenWidthPx = 800, program.settings.ScreenHeightPx = 65535;
  fs::create_directory(scratch + "DIR.cfg");  // a directory is no settings file
  ReadConfig(program, "DIR");
  EXPECT_EQ(program.settings.ScreenWidthPx, 800);
  EXPECT_EQ(program.settings.ScreenHeightPx, 708);
}

TEST_F(ConfigTest, GarbageFileDoesNotCrash) {
  std::mt19937 rng(7);
  for (std::size_t size : {std::size_t{0}, std::size_t{5}, std::size_t{300000}}) {
    std::string junk(size, '\0');
    for (char& c : junk) c = static_cast<char>(rng() % 7 == 0 ? '\n' : rng() % 256);
    if (size > 1000) junk.replace(1000, 100000, 100000, 'x');  // one very long line
    WriteAll(scratch + "PLOTVUE.cfg", junk);
    program.settings = Settings{};
    ReadConfig(program, "PLOTVUE");
    const Settings& s = program.settings;
    EXPECT_GE(s.SyntaxCode, 1);
    EXPECT_LE(s.SyntaxCode, 12);
    EXPECT_EQ(Lines(ConfigFileText(s)).size(), 254u);
  }
}

TEST_F(ConfigTest, LoadThroughDialogReadsTheChosenFile) {
  fs::create_directory(scratch + "other");
  Settings s = Sample(scratch);
  WriteAll(scratch + "other/mine.cfg", ConfigFileText(s));
  ui.openReply = scratch + "other/mine.cfg";
  ReadConfig(program, "");
  ASSERT_EQ(ui.dialogs, std::vector<std::string>{"*.cfg|" + scratch});
  EXPECT_FALSE(program.ErrorFlag);
  EXPECT_EQ(program.settings.TextStyle, "ROMANS");

  ui.openReply.reset();
  program.settings = Settings{};
  ReadConfig(program, "");
  EXPECT_TRUE(program.ErrorFlag);
  EXPECT_EQ(program.settings.TextStyle, "TXT8");
}

TEST_F(ConfigTest, DirectoryChecksAfterReading) {
  WriteAll(scratch + "PLOTVUE.cfg", ConfigFileText(Settings{}));
  ReadConfig(program, "PLOTVUE");
  EXPECT_EQ(program.settings.TempDir, scratch);
  EXPECT_EQ(program.settings.HelpImageDir, scratch);
  EXPECT_EQ(program.settings.EdiDir, scratch);
  EXPECT_TRUE(ui.errors.empty());

  Settings bad;
  bad.TempDir = scratch + "no-temp/", bad.HelpImageDir = scratch + "no-help/";
  WriteAll(scratch + "PLOTVUE.cfg", ConfigFileText(bad));
  ReadConfig(program, "PLOTVUE");
  EXPECT_EQ(ui.errors, (std::vector<std::string>{"non valide HLP Annuaire configuré",
                                                 "non valide Annuaire provisoire configuré"}));
  EXPECT_EQ(program.settings.TempDir, bad.TempDir);
  EXPECT_EQ(program.settings.EdiDir, bad.TempDir);

  ui.errors.clear();
  program.MessagesEnabled = false;
  ReadConfig(program, "PLOTVUE");
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(Entries(scratch).size(), 1u) << "the writability test leaves nothing behind";
}

// ---- Saving ------------------------------------------------------------------------------------

TEST_F(ConfigTest, SaveProposesFileAndAsksBeforeReplacing) {
  const std::string path = scratch + "plotvue.cfg";
  WriteConfig(program);
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].caption, "Filename: ");
  EXPECT_EQ(ui.prompts[0].initial, path);
  EXPECT_EQ(ui.prompts[0].maxLength, 60);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(ReadAll(path), ConfigFileText(Settings{}));

  program.settings.PlotFile = "NEW";
  for (Answer refusal : {Answer::No, Answer::Cancel}) {
    ui.answer = refusal;
    program.ErrorFlag = false;
    WriteConfig(program);
    EXPECT_TRUE(program.ErrorFlag);
    EXPECT_EQ(ReadAll(path), ConfigFileText(Settings{}));
  }
  EXPECT_EQ(ui.questions.back(), path + " Existe déjà.   Titre ?");
  ui.answer = Answer::Yes;
  program.ErrorFlag = false;
  WriteConfig(program);
  EXPECT_FALSE(program.ErrorFlag);
  EXPECT_EQ(ReadAll(path), ConfigFileText(program.settings));
  EXPECT_EQ(Entries(scratch).size(), 1u);

  // A path holding "actuel" is replaced without asking.
  ui.keepProposal = false, ui.promptReply = scratch + "actuel.cfg";
  WriteAll(*ui.promptReply, "old");
  ui.questions.clear();
  WriteConfig(program);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(ReadAll(*ui.promptReply), ConfigFileText(program.settings));
}

TEST_F(ConfigTest, CancelAndInvalidNames) {
  ui.keepProposal = false;
  WriteConfig(program);  // prompt cancelled
  EXPECT_TRUE(program.ErrorFlag);
  EXPECT_TRUE(Entries(scratch).empty());

  for (const std::string& bad : {scratch + "missing/x.cfg", scratch, std::string()}) {
    ui.promptReply = bad, ui.errors.clear(), program.ErrorFlag = false;
    WriteConfig(program);
    EXPECT_TRUE(program.ErrorFlag) << bad;
    EXPECT_EQ(ui.errors, std::vector<std::string>{"Nom de fichier non valide \"" + bad + "\" !"});
  }
}

TEST_F(ConfigTest, SettingsDirectoryIsCreatedOnFirstSave) {
  program.programDir = scratch + "a/" + std::string(70, 'b');  // no trailing "/", long path
  WriteConfig(program);
  const std::string path = program.programDir + "/plotvue.cfg";
  EXPECT_EQ(ui.prompts.at(0).initial, path);
  EXPECT_EQ(ui.prompts.at(0).maxLength, static_cast<int>(path.size()));
  EXPECT_FALSE(program.ErrorFlag);
  EXPECT_EQ(ReadAll(path), ConfigFileText(Settings{}));
}

TEST_F(ConfigTest, FailedWriteKeepsTheOldFile) {
  const std::string path = scratch + "plotvue.cfg";
  WriteAll(path, "old settings");
  // A file size limit makes the write fail as a full disk would (and works for root too).
  struct rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  struct rlimit small = old;
  small.rlim_cur = 1000;
  sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  WriteConfig(program);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);

  EXPECT_TRUE(program.ErrorFlag);
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0].rfind("Erreur d'écriture du fichier \"" + path + "\" : ", 0), 0u)
      << ui.errors[0];
  EXPECT_EQ(ReadAll(path), "old settings");
  EXPECT_EQ(Entries(scratch), std::vector<std::string>{"plotvue.cfg"});
}

TEST_F(ConfigTest, UnwritableDirectory) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  const std::string path = scratch + "plotvue.cfg";
  WriteAll(path, "old settings");
  chmod(scratch.c_str(), 0555);
  std::string reason;
  EXPECT_FALSE(WriteFileAtomically(path, "new", &reason));
  EXPECT_FALSE(reason.empty());
  WriteConfig(program);
  EXPECT_TRUE(program.ErrorFlag);
  EXPECT_EQ(ReadAll(path), "old settings");
  EXPECT_EQ(Entries(scratch), std::vector<std::string>{"plotvue.cfg"});

  // A write-protected file in a writable directory is not replaced either.
  chmod(scratch.c_str(), 0700);
  chmod(path.c_str(), 0444);
  ui.errors.clear();
  WriteConfig(program);
  EXPECT_EQ(ui.errors, std::vector<std::string>{"Nom de fichier non valide \"" + path + "\" !"});
  EXPECT_EQ(ReadAll(path), "old settings");
}

TEST_F(ConfigTest, WriteFileAtomically) {
  const std::string path = scratch + "f.txt";
  std::string reason;
  ASSERT_TRUE(WriteFileAtomically(path, "one", &reason)) << reason;
  chmod(path.c_str(), 0640);
  fs::create_symlink("f.txt", scratch + "link");
  ASSERT_TRUE(WriteFileAtomically(scratch + "link", std::string("tw\0o", 5), &reason));
  EXPECT_EQ(ReadAll(path), std::string("tw\0o", 5));
  EXPECT_TRUE(fs::is_symlink(scratch + "link"));
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  EXPECT_FALSE(WriteFileAtomically(scratch + "none/f.txt", "x", &reason));
  EXPECT_FALSE(reason.empty());
  fs::create_directory(scratch + "dir");
  EXPECT_FALSE(WriteFileAtomically(scratch + "dir", "x", nullptr));
  ASSERT_EQ(mkfifo((scratch + "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(WriteFileAtomically(scratch + "fifo", "x", nullptr));
  EXPECT_EQ(Entries(scratch).size(), 4u);  // f.txt, link, dir, fifo: no temporary left over
}

// ---- Paths -------------------------------------------------------------------------------------

TEST(PathsTest, SettingsAndTemporaryDirectories) {
  EnvGuard env;
  env.Set("PLOTVUE_HOME", "/x/y");
  env.Set("XDG_CONFIG_HOME", "/cfg");
  env.Set("HOME", "/home/u");
  EXPECT_EQ(SettingsDir(), "/x/y/");
  env.Set("PLOTVUE_HOME", "");
  EXPECT_EQ(SettingsDir(), "/cfg/plotvue/");
  env.Set("XDG_CONFIG_HOME", "relative");
  EXPECT_EQ(SettingsDir(), "/home/u/.config/plotvue/");
  env.Set("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(SettingsDir(), "/home/u/.config/plotvue/");

  env.Set("TMPDIR", "/scratch");
  EXPECT_EQ(TempDirectory(), "/scratch/");
  env.Set("TMPDIR", nullptr);
  EXPECT_EQ(TempDirectory(), "/tmp/");
}

TEST_F(ConfigTest, EnsureDirAndDataDirs) {
  EXPECT_EQ(EnsureDir(scratch + "p/q"), scratch + "p/q/");
  EXPECT_TRUE(IsDirectory(scratch + "p/q"));
  WriteAll(scratch + "file", "");
  EXPECT_EQ(EnsureDir(scratch + "file/sub"), "");

  EnvGuard env;
  env.Set("PLOTVUE_HOME", (scratch + "home").c_str());
  std::vector<std::string> dirs = DataDirs("/opt/pv/bin/plotvue");
  ASSERT_EQ(dirs.size(), 4u);
  EXPECT_EQ(dirs[0], fs::current_path().string() + "/");
  EXPECT_EQ(dirs[1], scratch + "home/");
  EXPECT_EQ(dirs[2], "/opt/pv/bin/../share/plotvue/");
  EXPECT_EQ(dirs[3], std::string(PLOTVUE_DATA_DIR) + "/");

  const std::string self = fs::read_symlink("/proc/self/exe").string();
  EXPECT_EQ(DataDirs("plotvue").at(2), DirectoryPart(self) + "../share/plotvue/");
}

}  // namespace
}  // namespace plotvue
