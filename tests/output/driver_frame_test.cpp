// Tests of the driver frame: the header and trailer of every syntax, the state reset, OutWindow
// and OutRotate, the code checks, the Pascal procedure split, the Postscript header, the ARISTO.TXT
// block, the contract over all twelve syntaxes, and how output reaches files and ports (temporary
// name and rename, the input never overwritten, write failures, the serial line settings).
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>

#include "output/driver_harness.h"
#include "output/numformat.h"
#include "output/syntax.h"
#include "output/syntaxwriter.h"

namespace plotvue::testing {
namespace {

namespace fs = std::filesystem;

std::string Esc(const std::string& s) { return std::string{kEsc} + s; }

// Runs the body with the current directory set to `dir`.
struct ScopedCwd {
  explicit ScopedCwd(const std::string& dir) : old(fs::current_path()) { fs::current_path(dir); }
  ~ScopedCwd() { fs::current_path(old); }
  fs::path old;
};

struct ScopedEnv {
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    const char* old = std::getenv(name);
    if (old) old_ = old;
    had_ = old != nullptr;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  const char* name_;
  std::string old_;
  bool had_ = false;
};

// Files in `dir` other than those named.
std::vector<std::string> Leftovers(const std::string& dir, const std::vector<std::string>& keep) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) {
    std::string name = e.path().filename().string();
    if (std::find(keep.begin(), keep.end(), name) == keep.end()) out.push_back(name);
  }
  return out;
}

// --- Empty outputs: header, reset and trailer of every syntax --------------------------------

TEST(DriverFrame, HpglEmptyOutputIsTheExactProbeOfTheFrame) {
  DriverHarness h;
  EXPECT_EQ(h.Run(1), Esc(".(;IN;IW;DF;SD1,341;VS50;IW;PA0,0;"));
}

TEST(DriverFrame, EmptyOutputsOfTheTextSyntaxes) {
  struct Case {
    int syntax;
    int dialect;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {9, 1, Esc(".(;IN;IW;PA0,0;VS50;IW;PE7<<__<;PU;")},
      {11, 1,
       Esc("E") + Esc("%0B") + "IN;SD1,341;\r\nIW;DF;SD1,341;IW;PA0,0;" +
           Lines({Esc("%0A"), Esc("E")})},
      {2, 1, Lines({"%OUT", "", "G90", "G0D0X0Y0", "D80I0", "D80I0", "G0D0X0Y0", "D0", "M02"})},
      {3, 1, Lines({Esc(".("), "\x10PLOTVUE OUT", "VS50;", "PA0,0;", Esc(".)")})},
      {3, 2, Lines({"PA0,0;", Esc(".)")})},
      {4, 1,
       Lines({"%OUT", "", "G90", "G00 X0.000 Y0.000", "G00 Z100.000 S1000 M03 F500",
              "G00 X0.000 Y0.000", "M02"})},
      {4, 2, Lines({"; OUT", "", "G00 Z100.000 S1000 M03 F500", "M02"})},
      {4, 3,
       Lines({"%OUT", "", "G90", "G00 X0.000 Y0.000", "G00 Z100.000 S+1000 F500",
              "G00 X0.000 Y0.000", "T0", "M30"})},
  };
  for (const auto& c : cases) {
    DriverHarness h;
    ScopedCwd cwd(h.folder.path);
    h.program.settings.PlotFile = "OUT";
    h.program.settings.NcSyntax = static_cast<std::uint16_t>(c.dialect);
    EXPECT_EQ(h.Run(c.syntax), c.expected) << "syntax " << c.syntax << " dialect " << c.dialect;
  }
}

TEST(DriverFrame, LasercombTitleLineIsCutTo65Characters) {
  DriverHarness h;
  ScopedCwd cwd(h.folder.path);
  h.program.settings.PlotFile = std::string(70, 'P');
  std::string out = h.Run(3);
  EXPECT_TRUE(out.starts_with(Esc(".(\r\n") + "\x10PLOTVUE " + std::string(57, 'P') + "\r\nVS50;"))
      << out;
}

