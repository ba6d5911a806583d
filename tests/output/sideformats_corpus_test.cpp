// Every file of the corpus converted into the four side formats (DXF, IGES, C source, Garmin
// PCX5) through the interpreter and the output driver kept for the program run, and each output
// handed to an independent reader:
//  - ezdxf opens each DXF file, its audit finds no error, and its LINE, CIRCLE, ARC and TEXT
//    entities, layer by layer, are those of our file;
//  - OpenCASCADE's Draw loads each IGES file with every entity and turns every line and arc into
//    an edge, and our own check finds every record 80 columns with the right sequence numbers;
//  - gcc compiles each C file against the stub library, and the program makes one drawing call
//    per drawing statement;
//  - gpsbabel reads each Garmin file and finds its tracks, track points and waypoints at the
//    positions of our records.
// What each file holds is compared with what the interpreter handed the driver: a counting
// driver between the interpreter and the real one sees every operation. A check whose reader is
// missing is skipped, naming the Debian package or the fetch script that brings it.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "output/driver_harness.h"
#include "support/ezdxf_reader.h"
#include "support/gpsbabel.h"
#include "support/iges_layout.h"
#include "support/occt_draw.h"
#include "support/process.h"
#include "support/tavostub.h"

namespace plotvue::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kDxf = 5;
constexpr int kIges = 7;
constexpr int kTurboC = 8;
constexpr int kGarmin = 12;

// What the interpreter asked the driver to draw while a pen was selected.
struct ElementCounts {
  int segments = 0;           // lines between two different points
  int segmentsToOrigin = 0;   // of these, the ones that end at (0, 0)
  int segmentsPointLike = 0;  // of these, the ones whose ends are one point at three decimals
  int circles = 0;
  int arcs = 0;
  int pointRadius = 0;    // circles and arcs whose radius is 0 at six decimals
  int labels = 0;         // labels with text
  int labelsOnGlobe = 0;  // of these, the ones within +-180 by +-90 (degrees for Garmin)
  int offGlobe = 0;       // segments and labels that reach beyond +-180 by +-90
  // Elements by pen, the circles and arcs of radius 0 left out (a DXF layer is pen - 1).
  std::map<int, int> byPen;
};

// Passes every operation on to the real driver and counts the drawing operations.
class CountingTee final : public OutputDriver {
 public:
  explicit CountingTee(OutputDriver& driver) : d_(driver) {}

  void BeginOutput(int syntax, int device) override {
    pen_ = 100;  // the driver's pen after BeginOutput draws
    d_.BeginOutput(syntax, device);
  }
  void EndOutput() override { d_.EndOutput(); }
  void AbandonOutput() override { d_.AbandonOutput(); }
  void OutRotate(long double angle) override { d_.OutRotate(angle); }
  void SelectPen(int pen) override {
    pen_ = pen & 0xFF;
    d_.SelectPen(pen);
  }
  void MoveTo(bool force, long double x, long double y) override { d_.MoveTo(force, x, y); }
  void DrawLine(long double x1, long double y1, long double x2, long double y2) override {
    if (Drawing() && Finite({x1, y1, x2, y2}) && (x1 != x2 || y1 != y2)) {
      ++counts.segments;
      if (x2 == 0 && y2 == 0) ++counts.segmentsToOrigin;
      if (Thousandths(x1) == Thousandths(x2) && Thousandths(y1) == Thousandths(y2)) {
        ++counts.segmentsPointLike;
      }
      if (!OnGlobe(x1, y1) || !OnGlobe(x2, y2)) ++counts.offGlobe;
      ++counts.byPen[pen_];
    }
    d_.DrawLine(x1, y1, x2, y2);
  }
  void OutCircle(long double x, long double y, long double r) override {
    if (Drawing() && Finite({x, y, r})) {
      ++counts.circles;
      Radius(r);
    }
    d_.OutCircle(x, y, r);
  }
  void OutArc(long double cx, long double cy, long double a1, long double a2, long double r,
              long double direction) override {
    if (Drawing() && Finite({cx, cy, a1, a2, r, direction})) {
      ++counts.arcs;
      Radius(r);
    }
    d_.OutArc(cx, cy, a1, a2, r, direction);
  }
  void OutTextStyle(int kind, long double angle, long double height, long double width) override {
    d_.OutTextStyle(kind, angle, height, width);
  }
  void OutTextJustify(int h, int v) override { d_.OutTextJustify(h, v); }
  void LabelAt(const std::string& text, long double x, long double y) override {
    if (Drawing() && Finite({x, y}) && !text.empty()) {
      ++counts.labels;
      ++counts.byPen[pen_];
      if (OnGlobe(x, y)) {
        ++counts.labelsOnGlobe;
      } else {
        ++counts.offGlobe;
      }
    }
    d_.LabelAt(text, x, y);
  }
  void BeginPolygon() override { d_.BeginPolygon(); }
  void EndPolygon(int mode) override { d_.EndPolygon(mode); }
  void FillPolygon() override { d_.FillPolygon(); }

