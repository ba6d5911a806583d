// Our output read by independent programs, and whole plot files converted: Ghostscript renders
// the Postscript (its bounding box is the drawing's), hp2xx reads the HP-GL, HP-GL/2 and HP-GL
// Laser output (the coordinate range it reports is the drawing's), Free Pascal compiles the
// Pascal source against a stub RAREDOVA unit and the program makes one drawing call per element,
// and every G-code arc has a centre at the same distance from its start and end points. Every
// file of the corpus converts into every syntax. A check whose program is missing is skipped,
// naming the Debian package that brings it.
#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>

#include "output/driver_harness.h"
#include "support/process.h"

namespace plotvue::testing {
namespace {

namespace fs = std::filesystem;

#define REQUIRE_PROGRAM(program, package)                                                \
  do {                                                                                   \
    if (!HaveProgram(program)) {                                                         \
      GTEST_SKIP() << program << " is not installed (Debian package " << package << ")"; \
    }                                                                                    \
  } while (0)

// A drawing of lines, a circle, arcs and a filled polygon within (0, 0)-(100, 50) mm.
const char* const kDrawing =
    "IN;SP1;PA0,0;PD4000,0,4000,2000,0,2000,0,0;PU;PA2000,1000;CI400;"
    "PA1000,500;PD;AA1000,1000,90;PU;SP2;PA3000,1500;PD;AR200,0,-120;PU;"
    "SP3;PA500,1200;PM0;PD;PA900,1200,900,1600;PM2;FP;PU;PA0,0;";

// The same with labels (apostrophes, parentheses, a backslash and code page 437 letters).
const char* const kLabels =
    "IN;SP1;PA400,400;LBHello (world) it's\x03PA400,800;LBMa\xe1 \x81 \\ 10\xf8\x03"
    "DI0,1;PA3000,400;LBup\x03PA0,0;PD4000,2000;";

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Ghostscript's run of a Postscript file on the bounding-box device: exit status and output.
std::string Ghostscript(const std::string& path, int& status) {
  return RunCommand("gs -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=bbox " + Quote(path) + " 2>&1",
                    status);
}

struct Box {
  double llx = 0, lly = 0, urx = 0, ury = 0;
};

bool HiResBox(const std::string& gsOutput, Box& box) {
  std::smatch m;
  static const std::regex re(R"(%%HiResBoundingBox: ([-0-9.]+) ([-0-9.]+) ([-0-9.]+) ([-0-9.]+))");
  if (!std::regex_search(gsOutput, m, re)) return false;
  box = {std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4])};
  return true;
}

// --- Ghostscript -----------------------------------------------------------------------------

TEST(DriverReaders, GhostscriptRendersOurPostscriptWithTheDrawingsBoundingBox) {
  REQUIRE_PROGRAM("gs", "ghostscript");
  DriverHarness h;
  h.Convert(10, kDrawing);
  ASSERT_FALSE(h.program.RunFailed);
  int status = 0;
  std::string out = Ghostscript(h.OutputPath(10), status);
  ASSERT_EQ(status, 0) << out;
  Box box;
  ASSERT_TRUE(HiResBox(out, box)) << out;
  // 20 pt margin, 72 pt per inch; the frame is 100 x 50 mm; half a line width of tolerance and
  // the rounding to 1/300 inch.
  const double pt = 72.0 / 25.4;
  EXPECT_NEAR(box.llx, 20.0, 0.5);
  EXPECT_NEAR(box.lly, 20.0, 0.5);
  EXPECT_NEAR(box.urx, 20.0 + 100 * pt, 0.5);
  EXPECT_NEAR(box.ury, 20.0 + 50 * pt, 0.5);

  // Rotated by 90 degrees: the frame stands upright right of x = 420 - 50 mm.
  h.program.settings.Rotate90 = 'J';
  h.Convert(10, kDrawing);
  out = Ghostscript(h.OutputPath(10), status);
  ASSERT_EQ(status, 0) << out;
  ASSERT_TRUE(HiResBox(out, box)) << out;
  EXPECT_NEAR(box.llx, 420.0 - 50 * pt, 0.5);
  EXPECT_NEAR(box.urx, 420.0, 0.5);
  EXPECT_NEAR(box.lly, 20.0, 0.5);
  EXPECT_NEAR(box.ury, 20.0 + 100 * pt, 0.5);
}