TEST(DriverFrame, PascalWithoutDrawingHasOneEmptyProcedureCalledOnce) {
  DriverHarness h;
  ScopedCwd cwd(h.folder.path);
  h.program.settings.PlotFile = "MY-PLOT";
  h.program.extents = Extents{0.0L, 0.0L, 210.0L, 148.5L};
  h.program.settings.PlotScale = 2.0L;
  h.program.settings.PlotOriginX = 5.0L;
  EXPECT_EQ(h.Run(6), Lines({"(* Programm generiert vom PLOTVUE *)",
                             "(* TAVOLIN Industriesoftware GmbH  *)",
                             "",
                             "Program MY_PLOT;",
                             "",
                             "uses RAREDOVA;",
                             "",
                             "",
                             "procedure TavoDrawing1;",
                             "(********************)",
                             "begin",
                             "end;",
                             "",
                             "var",
                             "  ch : char;",
                             "begin",
                             "  T_Init(0);",
                             "  T_InitGraph;",
                             "  T_ResetWindow;",
                             "  T_DrawTavoGraphTestFrame('TavoGraph');",
                             "  T_SetWindow(0,0,0.8,0.9,5,0,425,297,true,true);",
                             "  repeat",
                             "    T_ClearViewPort;",
                             "    TavoDrawing1;",
                             "    T_ZoomKey(ch);",
                             "  until(ch=#13)or(ch=#27);",
                             "  T_CloseGraph;",
                             "end."}));
}

TEST(DriverFrame, PascalProgramNameIsAValidIdentifier) {
  EXPECT_EQ(PascalProgramName("MY-PLOT"), "MY_PLOT");
  EXPECT_EQ(PascalProgramName("3D PLAN"), "P3D_PLAN");
  EXPECT_EQ(PascalProgramName("/tmp/out.dir/PLOT"), "PLOT");
  EXPECT_EQ(PascalProgramName("begin"), "Pbegin");
  EXPECT_EQ(PascalProgramName(""), "P");
  EXPECT_EQ(PascalProgramName("Ma\xe1"
                              "e"),
            "Ma_e");
}

TEST(DriverFrame, PascalProceduresHold344Then351CountedLines) {
  DriverHarness h;
  std::string out = h.Run(6, [](PlotDriver& d) {
    for (int k = 0; k < 344 + 351 + 5; ++k) d.DrawLine(0, 0, k + 1, 0);
  });
  auto linesIn = [&](int proc) {
    std::string head = "procedure TavoDrawing" + std::to_string(proc) + ";\r\n";
    std::size_t a = out.find(head);
    std::size_t b = out.find("end;\r\n", a);
    std::string body = out.substr(a, b - a);
    int n = 0;
    for (std::size_t p = body.find("  T_Line("); p != std::string::npos;
         p = body.find("  T_Line(", p + 1)) {
      ++n;
    }
    return n;
  };
  EXPECT_EQ(linesIn(1), 344);
  EXPECT_EQ(linesIn(2), 351);
  EXPECT_EQ(linesIn(3), 5);
  EXPECT_NE(out.find("    TavoDrawing3;\r\n    T_ZoomKey(ch);"), std::string::npos);
}

// Pascal and Postscript reuse the text of the point a polyline's next line starts from; each
// number must still read as its own text, across breaks of the polyline and -0.
TEST(DriverFrame, PolylinePointTextsAreTheTextsOfTheirNumbers) {
  const long double pts[][2] = {
      {0, 0},       {1.5L, 2},           {-0.0L, 3},       {147.99999999L, 1e-7L},
      {250.25L, 9}, {123456.789L, 4.5L}, {0.0004L, -7.25L}};
  // Lines k-1 -> k, with a break before the fifth line: it starts off the last end point, on
  // the same x.
  std::vector<std::array<long double, 4>> lines;
  for (std::size_t k = 1; k < std::size(pts); ++k) {
    long double x1 = pts[k - 1][0], y1 = pts[k - 1][1];
    if (k == 5) y1 += 50;
    lines.push_back({x1, y1, pts[k][0], pts[k][1]});
  }
  auto draw = [&](PlotDriver& d) {
    d.SelectPen(1);
    for (const auto& l : lines) d.DrawLine(l[0], l[1], l[2], l[3]);
  };
  DriverHarness h;
  const std::string pascal = h.Run(6, draw);
  std::string expected;
  for (const auto& l : lines) {
    expected += "  T_Line(" + FormatShort(l[0]) + "," + FormatShort(l[1]) + "," +
                FormatShort(l[2]) + "," + FormatShort(l[3]) + ");\r\n";
  }
  EXPECT_NE(pascal.find(expected), std::string::npos) << pascal;
  const std::string ps = h.Run(10, draw);
  expected.clear();
  for (const auto& l : lines) {
    expected += Lines({P(l[0]) + " " + P(l[1]) + " m", P(l[2]) + " " + P(l[3]) + " l"});
  }
  EXPECT_NE(ps.find(expected), std::string::npos) << ps;
}

