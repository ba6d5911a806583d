// The print settings fields, the printer information rows, the print sequence on a recording
// page and the /G step of the batch run with a recording printer.
#include "app/printing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/batch.h"
#include "graphics/fakes.h"
#include "input/hpin.h"
#include "support/process.h"

namespace plotvue {
namespace {

using testing::RecordingCanvas;
using testing::WindowFixture;

// A printer whose page is a recording canvas of PW x PH pixels.
class RecordingPrinter : public PrintSurface {
 public:
  RecordingPrinter(int pw = 2100, int ph = 2970) : page(pw, ph), pw_(pw), ph_(ph) {}
  std::string Name() const override { return name; }
  Orientation GetOrientation() const override { return orientation; }
  void SetOrientation(Orientation o) override { orientation = o; }
  Canvas* BeginDoc(std::string& error) override {
    ++begun;
    if (!beginError.empty()) {
      error = beginError;
      return nullptr;
    }
    return &page;
  }
  int PageWidth() const override { return pw_; }
  int PageHeight() const override { return ph_; }
  bool EndDoc(std::string& error) override {
    ++ended;
    if (!endError.empty()) {
      error = endError;
      return false;
    }
    return true;
  }

  RecordingCanvas page;
  std::string name = "Bureau";
  Orientation orientation = Orientation::Portrait;
  std::string beginError, endError;
  int begun = 0, ended = 0;