  ElementCounts counts;

 private:
  bool Drawing() const { return pen_ != 0; }
  static bool Finite(std::initializer_list<long double> values) {
    return std::all_of(values.begin(), values.end(),
                       [](long double v) { return std::isfinite(v); });
  }
  static long double Thousandths(long double v) { return std::nearbyint(v * 1000.0L); }
  static bool OnGlobe(long double x, long double y) {
    return std::fabs(x) <= 180.0L && std::fabs(y) <= 90.0L;
  }
  void Radius(long double r) {
    if (std::fabs(r) < 0.0000005L) {
      ++counts.pointRadius;
    } else {
      ++counts.byPen[pen_];
    }
  }

  OutputDriver& d_;
  int pen_ = 100;
};

struct Converted {
  std::string name;  // the corpus file's name
  std::string path;  // the output file
  std::string text;  // its bytes
  ElementCounts counts;
  Extents extents;  // the drawing's extents in output mm
};

// Converts every corpus file into `syntax` with one driver, as one program run would, into the
// harness's folder: scan run, then convert run through the counting driver. The outputs are
// named after the corpus files; the folder holds nothing else afterwards (the IGES scratch file
// goes into the same folder and must be gone).
std::vector<Converted> ConvertCorpus(DriverHarness& h, int syntax) {
  std::vector<Converted> out;
  h.program.settings.TempDir = h.folder.path;
  h.program.settings.SyntaxCode = static_cast<std::uint16_t>(syntax);
  for (const std::string& file : CorpusFiles()) {
    Converted c;
    c.name = fs::path(file).filename().string();
    SCOPED_TRACE(c.name);
    h.program.settings.PlotFile = h.folder.path + "/" + fs::path(file).stem().string();
    h.program.file = CurrentFile::FromPath(file);
    h.program.ErrorFlag = false;
    RunInterpreter(h.program, RunMode::Scan);
    EXPECT_FALSE(h.program.ErrorFlag);
    CountingTee tee(*h.driver);
    RunInterpreter(h.program, RunMode::Convert, {&tee, nullptr});
    EXPECT_FALSE(h.program.RunFailed);
    EXPECT_FALSE(h.program.ErrorFlag);
    EXPECT_TRUE(h.ui.errors.empty()) << h.ui.errors.front();
    h.ui.errors.clear();
    c.path = h.OutputPath(syntax);
    c.text = ReadFile(c.path);
    EXPECT_FALSE(c.text.empty());
    c.counts = tee.counts;
    c.extents = h.driver->OutputExtents();
    out.push_back(std::move(c));
  }
  std::set<std::string> expected, present;
  for (const auto& c : out) expected.insert(c.path);
  for (const auto& e : fs::directory_iterator(h.folder.path)) present.insert(e.path().string());
  EXPECT_EQ(present, expected) << "files left beside the outputs";
  return out;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// The lines of a text that ends its lines in CR LF (each line end checked).
std::vector<std::string> CrlfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "last line without CR LF";
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// --- DXF -------------------------------------------------------------------------------------

struct DxfCounts {
  std::map<std::string, int> kinds;   // entities of the ENTITIES section by type
  std::map<std::string, int> layers;  // and by layer
};

// The entities of our DXF text, read pair by pair (group code, value).
DxfCounts CountDxfEntities(const std::string& text) {
  DxfCounts counts;
  const std::vector<std::string> lines = CrlfLines(text);
  EXPECT_EQ(lines.size() % 2, 0u);
  std::string section;
  bool inEntity = false;
  for (std::size_t k = 0; k + 1 < lines.size(); k += 2) {
    const std::string code = lines[k].substr(lines[k].find_first_not_of(' '));
    const std::string& value = lines[k + 1];
    if (code == "0") {
      inEntity = section == "ENTITIES" &&
                 (value == "LINE" || value == "CIRCLE" || value == "ARC" || value == "TEXT");
      if (inEntity) ++counts.kinds[value];
      if (value == "ENDSEC") section.clear();
    } else if (code == "2" && k >= 2 && lines[k - 1] == "SECTION") {
      section = value;
    } else if (code == "8" && inEntity) {
      ++counts.layers[value];
    }
  }
  return counts;
}

TEST(SideFormatsCorpus, DxfFilesPassEzdxfAndHoldEveryElement) {
  DriverHarness h;
  const std::vector<Converted> files = ConvertCorpus(h, kDxf);
  ASSERT_FALSE(files.empty());
  std::vector<DxfCounts> written;
  for (const Converted& c : files) {
    SCOPED_TRACE(c.name);
    const DxfCounts counts = CountDxfEntities(c.text);
    const ElementCounts& e = c.counts;
    // Every segment is a LINE, every label a TEXT; circles and arcs are CIRCLE or ARC (an arc
    // that closes is a CIRCLE) except those of radius 0, which readers reject.
    EXPECT_EQ(counts.kinds.count("LINE") ? counts.kinds.at("LINE") : 0, e.segments);
    EXPECT_EQ(counts.kinds.count("TEXT") ? counts.kinds.at("TEXT") : 0, e.labels);
    const int round = (counts.kinds.count("CIRCLE") ? counts.kinds.at("CIRCLE") : 0) +
                      (counts.kinds.count("ARC") ? counts.kinds.at("ARC") : 0);
    EXPECT_EQ(round, e.circles + e.arcs - e.pointRadius);
    // Pen p draws on layer p - 1.
    std::map<std::string, int> byLayer;
    for (const auto& [pen, n] : e.byPen) byLayer[std::to_string(pen - 1)] += n;
    EXPECT_EQ(counts.layers, byLayer);
    written.push_back(counts);
  }

  const std::string python = FindPythonWithEzdxf();
  if (python.empty()) GTEST_SKIP() << "ezdxf is not installed (Debian package python3-ezdxf)";
  std::vector<std::string> paths;
  for (const Converted& c : files) paths.push_back(c.path);
  TempFolder scratch;
  const EzdxfReading reading = ReadWithEzdxf(python, paths, scratch.path);
  ASSERT_EQ(reading.status, 0) << reading.output.substr(0, 3000);
  ASSERT_EQ(reading.files.size(), files.size()) << reading.output.substr(0, 3000);
  std::string allLayers;
  for (const std::string& name : std::set<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8",
                                                       "9", "10", "11", "12", "13", "14", "15"}) {
    allLayers += (allLayers.empty() ? "" : " ") + name;
  }
  for (std::size_t k = 0; k < files.size(); ++k) {
    SCOPED_TRACE(files[k].name);
    const EzdxfFile& read = reading.files[k];
    ASSERT_EQ(read.failure, "");
    EXPECT_TRUE(read.done);
    EXPECT_EQ(read.errors, std::vector<std::string>{});
    EXPECT_EQ(read.Counts(), written[k].kinds);
    std::map<std::string, int> byLayer;
    for (const auto& entity : read.entities) ++byLayer[entity.layer];
    EXPECT_EQ(byLayer, written[k].layers);
    EXPECT_EQ(read.layers, allLayers);
    EXPECT_EQ(read.style, "TXT8");
    const Extents& x = files[k].extents;
    ASSERT_EQ(read.header.count("$EXTMIN"), 1u);
    ASSERT_EQ(read.header.count("$EXTMAX"), 1u);
    EXPECT_NEAR(static_cast<double>(read.header.at("$EXTMIN")[0]), static_cast<double>(x.xmin),
                1e-6);
    EXPECT_NEAR(static_cast<double>(read.header.at("$EXTMIN")[1]), static_cast<double>(x.ymin),
                1e-6);
    EXPECT_NEAR(static_cast<double>(read.header.at("$EXTMAX")[0]), static_cast<double>(x.xmax),
                1e-6);
    EXPECT_NEAR(static_cast<double>(read.header.at("$EXTMAX")[1]), static_cast<double>(x.ymax),
                1e-6);
  }
}