TEST(DriverFrame, PostscriptExampleSegmentAfterTheHeader) {
  DriverHarness h;
  ScopedCwd cwd(h.folder.path);
  h.program.settings.PlotFile = "TEST";
  std::string out = h.Run(10, [](PlotDriver& d) {
    d.SelectPen(1);
    d.DrawLine(10, 10, 20, 10);
  });
  EXPECT_TRUE(fs::exists(h.folder.path + "/TEST.ps"));  // the table's extension, not ".PS"
  EXPECT_EQ(out, "\x04" +
                     Lines({"%!PostScript-Adobe-1.0",
                            "% ",
                            "% Dateiname: TEST.PS",
                            "% generiert von PLOTVUE Version 8.3",
                            "% Datum: 2026/12/06  Zeit: 9:05",
                            "% ",
                            "/m {moveto} def",
                            "/l {lineto} def",
                            "/s {stroke} def",
                            "/n {newpath} def",
                            "/r {rotate} def",
                            "/w {setlinewidth} def",
                            "2 setlinejoin",
                            "20 20 translate",
                            "0.24 0.24 scale",
                            "n",
                            "0 0 m",
                            "s",
                            "n",
                            "1 w",
                            "0 0 m",
                            "118 118 m",
                            "236 118 l",
                            "0 0 m",
                            "s",
                            "showpage",
                            "",
                            "%%EOF"}) +
                     "\x04");
}

TEST(DriverFrame, PostscriptHeaderDateFormatsRotationAndDecimals) {
  const std::vector<std::pair<int, std::string>> formats = {{1, "06.12.2026"},
                                                            {2, "12/06/2026"},
                                                            {3, "2026/12/06"},
                                                            {4, "06/12/2026"},
                                                            {7, "2026/12/06"}};
  for (const auto& [format, date] : formats) {
    DriverHarness h;
    h.d().options.DateFormat = format;
    EXPECT_NE(h.Run(10).find("% Datum: " + date + "  Zeit: 9:05\r\n"), std::string::npos) << format;
  }
  DriverHarness h;
  h.program.settings.Rotate90 = 'J';
  h.program.settings.DecimalPlaces = 5;
  h.d().options.clock = [] {
    GarminClockTime t = FixedTime();
    t.hour = 14;
    t.minute = 0;
    return t;
  };
  std::string out = h.Run(10);
  EXPECT_NE(out.find("Zeit: 14:00\r\n"), std::string::npos);
  EXPECT_NE(out.find("2 setlinejoin\r\n420 20 translate\r\n90 rotate\r\n0.2400 0.2400 scale\r\n"),
            std::string::npos);
}

TEST(DriverFrame, AristoCopiesTheAristoTxtBlock) {
  DriverHarness h;
  ScopedCwd cwd(h.folder.path);
  h.program.settings.PlotFile = "OUT";
  fs::create_directory(h.folder.path + "/pics");
  WriteFile(h.folder.path + "/pics/ARISTO.TXT", "D1I2\r\nD3I4\nlast");
  h.program.settings.HelpImageDir = h.folder.path + "/pics";  // no trailing slash
  std::string out = h.Run(2);
  EXPECT_EQ(out.substr(0, out.find("G90")), Lines({"%OUT", "", "D1I2", "D3I4", "last", ""}));
}