 private:
  int pw_, ph_;
};

// A drawing of one line in colour 12 over the world window (0,0)-(100,50).
void Draw(WindowFixture& fx) {
  fx.window.Header(0, 0, 100, 50);
  fx.window.SetColor(12);
  fx.window.line(0, 0, 100, 50);
}

TEST(PrintFields, ScalesOriginsAndItemsRoundTrip) {
  Settings s;
  PrintFields f;
  f.scaleX = "1,5";  // the comma is the decimal point
  f.scaleY = "abc";  // not a number
  f.originX = "21";
  f.originY = "12a";
  f.border = true;
  f.colourItem = 1;
  TakePrintFields(f, s);
  EXPECT_EQ(s.ScreendumpScale, 1.5L);
  EXPECT_EQ(s.PrintScaleVertical, 0.0L);
  EXPECT_EQ(s.ScreendumpOriginX, 21);
  EXPECT_EQ(s.ScreendumpOriginY, 0);
  EXPECT_TRUE(s.ScreendumpBorder);
  EXPECT_EQ(s.WindowsPrintMode, 2);

  const PrintFields back = FieldsFromSettings(s, Orientation::Landscape);
  EXPECT_EQ(back.scaleX, "1.5");
  EXPECT_EQ(back.scaleY, "0");
  EXPECT_EQ(back.originX, "21");
  EXPECT_EQ(back.colourItem, 1);
  EXPECT_EQ(back.orientationItem, 1);

  EXPECT_EQ(ScaleFieldText(0.000009L), "0");
  EXPECT_EQ(ScaleFieldText(-0.000009L), "0");
  EXPECT_EQ(ScaleFieldText(0.00001L), "1e-05");
  EXPECT_EQ(ScaleFieldText(1.9L), "1.9");
  EXPECT_EQ(ScaleFieldText(INFINITY), "0");
}

TEST(PrintFields, OpeningTheDialogStartsFromTheSavedValues) {
  Settings s;
  s.ScreendumpScale = 3;
  s.ScreendumpOriginX = 40;
  s.ScreendumpBorder = true;
  s.WindowsPrintMode = 2;
  RecordingPrinter printer;
  PrintSaved saved;  // 1, 1, 0, 0, off, landscape
  PrintFields f = OpenPrintDialog(saved, s, printer);
  EXPECT_EQ(s.ScreendumpScale, 1.0L);
  EXPECT_EQ(s.ScreendumpOriginX, 0);
  EXPECT_FALSE(s.ScreendumpBorder);
  EXPECT_EQ(f.colourItem, 1);  // the colour mode is not one of the saved values
  EXPECT_EQ(printer.orientation, Orientation::Landscape);
  EXPECT_EQ(f.orientationItem, 1);
  saved.orientation = 1;
  f = OpenPrintDialog(saved, s, printer);
  EXPECT_EQ(printer.orientation, Orientation::Portrait);
  EXPECT_EQ(f.orientationItem, 0);

  Settings fromFile;
  fromFile.ScreendumpScale = 2;
  fromFile.PrintScaleVertical = 0.5L;
  fromFile.ScreendumpOriginY = 7;
  const PrintSaved start = SavedFromSettings(fromFile);
  EXPECT_EQ(start.scaleX, 2.0L);
  EXPECT_EQ(start.scaleY, 0.5L);
  EXPECT_EQ(start.originY, 7);
  EXPECT_EQ(start.orientation, 2);
}

TEST(PrintFields, PrinterNameIsRightAlignedOrCutToFortyCharacters) {
  EXPECT_EQ(PrinterNameField("PDF"), std::string(37, ' ') + "PDF");
  EXPECT_EQ(PrinterNameField(std::string(50, 'x')), std::string(40, 'x'));
  // Characters, not bytes: "é" is one.
  const std::string name = "Imprimante é";
  EXPECT_EQ(PrinterNameField(name), std::string(28, ' ') + name);
  std::string long_;
  for (int k = 0; k < 45; ++k) long_ += "é";
  const std::string cut = PrinterNameField(long_);
  EXPECT_EQ(cut.size(), 80u);
}

TEST(PrinterInfo, RowsShowWhatIsKnownAndAQuestionMarkElse) {
  PrinterCaps caps;
  caps.name = "Bureau";
  caps.technology = 2;
  caps.widthMm = 200;
  caps.dpiX = 600;
  caps.fonts = 2;
  caps.fontNames = {"Courier", "Helvetica"};
  const auto rows = PrinterInfoRows(caps);
  ASSERT_EQ(rows.size(), 18u);
  EXPECT_EQ(rows[0], (std::pair<std::string, std::string>{"Name", "Bureau"}));
  EXPECT_EQ(rows[1].second, "?");
  EXPECT_EQ(rows[2].second, "Rasterdrucker");
  EXPECT_EQ(rows[3], (std::pair<std::string, std::string>{"Druckbreite (mm)", "200"}));
  EXPECT_EQ(rows[4].first, "Druckhöhe (mm)");
  EXPECT_EQ(rows[4].second, "?");
  EXPECT_EQ(rows[9].second, "600");
  EXPECT_EQ(rows[15], (std::pair<std::string, std::string>{"Schriften", "2"}));
  EXPECT_EQ(rows[17], (std::pair<std::string, std::string>{"", "Helvetica"}));
  EXPECT_EQ(TechnologyName(0), "Plotter");
  EXPECT_EQ(TechnologyName(1), "Rasterbildschirm");
  EXPECT_EQ(TechnologyName(3), "?");
  EXPECT_EQ(TechnologyName(4), "Zeichendrucker");
  EXPECT_EQ(TechnologyName(5), "Metafile");
  EXPECT_EQ(TechnologyName(-1), "?");
}

// The border frame is the first thing on the page: its first corner is the world window's lower
// left corner, at the viewport's (vx1, vy2) scaled to the page.
TEST(PrintSequence, LowerLeftCornerOriginAndBorderColour) {
  WindowFixture fx;
  Draw(fx);
  fx.program.settings.ScreendumpBorder = true;
  fx.program.settings.WindowsPrintMode = 1;
  RecordingPrinter printer(2100, 2970);
  RecordingCanvas screen(640, 480);
  ASSERT_TRUE(PrintSequence(fx.program, fx.window, screen, printer));
  EXPECT_EQ(printer.begun, 1);
  EXPECT_EQ(printer.ended, 1);
  EXPECT_FALSE(fx.window.view().PrintMirror);

  const PixelRect vp = fx.window.view().ViewPort;
  const int x0 = static_cast<int>(std::nearbyint(2100.0L * vp.x1 / 639));
  const int y0 = static_cast<int>(std::nearbyint(2970.0L * vp.y2 / 479));
  const auto& log = printer.page.log;
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0], "PenWidth(1)");
  // Colour mode on screen: the frame is cyan even in the monochrome print mode.
  EXPECT_EQ(log[1], "Pen(0,255,255)");
  EXPECT_EQ(log[2], "MoveTo(" + std::to_string(x0) + "," + std::to_string(y0) + ")");
  // Monochrome printing: the line's colour record gives a black pen.
  const auto pens = printer.page.Only("Pen(");
  EXPECT_EQ(pens.back(), "Pen(0,0,0)");
  const auto lines = printer.page.Only("Line(");
  ASSERT_EQ(lines.size(), 1u);
  // The window received the line too.
  EXPECT_EQ(screen.Only("Line(").size(), 2u);  // once alone, once with the page

  // Origin 21 mm on a page 2100 pixels wide: 210 pixels right and 210 pixels down.
  fx.program.settings.ScreendumpOriginX = 21;
  fx.program.settings.ScreendumpOriginY = 21;
  RecordingPrinter moved(2100, 2970);
  ASSERT_TRUE(PrintSequence(fx.program, fx.window, screen, moved));
  EXPECT_EQ(moved.page.log[2],
            "MoveTo(" + std::to_string(x0 + 210) + "," + std::to_string(y0 + 210) + ")");