// --- IGES ------------------------------------------------------------------------------------

TEST(SideFormatsCorpus, IgesFilesPassOpenCascadeAndTheLayoutCheck) {
  DriverHarness h;
  const std::vector<Converted> files = ConvertCorpus(h, kIges);
  ASSERT_FALSE(files.empty());
  for (const Converted& c : files) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IgesLayoutProblems(c.text), std::vector<std::string>{});
    // Lines are entities 110 (but for those whose ends are written as one point, which
    // readers reject), circles and arcs 100, labels 212.
    std::map<int, int> types = IgesEntityTypes(c.text);
    EXPECT_EQ(types[110], c.counts.segments - c.counts.segmentsPointLike);
    EXPECT_EQ(types[100], c.counts.circles + c.counts.arcs);
    EXPECT_EQ(types[212], c.counts.labels);
  }

  // One Draw run reads them all (its start is slow): for each file the number of loaded
  // entities, the entity types, the transfer's check messages and the shapes it made.
  TempFolder scratch;
  std::string script = "pload XSDRAW\npload MODELING\n";
  for (std::size_t k = 0; k < files.size(); ++k) {
    script += "puts \"FILE " + std::to_string(k) + "\"\n";
    script += "igesread {" + files[k].path + "} a *\n";
    script += "puts \"TYPES\"\nputs [count iges-types]\n";
    script += "puts \"CHECK\"\nputs [data c]\n";
    script += "puts \"SHAPES\"\nputs [nbshapes a]\nputs \"END\"\n";
  }
  const DrawResult r = RunDrawScript(scratch.path, script);
  if (!r.skip.empty()) GTEST_SKIP() << r.skip;
  ASSERT_EQ(r.status, 0) << r.output.substr(0, 3000);

  // The output split by file.
  std::vector<std::string> parts;
  for (std::size_t k = 0; k < files.size(); ++k) {
    const std::string marker = "FILE " + std::to_string(k) + "\n";
    const std::size_t from = r.output.find(marker);
    ASSERT_NE(from, std::string::npos) << marker << r.output.substr(0, 3000);
    const std::size_t to = r.output.find("FILE " + std::to_string(k + 1) + "\n", from);
    parts.push_back(r.output.substr(from, to == std::string::npos ? std::string::npos : to - from));
  }
  static const std::regex kLoaded("Total number of loaded entities (\\d+)");
  static const std::regex kType("\\n\\s+(\\d+)\\t(\\d+) (\\d+)");
  static const std::regex kEdges("\\n\\s*EDGE\\s*:\\s*(\\d+)");
  for (std::size_t k = 0; k < files.size(); ++k) {
    const Converted& c = files[k];
    const std::string& out = parts[k];
    SCOPED_TRACE(c.name + "\n" + out.substr(0, 2000));
    const int lines = c.counts.segments - c.counts.segmentsPointLike;
    const int entities = lines + c.counts.circles + c.counts.arcs + c.counts.labels;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(out, m, kLoaded));
    EXPECT_EQ(std::stoi(m[1]), entities);
    std::map<int, int> types;
    const std::size_t typesAt = out.find("TYPES"), checkAt = out.find("CHECK");
    ASSERT_NE(typesAt, std::string::npos);
    ASSERT_NE(checkAt, std::string::npos);
    const std::string typesPart = out.substr(typesAt, checkAt - typesAt);
    for (auto it = std::sregex_iterator(typesPart.begin(), typesPart.end(), kType);
         it != std::sregex_iterator(); ++it) {
      types[std::stoi((*it)[2])] += std::stoi((*it)[1]);
    }
    EXPECT_EQ(types[110], lines);
    EXPECT_EQ(types[100], c.counts.circles + c.counts.arcs);
    EXPECT_EQ(types[212], c.counts.labels);
    // Warnings are fine (the blank line weight), failures are not.
    const std::string check = out.substr(checkAt, out.find("SHAPES") - checkAt);
    EXPECT_EQ(check.find("\tF:"), std::string::npos);
    // Every line and arc became an edge (the notes make no shapes).
    const std::string shapes = out.substr(out.find("SHAPES"));
    const int edges = std::regex_search(shapes, m, kEdges) ? std::stoi(m[1]) : 0;
    EXPECT_EQ(edges, lines + c.counts.circles + c.counts.arcs);
  }
}