TEST(DriverFrame, OutRotateAndOutWindow) {
  struct Case {
    int syntax;
  };
  for (const Case& c : std::vector<Case>{{1}, {11}, {2}, {4}, {10}, {6}}) {
    DriverHarness h;
    std::string empty = h.Run(c.syntax);
    std::string rotated = h.Run(c.syntax, [](PlotDriver& d) { d.OutRotate(90); });
    // The rotation comes right after the reset, before the trailer's window reset.
    if (c.syntax == 1 || c.syntax == 11) {
      EXPECT_NE(rotated.find("RO90;IW;PA0,0;"), std::string::npos);
    } else if (c.syntax == 2) {
      EXPECT_NE(rotated.find("D80I0\r\nD49I90000J0\r\nD80I0\r\n"), std::string::npos);
    } else {
      EXPECT_EQ(rotated, empty) << c.syntax;
    }
  }
  // HP-GL/2 closes the open encoded run first.
  DriverHarness h;
  std::string out = h.Run(9, [](PlotDriver& d) {
    d.DrawLine(0, 0, 1, 0);
    d.OutRotate(90);
  });
  EXPECT_NE(out.find("PE7<<__Oa_<;PU;RO90;"), std::string::npos);
}

// --- Code checks -----------------------------------------------------------------------------

TEST(DriverFrame, UndefinedSyntaxCodeIsReportedAndNothingIsKept) {
  DriverHarness h;
  h.d().BeginOutput(0, 3);
  EXPECT_TRUE(h.program.ErrorFlag);
  ASSERT_EQ(h.ui.errors.size(), 1u);
  EXPECT_EQ(h.ui.errors[0], "Undefinierter Syntaxcode 0");
  EXPECT_EQ(h.d().state.syntax, 1);
  EXPECT_FALSE(h.d().state.outputOpen);
  EXPECT_TRUE(Leftovers(h.folder.path, {}).empty());
  EXPECT_EQ(h.d().CheckSyntaxCode(12), 12);
  EXPECT_EQ(h.d().CheckSyntaxCode(13), 1);
  EXPECT_EQ(h.ui.errors.back(), "Undefinierter Syntaxcode 13");
}

TEST(DriverFrame, UndefinedDeviceCodeUsesTheSerialPort) {
  DriverHarness h;
  const std::string port = h.folder.path + "/com1";
  WriteFile(port, "");
  ScopedEnv env("PLOTVUE_COM1", port);
  h.d().BeginOutput(1, 7);
  EXPECT_TRUE(h.program.ErrorFlag);
  EXPECT_EQ(h.ui.errors.at(0), "Undefinierter Ansteuercode 7");
  EXPECT_EQ(h.d().state.device, 1);
  EXPECT_EQ(h.d().CheckDeviceCode(3), 3);
}

// --- Contract: every syntax on the file device -----------------------------------------------

TEST(DriverFrame, EverySyntaxWritesHeaderAndTrailerToItsFile) {
  struct Case {
    int syntax;
    std::string extension;
    std::string begins;
    std::string ends;
  };
  const std::vector<Case> cases = {
      {1, "plt", Esc(".(;IN;"), "PA0,0;"},
      {2, "art", "%OUT\r\n", "D0\r\nM02\r\n"},
      {3, "hpg", Esc(".(\r\n"), Esc(".)\r\n")},
      {4, "cnc", "%OUT\r\n", "M02\r\n"},
      {5, "dxf", "  0\r\nSECTION\r\n  2\r\nHEADER\r\n", "  0\r\nEOF\r\n"},
      {6, "pas", "(* Programm", "end.\r\n"},
      {7, "igs", "IGES-Datei generiert von PLOTVUE", "T0000001\r\n"},
      {8, "c", "/* TAVOLIN Industriesoftware GmbH */\r\n", "  }\r\n"},
      {9, "pl2", Esc(".(;IN;"), "<;PU;"},
      {10, "ps", "\x04%!PostScript-Adobe-1.0\r\n", "%%EOF\r\n\x04"},
      {11, "hpl", Esc("E"), Esc("E") + "\r\n"},
      {12, "WPT", " \r\nH  SOFTWARE NAME & VERSION\r\n", "U  LAT LON DM\r\n"},
  };
  for (const Case& c : cases) {
    DriverHarness h;
    ScopedCwd cwd(h.folder.path);
    h.program.settings.PlotFile = "OUT";
    h.program.extents = Extents{0.0L, 0.0L, 100.0L, 50.0L};
    std::string out = h.Run(c.syntax);
    EXPECT_FALSE(h.d().state.outputOpen);
    EXPECT_TRUE(out.starts_with(c.begins)) << c.syntax;
    EXPECT_TRUE(out.ends_with(c.ends)) << c.syntax;
    EXPECT_EQ(Leftovers(h.folder.path, {"OUT." + c.extension}), std::vector<std::string>{})
        << c.syntax;
    EXPECT_TRUE(h.ui.errors.empty()) << c.syntax;
  }
}