  // Without colour graphics the frame takes the printer's pen as it is.
  fx.program.settings.ColourGraphics = false;
  RecordingPrinter mono;
  ASSERT_TRUE(PrintSequence(fx.program, fx.window, screen, mono));
  EXPECT_EQ(mono.page.Only("Pen(").size(), 1u);
}

TEST(PrintSequence, ColourModeTakesThePaletteAndPausesDoNotWait) {
  WindowFixture fx;
  Draw(fx);
  fx.window.SleepMs(500);
  fx.window.SetLineWidth(2);
  fx.window.line(0, 50, 100, 0);
  fx.program.settings.WindowsPrintMode = 2;
  RecordingPrinter printer;
  NullCanvas screen;
  fx.host.log.clear();
  ASSERT_TRUE(PrintSequence(fx.program, fx.window, screen, printer));
  // The first replay (window alone) waits; the mirrored one does not.
  int sleeps = 0;
  for (const auto& l : fx.host.log) sleeps += l == "Sleep(500)";
  EXPECT_EQ(sleeps, 1);
  const auto pens = printer.page.Only("Pen(");
  EXPECT_NE(std::find(pens.begin(), pens.end(), "Pen(255,0,0)"), pens.end());
  const auto widths = printer.page.Only("PenWidth(");
  EXPECT_EQ(widths.back(), "PenWidth(8)");  // four times the recorded width
}

// "ajuster" shows the whole drawing on the whole page, zoomed in before or not.
TEST(PrintSequence, ZoomAppliesUnlessFitted) {
  NullCanvas screen;
  WindowFixture plain;
  Draw(plain);
  RecordingPrinter whole;
  ASSERT_TRUE(PrintSequence(plain.program, plain.window, screen, whole));
  FitWholeDrawing(plain.window);
  RecordingPrinter fittedPlain;
  ASSERT_TRUE(PrintSequence(plain.program, plain.window, screen, fittedPlain));

  WindowFixture fx;
  Draw(fx);
  fx.window.processKey(kVkAdd);  // zoom in
  RecordingPrinter zoomed;
  ASSERT_TRUE(PrintSequence(fx.program, fx.window, screen, zoomed));
  ASSERT_EQ(zoomed.page.Only("Line(").size(), 1u);
  EXPECT_NE(zoomed.page.Only("Line(")[0], whole.page.Only("Line(")[0]);
  FitWholeDrawing(fx.window);
  RecordingPrinter fitted;
  ASSERT_TRUE(PrintSequence(fx.program, fx.window, screen, fitted));
  EXPECT_EQ(fitted.page.Only("Line(")[0], fittedPlain.page.Only("Line(")[0]);
  // The diagonal then runs from near the lower left to near the upper right corner of the page.
  EXPECT_EQ(fitted.page.Only("Line(")[0], "Line(7,2958,2093,12)");
}

TEST(PrintSequence, AJobThatFailsSaysWhyAndSetsTheErrorFlag) {
  WindowFixture fx;
  Draw(fx);
  NullCanvas screen;
  RecordingPrinter gone;
  gone.beginError = "l'imprimante Bureau n'est pas disponible !";
  EXPECT_FALSE(PrintSequence(fx.program, fx.window, screen, gone));
  EXPECT_TRUE(fx.program.ErrorFlag);
  EXPECT_FALSE(fx.window.view().PrintMirror);
  EXPECT_EQ(gone.ended, 0);
  ASSERT_EQ(fx.ui.errors.size(), 1u);
  EXPECT_EQ(fx.ui.errors[0], "Erreur d'impression : l'imprimante Bureau n'est pas disponible !");

  fx.program.ErrorFlag = false;
  RecordingPrinter unwritable;
  unwritable.endError = "x";
  EXPECT_FALSE(PrintSequence(fx.program, fx.window, screen, unwritable));
  EXPECT_TRUE(fx.program.ErrorFlag);
  EXPECT_EQ(unwritable.ended, 1);
}

// A provider that has no printer, or one, and records the PDF files asked for.
class RecordingProvider : public PrinterProvider {
 public:
  std::unique_ptr<PrintSurface> DefaultPrinter() override {
    if (!hasPrinter) return nullptr;
    auto p = std::make_unique<RecordingPrinter>();
    last = p.get();
    return p;
  }
  std::unique_ptr<PrintSurface> PdfFile(const std::string& path) override {
    pdfs.push_back(path);
    auto p = std::make_unique<RecordingPrinter>();
    last = p.get();
    return p;
  }
  bool hasPrinter = false;
  std::vector<std::string> pdfs;
  RecordingPrinter* last = nullptr;  // valid during the step only
};