TEST(DriverReaders, GhostscriptAcceptsLabelsAndPolygonsAfterAForcedMove) {
  REQUIRE_PROGRAM("gs", "ghostscript");
  DriverHarness h;
  h.Convert(10, std::string(kLabels) + "SP2;PA100,100;PM0;PD200,100,200,200;PM1;PD300,300;PM2;FP;");
  int status = 0;
  std::string out = Ghostscript(h.OutputPath(10), status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(out.find("Error"), std::string::npos) << out;
}

// --- hp2xx -----------------------------------------------------------------------------------

TEST(DriverReaders, Hp2xxReadsOurHpglFamily) {
  REQUIRE_PROGRAM("hp2xx", "hp2xx");
  for (int syntax : {1, 9, 11}) {
    DriverHarness h;
    h.Convert(syntax, kDrawing);
    ASSERT_FALSE(h.program.RunFailed);
    int status = 0;
    std::string out = RunCommand(
        "hp2xx -m hpgl -f /dev/null " + Quote(h.OutputPath(syntax)) + " </dev/null 2>&1", status);
    EXPECT_EQ(status, 0) << syntax << "\n" << out;
    // The drawing spans 0..4000 by 0..2000 plotter units (the header's move to 0,0 included).
    EXPECT_NE(out.find("Coordinate range: (0, 0) ... (4000, 2000)"), std::string::npos)
        << syntax << "\n"
        << out;
    EXPECT_NE(out.find("Unexpected event(s):  0"), std::string::npos) << syntax << "\n" << out;

    h.Convert(syntax, kLabels);
    out = RunCommand(
        "hp2xx -q -m hpgl -f /dev/null " + Quote(h.OutputPath(syntax)) + " </dev/null 2>&1",
        status);
    EXPECT_EQ(status, 0) << syntax << "\n" << out;
  }
}

// --- Free Pascal -----------------------------------------------------------------------------

// Counts the drawing calls the interpreter makes in a convert run: segments of two distinct
// points, circles, arcs and labels with text (what the Pascal source draws).
class CountingDriver : public OutputDriver {
 public:
  void BeginOutput(int, int) override {}
  void EndOutput() override {}
  void OutRotate(long double) override {}
  void SelectPen(int) override {}
  void MoveTo(bool, long double, long double) override {}
  void DrawLine(long double x1, long double y1, long double x2, long double y2) override {
    if (x1 != x2 || y1 != y2) ++elements;
  }
  void OutCircle(long double, long double, long double) override { ++elements; }
  void OutArc(long double, long double, long double, long double, long double,
              long double) override {
    ++elements;
  }
  void OutTextStyle(int, long double, long double, long double) override {}
  void OutTextJustify(int, int) override {}
  void LabelAt(const std::string& text, long double, long double) override {
    if (!text.empty()) ++elements;
  }
  void BeginPolygon() override {}
  void EndPolygon(int) override {}
  void FillPolygon() override {}
  int elements = 0;
};

int DrawingElements(const std::string& plot) {
  RecordingInteraction ui;
  Program program{ui};
  for (int k = 0; k < kPenTableSize; ++k) program.settings.PenNumber[k] = k;
  CountingDriver driver;
  ByteSource source = ByteSource::FromString(plot);
  RunInterpreterOn(program, RunMode::Convert, {&driver, nullptr}, source);
  return driver.elements;
}

int CountLinesStartingWith(const std::string& text, const std::vector<std::string>& prefixes) {
  std::istringstream in(text);
  int n = 0;
  for (std::string l; std::getline(in, l);) {
    for (const auto& p : prefixes) {
      if (l.rfind(p, 0) == 0) ++n;
    }
  }
  return n;
}

TEST(DriverReaders, FreePascalCompilesTheSourceAndItDrawsEveryElement) {
  REQUIRE_PROGRAM("fpc", "fp-compiler");
  std::vector<std::pair<std::string, std::string>> drawings = {{"drawing", kDrawing},
                                                               {"labels", kLabels}};
  for (const char* name : {"dia-plt-flowchart.plt", "pstoedit-hpgl-gremlin.plt"}) {
    drawings.emplace_back(name, ReadFile(std::string(PLOTVUE_CORPUS_DIR) + "/" + name));
  }
  for (const auto& [name, plot] : drawings) {
    DriverHarness h;
    h.program.settings.PlotFile = h.folder.path + "/it's-" + std::to_string(name.size());
    h.Convert(6, plot);
    ASSERT_FALSE(h.program.RunFailed) << name;
    const std::string source = h.folder.path + "/prog.pas";
    fs::copy_file(h.OutputPath(6), source);
    int status = 0;
    std::string compile = RunCommand("fpc -vew -Fu" + Quote(PLOTVUE_TESTS_DIR "/output") + " -FU" +
                                         Quote(h.folder.path) + " -FE" + Quote(h.folder.path) +
                                         " " + Quote(source) + " 2>&1",
                                     status);
    ASSERT_EQ(status, 0) << name << "\n" << compile;
    std::string run = RunCommand(Quote(h.folder.path + "/prog"), status);
    ASSERT_EQ(status, 0) << name;
    EXPECT_EQ(CountLinesStartingWith(run, {"Line ", "Circle ", "Arc ", "Text "}),
              DrawingElements(plot))
        << name;
    EXPECT_NE(run.find("Zoom\nClose\n"), std::string::npos) << name;
  }
}

// --- G-code arcs -----------------------------------------------------------------------------

struct ArcCheck {
  int arcs = 0;
  double worst = 0;  // largest difference of the start and end radius, mm
  std::string worstLine;
};

// Follows the tool position through the G-code and measures every circular interpolation.
ArcCheck CheckGcodeArcs(const std::string& text, int dialect) {
  ArcCheck check;
  double x = 0, y = 0;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string g;
    words >> g;
    if (g != "G00" && g != "G01" && g != "G02" && g != "G03") continue;
    double ex = x, ey = y, i = 0, j = 0, mx = 0, my = 0;
    bool hasXY = false, mp = false;
    for (std::string w; words >> w;) {
      if (w == "MP") {
        mp = true;
        continue;
      }
      double v = std::atof(w.c_str() + 1);
      if (w[0] == 'X') (mp ? mx : ex) = v, hasXY = true;
      if (w[0] == 'Y') (mp ? my : ey) = v;
      if (w[0] == 'I') i = v;
      if (w[0] == 'J') j = v;
    }
    if (g == "G02" || g == "G03") {
      double cx = dialect == 2 ? mx : dialect == 3 ? x + i : i;
      double cy = dialect == 2 ? my : dialect == 3 ? y + j : j;
      double diff = std::fabs(std::hypot(x - cx, y - cy) - std::hypot(ex - cx, ey - cy));
      ++check.arcs;
      if (diff > check.worst) {
        check.worst = diff;
        check.worstLine = line;
      }
    }
    if (hasXY) {
      x = ex;
      y = ey;
    }
  }
  return check;
}

