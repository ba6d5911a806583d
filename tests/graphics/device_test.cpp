// The drawing device and the show sequences of the main window: what a screen run records, the
// file check, the display text, the point rotation, and the commands that open, regenerate and
// clear a drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "graphics/fakes.h"
#include "graphics/show.h"
#include "input/hpin.h"

namespace plotvue::testing {
namespace {

namespace fs = std::filesystem;
using Records = std::vector<std::string>;

// A scratch directory with plot files, removed at the end.
struct PlotDir {
  PlotDir() {
    dir = fs::temp_directory_path() /
          ("plotvue_view_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::create_directories(dir);
  }
  ~PlotDir() { fs::remove_all(dir); }
  std::string Write(const std::string& name, const std::string& text) const {
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
  }
  fs::path dir;
  static inline int counter = 0;
};

TEST(DeviceTest, ScreenRunRecordsColoursAndElements) {
  WindowFixture f;
  PlotDir d;
  const std::string path = d.Write("A.PLT", "IN;SP1;PU400,400;PD800,400;CI40;SP2;PD800,800;");
  ASSERT_TRUE(OpenNamedFile(f.program, f.device, path));
  // The list starts with the window record of the Header, then the drawing; the colour filter
  // keeps repeats out.
  EXPECT_EQ(f.Records(), (Records{"10;1;1;638;478;10;9;21;20", "11;0", "8;12", "4;10;10;20;10",
                                  "3;20;10;1", "8;14", "4;20;10;20;20"}));
  EXPECT_EQ(f.program.ElementCount, 3);
  EXPECT_FALSE(f.program.ErrorFlag);
}

TEST(DeviceTest, TheOneRequestWalkThrough) {
  WindowFixture f;
  PlotDir d;
  const std::string path = d.Write("A.PLT", "IN;SP1;PU400,400;PD800,400;");
  ASSERT_TRUE(OpenNamedFile(f.program, f.device, path));
  EXPECT_EQ(f.program.extents.xmin, 10);
  EXPECT_EQ(f.program.extents.ymax, 11);
  EXPECT_EQ(f.Records(), (Records{"10;1;1;638;478;10;10;20;11", "11;0", "8;12", "4;10;10;20;10"}));
  // The repaint draws the line in colour 12.
  RecordingCanvas canvas(640, 480);
  f.window.FormPaint(canvas);
  EXPECT_EQ(canvas.Only("Pen("), (Records{"Pen(255,0,0)"}));
  EXPECT_EQ(canvas.Only("Line").size(), 1u);
}

TEST(DeviceTest, LabelsAreConvertedForDisplay) {
  WindowFixture f;
  f.device.DevOutText("caf\x82 \xf8", 1, 2);
  f.device.DevOutText(std::string(300, 'x'), 1, 2);
  f.device.DevOutText(std::string(254, 'y'), 1, 2);
  EXPECT_EQ(f.window.list().Text(0), "6;1;2;café °");
  EXPECT_EQ(f.window.list().Text(1), "6;1;2;");
  EXPECT_EQ(f.window.list().Text(2), "6;1;2;" + std::string(254, 'y'));
}

TEST(DeviceTest, TextJustifyChangesNothing) {
  WindowFixture f;
  f.device.DevSetTextJustify(1, 2);
  f.device.DevSetTextJustify(0, 0);
  EXPECT_TRUE(f.window.list().Empty());
  f.device.DevSetTextStyle(2, 45, 3.5L, 2.8L);
  EXPECT_EQ(f.Records(), (Records{"9;3.5;2.8;2;45"}));
}

TEST(DeviceTest, CheckFile) {
  WindowFixture f;
  PlotDir d;
  f.device.DevCheckFile(d.Write("ok.plt", "IN;"));
  EXPECT_FALSE(f.program.ErrorFlag);
  EXPECT_TRUE(f.ui.messages.empty());
  f.device.DevCheckFile("my pic.plt");
  EXPECT_TRUE(f.program.ErrorFlag);
  EXPECT_EQ(f.ui.messages, (Records{"mypic.plt pas trouver !"}));
  f.program.ErrorFlag = false;
  f.device.DevCheckFile(d.dir.string());  // a directory holds no drawing
  EXPECT_TRUE(f.program.ErrorFlag);
}

TEST(DeviceTest, RotatePoint) {
  const RotatedPoint p = RotatePoint(10, 0, 0, 0, std::numbers::pi_v<long double> / 2);
  EXPECT_NEAR(static_cast<double>(p.x), 0, 1e-15);
  EXPECT_NEAR(static_cast<double>(p.y), 10, 1e-15);
  const RotatedPoint q = RotatePoint(2, 1, 1, 1, std::numbers::pi_v<long double>);
  EXPECT_NEAR(static_cast<double>(q.x), 0, 1e-15);
  EXPECT_NEAR(static_cast<double>(q.y), 1, 1e-15);
}

TEST(DeviceTest, ArcsAndCirclesOfAScreenRun) {
  WindowFixture f;
  PlotDir d;
  // AA with sweep 0 is a full circle; a sweep of 2 degrees is a chord.
  const std::string path =
      d.Write("arcs.plt", "IN;SP1;PU400,0;PD;AA0,0,0;PU400,0;PD;AA0,0,2;PU400,0;PD;AA0,0,90;");
  ASSERT_TRUE(OpenNamedFile(f.program, f.device, path));
  std::vector<RecordKind> kinds;
  for (std::size_t i = 0; i < f.window.list().Count(); ++i)
    kinds.push_back(f.window.list().At(i).kind);
  EXPECT_EQ(kinds, (std::vector<RecordKind>{RecordKind::RecWindow, RecordKind::RecLineStyle,
                                            RecordKind::RecColor, RecordKind::RecArc,
                                            RecordKind::RecLine, RecordKind::RecArc}));
  const Record full = f.window.list().At(3);
  EXPECT_EQ(full.v[4], full.v[6]);
  EXPECT_EQ(full.v[5], full.v[7]);
}

TEST(ShowTest, EmptyFileShowsAnEmptyWindow) {
  WindowFixture f;
  PlotDir d;
  const std::string path = d.Write("empty.plt", "IN;SP1;PU100,100;");
  ASSERT_TRUE(OpenNamedFile(f.program, f.device, path));
  EXPECT_TRUE(f.program.extents.Empty());
  EXPECT_FALSE(f.program.ErrorFlag);
  EXPECT_EQ(f.Records(), (Records{"10;1;1;638;478;0;0;1;1", "11;0"}));
  EXPECT_EQ(f.window.view().WorldWindow, (WorldRect{0, 0, 1, 1}));
  RecordingCanvas canvas(640, 480);
  f.window.FormPaint(canvas);
  EXPECT_FALSE(f.program.ErrorFlag);
}

TEST(ShowTest, UnreadableFileKeepsTheOldDrawing) {
  WindowFixture f;
  PlotDir d;
  ASSERT_TRUE(OpenNamedFile(f.program, f.device, d.Write("a.plt", "IN;PD400,400;")));
  const std::size_t count = f.window.list().Count();
  EXPECT_FALSE(OpenNamedFile(f.program, f.device, (d.dir / "missing.plt").string()));
  EXPECT_TRUE(f.program.ErrorFlag);
  EXPECT_EQ(f.window.list().Count(), count);
  EXPECT_FALSE(f.ui.errors.empty());
}

TEST(ShowTest, OpenCommand) {
  WindowFixture f;
  PlotDir d;
  const std::string path = d.Write("part.hpgl", "IN;SP1;PD400,400;");
  f.ui.openAnswer = std::nullopt;
  OpenFileCommand(f.program, f.device);
  EXPECT_TRUE(f.program.ErrorFlag);  // cancelled
  EXPECT_TRUE(f.window.list().Empty());
  f.ui.openAnswer = path;
  OpenFileCommand(f.program, f.device);
  EXPECT_FALSE(f.program.ErrorFlag);
  EXPECT_EQ(f.program.file.base, "part");
  EXPECT_EQ(f.program.file.ext, "hpgl");
  EXPECT_EQ(f.program.settings.PlotFile, "part");
  EXPECT_EQ(f.program.settings.InPath, d.dir.string() + "/");
  EXPECT_EQ(f.window.list().Count(), 4u);
  EXPECT_EQ(MainCaption(f.program), "PLOTVUE  -  part.hpgl");
  // Regen reads the file again; Clear empties the window and unzooms.
  f.window.SetScale(10, 10, 20, 20);
  RegenCommand(f.program, f.device);
  // The new list records its colour and line style again.
  EXPECT_EQ(f.Records(), (Records{"10;1;1;638;478;0;0;10;10", "11;0", "8;12", "4;0;0;10;10"}));
  EXPECT_EQ(f.window.view().ZoomRect, (PixelRect{1, 1, 638, 478}));
  f.window.SetScale(10, 10, 20, 20);
  ClearCommand(f.device);
  EXPECT_TRUE(f.window.list().Empty());
  EXPECT_EQ(f.window.view().ZoomRect, (PixelRect{1, 1, 638, 478}));
}

TEST(ShowTest, CaptionAndFilter) {
  RecordingInteraction ui;
  Program p(ui);
  EXPECT_EQ(MainCaption(p), "PLOTVUE");
  p.file = CurrentFile::FromPath("/x/a.plt");
  EXPECT_EQ(MainCaption(p), "PLOTVUE  -  a.plt");
  p.file = CurrentFile{"/x/", "a.b", "plt"};
  EXPECT_EQ(MainCaption(p), "PLOTVUE  -  a.b");
  p.file = CurrentFile::FromPath("/x/README");
  EXPECT_EQ(MainCaption(p), "PLOTVUE  -  README");
  // The current file's kind first, then every plot file, then everything.
  const std::string rest =
      ";;Plot files (*.plt *.hpgl *.hpg *.hgl *.pl2 *.hp *.prn);;All files (*)";
  EXPECT_EQ(OpenFilter("plt"), "*.plt" + rest);
  EXPECT_EQ(OpenFilter("hpgl"), "*.hpgl" + rest);
  EXPECT_EQ(OpenFilter(""), "*" + rest);
  p.file = CurrentFile{};
  EXPECT_FALSE(HasCurrentFile(p));
  p.file = CurrentFile::FromPath("/x/a.plt");
  EXPECT_TRUE(HasCurrentFile(p));
}

TEST(ShowTest, StartupLogo) {
  WindowFixture f;
  ShowStartupLogo(f.device);
  const Records r = f.Records();
  ASSERT_GE(r.size(), 2u);
  EXPECT_EQ(r[0], "10;65;25;606;454;0;0;36.9;32");
  EXPECT_EQ(r[1], "10;1;1;638;478;0;0;36.9;32");
}

}  // namespace
}  // namespace plotvue::testing