struct ScratchDir {
  ScratchDir() {
    dir = std::filesystem::temp_directory_path() /
          ("plotvue-print-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(dir);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::string Write(const std::string& name, const std::string& text) const {
    std::ofstream((dir / name).string(), std::ios::binary) << text;
    return (dir / name).string();
  }
  static inline int serial = 0;
  std::filesystem::path dir;
};

TEST(BatchPrint, EveryFileGoesIntoItsPdfWithoutAPrinter) {
  ScratchDir scratch;
  scratch.Write("A.plt", "IN;SP1;PU400,400;PD800,400;");
  scratch.Write("B.plt", "IN;SP2;PU0,0;PD400,4000;");
  testing::RecordingInteraction ui;
  Program program(ui);
  program.settings.ScreenWidthPx = 639;
  program.settings.ScreenHeightPx = 479;
  auto provider = std::make_shared<RecordingProvider>();
  BatchContext context;
  context.print = MakeBatchPrintStep(provider);
  std::ostringstream out;
  const int code = RunBatch(program, {(scratch.dir / "*.plt").string(), "/G"}, out, context);
  EXPECT_EQ(code, 0);
  ASSERT_EQ(provider->pdfs.size(), 2u);
  std::sort(provider->pdfs.begin(), provider->pdfs.end());
  EXPECT_EQ(provider->pdfs[0], (scratch.dir / "A.pdf").string());
  EXPECT_EQ(provider->pdfs[1], (scratch.dir / "B.pdf").string());
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_NE(ui.messages[0].find(" imprimé dans "), std::string::npos);
  EXPECT_TRUE(ui.errors.empty());
}

TEST(BatchPrint, TheDefaultPrinterGetsTheDrawingAndAFailureCounts) {
  ScratchDir scratch;
  const std::string plot = scratch.Write("A.plt", "IN;SP1;PU400,400;PD800,400;");
  testing::RecordingInteraction ui;
  Program program(ui);
  program.settings.ScreenWidthPx = 639;
  program.settings.ScreenHeightPx = 479;
  program.file = CurrentFile::FromPath(plot);
  RunInterpreter(program, RunMode::Scan);
  auto provider = std::make_shared<RecordingProvider>();
  provider->hasPrinter = true;
  auto step = MakeBatchPrintStep(provider);
  EXPECT_TRUE(step(program));
  EXPECT_TRUE(provider->pdfs.empty());
  EXPECT_TRUE(ui.messages.empty());

  // An unreadable file after its scan: nothing is printed.
  std::filesystem::remove(plot);
  EXPECT_FALSE(step(program));
}

// The real command line: without a printer (no CUPS server to ask), every file gets its PDF
// beside it, which shows the drawing on an A4 page.
TEST(BatchPrint, CommandLineWritesOnePdfPerFileWithoutPrinters) {
  ScratchDir scratch;
  scratch.Write("A1.plt", "IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;");
  scratch.Write("A2.plt", "IN;SP2;PU0,0;PD4000,4000;");
  const std::string dir = scratch.dir.string();
  int status = 0;
  const std::string err = testing::RunCommand(
      "cd '" + dir + "' && CUPS_SERVER=/nonexistent/cups.sock PLOTVUE_HOME='" + dir + "/.home' '" +
          PLOTVUE_EXE + "' 'A*.plt' /G 2>&1 >/dev/null </dev/null",
      status);
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#ifdef PLOTVUE_WITH_PRINTING
  EXPECT_EQ(code, 0) << err;
  EXPECT_NE(err.find("Message: pas d'imprimante : A1.plt imprimé dans A1.pdf\n"), std::string::npos)
      << err;
  EXPECT_NE(err.find("Message: pas d'imprimante : A2.plt imprimé dans A2.pdf\n"), std::string::npos)
      << err;
  for (const char* name : {"A1.pdf", "A2.pdf"}) {
    const std::string pdf = dir + "/" + name;
    ASSERT_TRUE(std::filesystem::exists(pdf)) << name;
    std::ifstream in(pdf, std::ios::binary);
    std::string head(5, '\0');
    in.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
    if (!testing::HaveProgram("pdfinfo")) continue;
    const std::string info = testing::RunCommand("pdfinfo '" + pdf + "' | tr -s ' '", status);
    EXPECT_NE(info.find("Pages: 1\n"), std::string::npos) << info;
    EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
  }
  // No partial files are left behind.
  for (const auto& entry : std::filesystem::directory_iterator(scratch.dir))
    EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
#else
  EXPECT_EQ(code, 1);
  EXPECT_EQ(err,
            "Erreur : printing is not available in this version of PLOTVUE: the files are not "
            "printed !\n");
#endif
}

}  // namespace
}  // namespace plotvue