TEST(DriverReaders, GcodeArcCentresFitTheirStartAndEndPoints) {
  for (int dialect : {1, 2, 3}) {
    DriverHarness h;
    h.program.settings.NcSyntax = static_cast<std::uint16_t>(dialect);
    std::string out = h.Convert(4, std::string(kDrawing) +
                                       "PA1234,567;PD;AA1000,1000,-77.7;"
                                       "AA1000,1000,200;CI10;");
    ArcCheck check = CheckGcodeArcs(out, dialect);
    EXPECT_EQ(check.arcs, 6) << dialect << "\n" << out;
    EXPECT_LE(check.worst, 0.001) << check.worstLine;
  }
}

// --- The corpus in every syntax --------------------------------------------------------------

TEST(DriverReaders, EveryCorpusFileConvertsIntoEverySyntax) {
  const bool haveGs = HaveProgram("gs");
  const bool haveHp2xx = HaveProgram("hp2xx");
  const std::vector<std::string> files = CorpusFiles();
  ASSERT_FALSE(files.empty());
  for (const std::string& file : files) {
    const std::string name = fs::path(file).filename().string();
    for (int syntax = 1; syntax <= 12; ++syntax) {
      DriverHarness h;
      h.d().options.garmin.FileType = 3;
      h.program.settings.NcSyntax = 1;
      std::string out = h.ConvertFile(syntax, file);
      EXPECT_FALSE(h.program.RunFailed) << name << " syntax " << syntax;
      EXPECT_FALSE(h.program.ErrorFlag) << name << " syntax " << syntax;
      EXPECT_FALSE(out.empty()) << name << " syntax " << syntax;
      EXPECT_TRUE(h.ui.errors.empty()) << name << " syntax " << syntax << ": " << h.ui.errors[0];
      int status = 0;
      if (syntax == 10 && haveGs) {
        std::string gs = Ghostscript(h.OutputPath(10), status);
        EXPECT_EQ(status, 0) << name << "\n" << gs;
        EXPECT_EQ(gs.find("Error"), std::string::npos) << name << "\n" << gs;
      }
      if ((syntax == 1 || syntax == 9 || syntax == 11) && haveHp2xx) {
        std::string hp = RunCommand(
            "hp2xx -q -m hpgl -f /dev/null " + Quote(h.OutputPath(syntax)) + " </dev/null 2>&1",
            status);
        EXPECT_EQ(status, 0) << name << " syntax " << syntax << "\n" << hp;
      }
      if (syntax == 4) {
        ArcCheck check = CheckGcodeArcs(out, 1);
        EXPECT_LE(check.worst, 0.001) << name << ": " << check.worstLine;
      }
    }
  }
  if (!haveGs) GTEST_SKIP() << "gs is not installed (Debian package ghostscript): not rendered";
  if (!haveHp2xx) GTEST_SKIP() << "hp2xx is not installed (Debian package hp2xx): not read back";
}

}  // namespace
}  // namespace plotvue::testing