// --- C source --------------------------------------------------------------------------------

int CountStatements(const std::string& text, const std::string& call) {
  int n = 0;
  for (const std::string& line : CrlfLines(text)) {
    if (line.rfind("  " + call + "(", 0) == 0) ++n;
  }
  return n;
}

TEST(SideFormatsCorpus, CSourcesCompileAndDrawEveryStatement) {
  DriverHarness h;
  const std::vector<Converted> files = ConvertCorpus(h, kTurboC);
  ASSERT_FALSE(files.empty());
  for (const Converted& c : files) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CountStatements(c.text, "T_Line"), c.counts.segments);
    EXPECT_EQ(CountStatements(c.text, "T_Circle"), c.counts.circles);
    EXPECT_EQ(CountStatements(c.text, "T_Arc"), c.counts.arcs);
    EXPECT_EQ(CountStatements(c.text, "T_OutTextXY"), c.counts.labels);
  }

  if (!HaveProgram("gcc")) GTEST_SKIP() << kNoGcc;
  TempFolder build;
  for (std::size_t k = 0; k < files.size(); ++k) {
    const Converted& c = files[k];
    SCOPED_TRACE(c.name);
    const fs::path program = fs::path(build.path) / ("prog" + std::to_string(k));
    std::string diagnostics;
    ASSERT_EQ(CompileWithTavoStub(c.path, program, diagnostics), 0) << diagnostics;
    EXPECT_EQ(diagnostics, "");
    int status = 0;
    const std::string run = RunCommand(Quote(program.string()), status);
    EXPECT_EQ(status, 0);
    std::map<char, int> calls;
    std::istringstream in(run);
    for (std::string line; std::getline(in, line);) {
      if (IsTavoDrawingRecord(line)) ++calls[line[0]];
    }
    EXPECT_EQ(calls['L'], CountStatements(c.text, "T_Line"));
    EXPECT_EQ(calls['C'], CountStatements(c.text, "T_Circle"));
    EXPECT_EQ(calls['A'], CountStatements(c.text, "T_Arc"));
    EXPECT_EQ(calls['T'], CountStatements(c.text, "T_OutTextXY"));
    EXPECT_EQ(calls['K'], CountStatements(c.text, "T_SetColor"));
    EXPECT_EQ(calls['M'], CountStatements(c.text, "T_MoveTo"));
    EXPECT_EQ(calls['S'], CountStatements(c.text, "T_SetTextStyle"));
    EXPECT_NE(run.find("Clear\n"), std::string::npos);
    EXPECT_NE(run.find("Zoom\nClose\n"), std::string::npos);
  }
}