// --- Files: temporary name, rename, the input never overwritten ------------------------------

TEST(DriverFiles, OutputAppearsOnlyWhenEndOutputSucceeds) {
  DriverHarness h;
  const std::string target = h.OutputPath(1);
  WriteFile(target, "OLD");
  ::chmod(target.c_str(), 0640);
  h.d().BeginOutput(1, 3);
  h.d().DrawLine(0, 0, 10, 10);
  EXPECT_EQ(ReadFile(target), "OLD");
  EXPECT_EQ(Leftovers(h.folder.path, {"OUT.plt"}).size(), 1u);  // the temporary beside it
  h.d().EndOutput();
  EXPECT_FALSE(h.program.ErrorFlag);
  EXPECT_NE(ReadFile(target), "OLD");
  EXPECT_TRUE(Leftovers(h.folder.path, {"OUT.plt"}).empty());
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(DriverFiles, AbandonedOutputLeavesThePreviousFile) {
  DriverHarness h;
  const std::string target = h.OutputPath(10);
  WriteFile(target, "OLD");
  h.d().BeginOutput(10, 3);
  h.d().DrawLine(0, 0, 10, 10);
  h.d().AbandonOutput();
  h.d().EndOutput();  // nothing open any more
  EXPECT_EQ(ReadFile(target), "OLD");
  EXPECT_TRUE(Leftovers(h.folder.path, {"OUT.ps"}).empty());
  // An output begun and never ended is dropped by the next BeginOutput and by the destructor.
  h.d().BeginOutput(10, 3);
  h.d().BeginOutput(1, 3);
  h.driver.reset();
  EXPECT_TRUE(Leftovers(h.folder.path, {"OUT.ps"}).empty());
}

// A held output (a Pascal program whose window is known only at the end) stays under its
// temporary name until its trailer is written; then it appears with the extents of that time.
// Dropped, it leaves the previous file and no temporary. Other syntaxes are not held.
TEST(DriverFiles, HeldOutputsAppearWhenTheirTrailersAreWritten) {
  for (bool keep : {true, false}) {
    DriverHarness h;
    const std::string pascal = h.OutputPath(6);
    WriteFile(pascal, "OLD");
    h.d().HoldTrailers();
    h.d().BeginOutput(6, 3);
    h.d().DrawLine(0, 0, 10, 10);
    h.d().EndOutput();
    h.d().BeginOutput(1, 3);
    h.d().EndOutput();
    EXPECT_EQ(h.d().HeldOutputs(), 1u);
    EXPECT_EQ(ReadFile(pascal), "OLD");
    EXPECT_EQ(Leftovers(h.folder.path, {"OUT.pas", "OUT.plt"}).size(), 1u);
    h.program.extents = Extents{-2.0L, 0.0L, 30.0L, 40.0L};
    EXPECT_TRUE(h.d().EndHeldOutputs(keep));
    EXPECT_FALSE(h.program.ErrorFlag);
    EXPECT_EQ(h.d().HeldOutputs(), 0u);
    EXPECT_TRUE(Leftovers(h.folder.path, {"OUT.pas", "OUT.plt"}).empty());
    const std::string text = ReadFile(pascal);
    if (keep) {
      EXPECT_NE(text.find("  T_Line(0,0,10,10);\r\n"), std::string::npos) << text;
      EXPECT_NE(text.find("  T_SetWindow(0,0,0.8,0.9,-2,0,30,40,true,true);\r\n"),
                std::string::npos)
          << text;
      EXPECT_EQ(text.substr(text.size() - 6), "end.\r\n");
    } else {
      EXPECT_EQ(text, "OLD");
    }
  }
}

TEST(DriverFiles, SymbolicLinkIsWrittenThrough) {
  DriverHarness h;
  const std::string real = h.folder.path + "/real.plt";
  WriteFile(real, "OLD");
  fs::create_symlink(real, h.OutputPath(1));
  h.Run(1);
  EXPECT_TRUE(fs::is_symlink(h.OutputPath(1)));
  EXPECT_TRUE(ReadFile(real).starts_with(Esc(".(;IN;")));
}

TEST(DriverFiles, TheFileBeingReadIsNeverTheOneWritten) {
  const std::string plot = "IN;SP1;PA0,0;PD400,400;";
  // Other spellings of the input's path, and links to it.
  for (int variant = 0; variant < 3; ++variant) {
    DriverHarness h;
    const std::string input = h.folder.path + "/IN.plt";
    WriteFile(input, plot);
    if (variant == 0) h.program.settings.PlotFile = h.folder.path + "/./IN";
    if (variant == 1) {
      fs::create_symlink(input, h.folder.path + "/LINK.plt");
      h.program.settings.PlotFile = h.folder.path + "/LINK";
    }
    if (variant == 2) {
      fs::create_hard_link(input, h.folder.path + "/HARD.plt");
      h.program.settings.PlotFile = h.folder.path + "/HARD";
    }
    // The conversion is refused (by the interpreter or by the driver).
    h.ConvertFile(1, input);
    EXPECT_TRUE(h.program.ErrorFlag || h.program.RunFailed) << variant;
    EXPECT_EQ(ReadFile(input), plot) << variant;
    ASSERT_FALSE(h.ui.errors.empty()) << variant;
    EXPECT_EQ(h.ui.errors.front(), "filename for source and destination must be different !");
    // The driver refuses on its own too.
    h.program.ErrorFlag = false;
    h.ui.errors.clear();
    h.d().BeginOutput(1, 3);
    EXPECT_TRUE(h.program.ErrorFlag) << variant;
    EXPECT_FALSE(h.d().state.outputOpen);
    EXPECT_EQ(h.ui.errors,
              std::vector<std::string>{"filename for source and destination must be different !"});
    EXPECT_EQ(ReadFile(input), plot) << variant;
  }
}

TEST(DriverFiles, TargetThatIsNoRegularFileOrInAMissingFolderIsRefused) {
  DriverHarness h;
  fs::create_directory(h.OutputPath(1));
  h.d().BeginOutput(1, 3);
  EXPECT_TRUE(h.program.ErrorFlag);
  h.program.ErrorFlag = false;
  h.program.settings.PlotFile = h.folder.path + "/missing/OUT";
  h.d().BeginOutput(1, 3);
  EXPECT_TRUE(h.program.ErrorFlag);
  EXPECT_FALSE(h.d().state.outputOpen);
}

TEST(DriverFiles, WriteFailureSetsErrorFlagAndKeepsThePreviousFile) {
  DriverHarness h;
  const std::string target = h.OutputPath(4);
  WriteFile(target, "OLD");
  h.d().BeginOutput(4, 3);
  ASSERT_FALSE(h.program.ErrorFlag);
  {
    FileSizeLimit limit(64 * 1024);
    for (int k = 0; k < 40000 && !h.program.ErrorFlag; ++k) h.d().DrawLine(k, 0, k, 10);
    EXPECT_TRUE(h.program.ErrorFlag);
    h.program.ErrorFlag = false;  // as the interpreter does before the trailer
    h.d().EndOutput();
  }
  EXPECT_TRUE(h.program.ErrorFlag);
  EXPECT_EQ(ReadFile(target), "OLD");
  EXPECT_TRUE(Leftovers(h.folder.path, {"OUT.cnc"}).empty());
  ASSERT_EQ(h.ui.errors.size(), 1u);
  EXPECT_TRUE(h.ui.errors[0].starts_with("erreur d'écriture " + target + " : ")) << h.ui.errors[0];
}

TEST(DriverFiles, WriteFailureOfTheLastBytesFailsTheOutput) {
  // A short output reaches the file only when it is closed: that write fails.
  DriverHarness h;
  const std::string target = h.OutputPath(1);
  WriteFile(target, "OLD");
  FileSizeLimit limit(16);
  h.d().BeginOutput(1, 3);
  ASSERT_FALSE(h.program.ErrorFlag);
  h.d().DrawLine(0, 0, 10, 10);
  h.d().EndOutput();
  EXPECT_TRUE(h.program.ErrorFlag);
  EXPECT_EQ(ReadFile(target), "OLD");
  EXPECT_TRUE(Leftovers(h.folder.path, {"OUT.plt"}).empty());
}

TEST(DriverFiles, ConversionWhoseWritesFailIsReportedAsFailed) {
  DriverHarness h;
  std::string plot = "IN;SP1;";
  for (int k = 0; k < 30000; ++k) plot += "PU0,0;PD" + std::to_string(k) + ",4000;";
  const std::string input = h.folder.path + "/IN.plt";
  WriteFile(input, plot);
  {
    FileSizeLimit limit(static_cast<rlim_t>(plot.size() + 4096));
    h.ConvertFile(4, input);
  }
  EXPECT_TRUE(h.program.RunFailed);
  EXPECT_FALSE(fs::exists(h.OutputPath(4)));
  EXPECT_TRUE(Leftovers(h.folder.path, {"IN.plt"}).empty());
}

// --- Ports -----------------------------------------------------------------------------------

TEST(DriverPorts, PortDevicePaths) {
  {
    ScopedEnv env("PLOTVUE_LPT2", "/tmp/lpt-two");
    EXPECT_EQ(LptDevicePath(2), "/tmp/lpt-two");
  }
  unsetenv("PLOTVUE_LPT1");
  EXPECT_EQ(LptDevicePath(1), fs::exists("/dev/usb/lp0") ? "/dev/usb/lp0" : "/dev/lp0");
  unsetenv("PLOTVUE_COM3");
  EXPECT_EQ(ComDevicePath(3), "/dev/ttyS2");
  EXPECT_EQ(LptDevicePath(5), "");
  EXPECT_EQ(ComDevicePath(0), "");
}

TEST(DriverPorts, ParallelPortGetsEveryCommandAtOnce) {
  DriverHarness h;
  const std::string port = h.folder.path + "/lpt";
  WriteFile(port, "");
  ScopedEnv env("PLOTVUE_LPT2", port);
  h.program.settings.LPT = 2;
  h.d().BeginOutput(1, 2);
  ASSERT_FALSE(h.program.ErrorFlag);
  h.d().SelectPen(1);
  h.d().DrawLine(10, 10, 20, 10);
  // Written already, before the output is closed; the probe's line end is gone with the reopen.
  EXPECT_EQ(ReadFile(port), Esc(".(;IN;IW;DF;SD1,341;VS50;SP1;PA400,400;PD;PA800,400;"));
  h.d().EndOutput();
  EXPECT_FALSE(h.program.ErrorFlag);
  EXPECT_EQ(ReadFile(port),
            Esc(".(;IN;IW;DF;SD1,341;VS50;SP1;PA400,400;PD;PA800,400;IW;PU;PA0,0;"));
}

TEST(DriverPorts, FullDeviceEndsTheRunWithDeviceNotReady) {
  DriverHarness h;
  ScopedEnv env("PLOTVUE_LPT1", "/dev/full");
  h.program.settings.DeviceCode = 2;
  h.program.settings.LPT = 1;
  h.Convert(1, "IN;SP1;PA0,0;PD400,400;");
  EXPECT_TRUE(h.program.RunFailed);
  ASSERT_FALSE(h.ui.errors.empty());
  EXPECT_EQ(h.ui.errors.back(), "device not ready");
  // A missing device fails the same way.
  ScopedEnv missing("PLOTVUE_LPT1", h.folder.path + "/no-such-port");
  h.ui.errors.clear();
  h.Convert(1, "IN;SP1;PA0,0;PD400,400;");
  EXPECT_TRUE(h.program.RunFailed);
  EXPECT_EQ(h.ui.errors.back(), "device not ready");
}

TEST(DriverPorts, WriteFailureAfterTheHeaderIsReportedOnce) {
  DriverHarness h;
  const std::string port = h.folder.path + "/lpt";
  WriteFile(port, "");
  ScopedEnv env("PLOTVUE_LPT1", port);
  h.d().BeginOutput(4, 2);
  ASSERT_FALSE(h.program.ErrorFlag);
  {
    FileSizeLimit limit(200);
    for (int k = 0; k < 50; ++k) h.d().DrawLine(k, 0, k, 10);
    EXPECT_TRUE(h.program.ErrorFlag);
    h.program.ErrorFlag = false;
    h.d().EndOutput();
  }
  EXPECT_TRUE(h.program.ErrorFlag);
  EXPECT_EQ(h.ui.errors, std::vector<std::string>{"device not ready"});
}

TEST(DriverPorts, SerialPortGetsTheLineSettingsOfTheSettings) {
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    GTEST_SKIP() << "no pseudo-terminal available";
  }
  const std::string slave = ptsname(master);
  DriverHarness h;
  ScopedEnv env("PLOTVUE_COM2", slave);
  h.program.settings.SerialPort = 2;
  // Pseudo-terminals take only 8 data bits without parity: those are checked below.
  h.program.settings.BaudRateCode = 7;  // 4800
  h.program.settings.StopBits = 2;
  h.d().BeginOutput(1, 1);
  ASSERT_FALSE(h.program.ErrorFlag);
  h.d().EndOutput();
  ASSERT_FALSE(h.program.ErrorFlag) << ::testing::PrintToString(h.ui.errors);
  std::string got;
  char buf[256];
  fcntl(master, F_SETFL, O_NONBLOCK);
  for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;)
    got.append(buf, static_cast<std::size_t>(n));
  EXPECT_EQ(got, "\r\n" + Esc(".(;IN;IW;DF;SD1,341;VS50;IW;PA0,0;"));  // the probe, then the output
  int fd = open(slave.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  termios tio{};
  ASSERT_EQ(tcgetattr(fd, &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B4800));
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_NE(tio.c_cflag & CSTOPB, 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);  // raw: the bytes go out unchanged
  close(fd);
  close(master);
}