// --- Garmin PCX5 -----------------------------------------------------------------------------

// The tracks and waypoints of our PCX5 text, from the record fields, each field checked: its
// layout, minutes below 60, and a position on the globe. Every track has points.
GpsReading ReadOurPcx(const std::string& text) {
  static const std::regex kTrackLine(
      R"re(T  ([NS]\d{4}\.\d{5}) ([EW]\d{5}\.\d{5}) \d\d-[A-Z]{3}-\d\d [ \d]\d:\d\d:\d\d -9999)re");
  static const std::regex kWaypointLine(
      R"re(W  (.{6}) ([NS]\d{4}\.\d{5}) ([EW]\d{5}\.\d{5}) \d\d-[A-Z]{3}-\d\d [ \d]\d:\d\d:\d\d )re"
      R"re(-9999 .{40} 0\.00000e\+00        0)re");
  GpsReading r;
  bool trackOpen = false;
  auto position = [](const std::string& latitude, const std::string& longitude) {
    double latMinutes = 0, lonMinutes = 0;
    GeoPoint p{FieldDegrees(latitude, &latMinutes), FieldDegrees(longitude, &lonMinutes)};
    EXPECT_LT(latMinutes, 60.0) << latitude;
    EXPECT_LT(lonMinutes, 60.0) << longitude;
    EXPECT_LE(std::fabs(p.lat), 90.0) << latitude;
    EXPECT_LE(std::fabs(p.lon), 180.0) << longitude;
    return p;
  };
  for (const std::string& line : CrlfLines(text)) {
    std::smatch m;
    if (line.starts_with("H  LATITUDE")) {
      r.tracks.emplace_back();
      trackOpen = true;
    } else if (line.starts_with("T  ")) {
      EXPECT_TRUE(trackOpen) << "track point before any track header: " << line;
      if (!trackOpen) {
        r.tracks.emplace_back();
        trackOpen = true;
      }
      if (!std::regex_match(line, m, kTrackLine)) {
        ADD_FAILURE() << line;
        continue;
      }
      r.tracks.back().push_back(position(m[1], m[2]));
    } else if (line.starts_with("W  ")) {
      if (!std::regex_match(line, m, kWaypointLine)) {
        ADD_FAILURE() << line;
        continue;
      }
      std::string name = m[1];
      name.erase(name.find_last_not_of(' ') + 1);
      r.waypoints.push_back({name, position(m[2], m[3])});
    }
  }
  for (std::size_t t = 0; t < r.tracks.size(); ++t) {
    EXPECT_FALSE(r.tracks[t].empty()) << "track " << t << " without points";
  }
  return r;
}

// gpsbabel's reading of each file against the fields of our records.
void CheckWithGpsbabel(const std::string& gpsbabel, const std::vector<Converted>& files,
                       const std::vector<GpsReading>& written) {
  for (std::size_t k = 0; k < files.size(); ++k) {
    SCOPED_TRACE(files[k].name);
    int status = 0;
    const std::string gpx = RunCommand(
        Quote(gpsbabel) + " -i pcx -f " + Quote(files[k].path) + " -o gpx -F - 2>&1", status);
    ASSERT_EQ(status, 0) << gpx.substr(0, 2000);
    const GpsReading read = ParseGpx(gpx);
    const GpsReading& ours = written[k];
    ASSERT_EQ(read.waypoints.size(), ours.waypoints.size());
    for (std::size_t w = 0; w < read.waypoints.size(); ++w) {
      // gpsbabel reads the file as ASCII: a byte beyond it (a code page 437 letter of the
      // label) becomes the replacement character.
      std::string name;
      for (char ch : ours.waypoints[w].first) {
        name += static_cast<unsigned char>(ch) < 0x80 ? std::string(1, ch) : "\xEF\xBF\xBD";
      }
      EXPECT_EQ(read.waypoints[w].first, name) << w;
      EXPECT_NEAR(read.waypoints[w].second.lat, ours.waypoints[w].second.lat, 1e-6) << w;
      EXPECT_NEAR(read.waypoints[w].second.lon, ours.waypoints[w].second.lon, 1e-6) << w;
    }
    ASSERT_EQ(read.tracks.size(), ours.tracks.size());
    for (std::size_t t = 0; t < read.tracks.size(); ++t) {
      ASSERT_EQ(read.tracks[t].size(), ours.tracks[t].size()) << "track " << t;
      for (std::size_t p = 0; p < read.tracks[t].size(); ++p) {
        EXPECT_NEAR(read.tracks[t][p].lat, ours.tracks[t][p].lat, 1e-6) << t << "/" << p;
        EXPECT_NEAR(read.tracks[t][p].lon, ours.tracks[t][p].lon, 1e-6) << t << "/" << p;
      }
    }
  }
}