TEST(DriverPorts, SerialLineSettingsByCode) {
  struct Case {
    int baud, bits, stop, parity;
    speed_t speed;
    tcflag_t size, stopFlag, parityFlags;
  };
  const std::vector<Case> cases = {
      {1, 1, 1, 1, B110, CS7, 0, 0},
      {8, 2, 2, 2, B9600, CS8, CSTOPB, PARENB | PARODD},
      {5, 2, 1, 3, B1200, CS8, 0, PARENB},
      {0, 2, 1, 1, B9600, CS8, 0, 0},  // unknown code: 9600
  };
  for (const Case& c : cases) {
    Settings s;
    s.BaudRateCode = static_cast<std::uint16_t>(c.baud);
    s.DataBitsCode = static_cast<std::uint16_t>(c.bits);
    s.StopBits = static_cast<std::uint16_t>(c.stop);
    s.ParityCode = static_cast<std::uint16_t>(c.parity);
    termios tio{};
    tio.c_cflag = CSTOPB | PARENB | PARODD | CRTSCTS;
    SetSerialTermios(s, tio);
    EXPECT_EQ(cfgetospeed(&tio), c.speed);
    EXPECT_EQ(cfgetispeed(&tio), c.speed);
    EXPECT_EQ(tio.c_cflag & CSIZE, c.size);
    EXPECT_EQ(tio.c_cflag & CSTOPB, c.stopFlag);
    EXPECT_EQ(tio.c_cflag & (PARENB | PARODD), c.parityFlags);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  }
}

}  // namespace
}  // namespace plotvue::testing