// The drawings scaled into degrees: every track point and waypoint of every file is written.
TEST(SideFormatsCorpus, GarminFilesOfDrawingsInDegreesPassGpsbabel) {
  DriverHarness h;
  h.d().options.garmin.FileType = 3;  // tracks and waypoints
  h.program.settings.PlotScale = 0.2L;
  const std::vector<Converted> files = ConvertCorpus(h, kGarmin);
  ASSERT_FALSE(files.empty());
  std::vector<GpsReading> written;
  for (const Converted& c : files) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.counts.offGlobe, 0) << "the scale leaves part of the drawing off the globe";
    GpsReading ours = ReadOurPcx(c.text);
    // A label is a waypoint; a drawn line adds a track point, except one that ends at (0, 0);
    // every track begins with the point of its pen-up move.
    EXPECT_EQ(ours.waypoints.size(), static_cast<std::size_t>(c.counts.labels));
    std::size_t points = 0;
    for (const auto& t : ours.tracks) points += t.size();
    EXPECT_EQ(points - ours.tracks.size(),
              static_cast<std::size_t>(c.counts.segments - c.counts.segmentsToOrigin));
    written.push_back(std::move(ours));
  }
  const std::string gpsbabel = FindGpsbabel();
  if (gpsbabel.empty()) GTEST_SKIP() << kNoGpsbabel;
  CheckWithGpsbabel(gpsbabel, files, written);
}

// The drawings in millimetres, as they are: what lies off the globe is left out, and the rest
// still reads.
TEST(SideFormatsCorpus, GarminFilesOfDrawingsInMillimetresPassGpsbabel) {
  DriverHarness h;
  h.d().options.garmin.FileType = 3;
  const std::vector<Converted> files = ConvertCorpus(h, kGarmin);
  ASSERT_FALSE(files.empty());
  std::vector<GpsReading> written;
  int offGlobe = 0;
  for (const Converted& c : files) {
    SCOPED_TRACE(c.name);
    GpsReading ours = ReadOurPcx(c.text);
    EXPECT_EQ(ours.waypoints.size(), static_cast<std::size_t>(c.counts.labelsOnGlobe));
    offGlobe += c.counts.offGlobe;
    written.push_back(std::move(ours));
  }
  EXPECT_GT(offGlobe, 0) << "no drawing reaches beyond the globe: the check tests nothing";
  const std::string gpsbabel = FindGpsbabel();
  if (gpsbabel.empty()) GTEST_SKIP() << kNoGpsbabel;
  CheckWithGpsbabel(gpsbabel, files, written);
}

}  // namespace
}  // namespace plotvue::testing
