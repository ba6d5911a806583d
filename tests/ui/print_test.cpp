// Printing from the window: the print dialogs driven offscreen (what OK stores, "Annuler"), and
// pages printed into PDF files through QPrinter, rendered with pdftoppm and looked at pixel by
// pixel: where the drawing lands, the origin, the cyan border frame, monochrome and colour, the
// zoom in force and "ajuster", the page size, vectors rather than a bitmap. With a CUPS server
// and a PDF queue in the test set-up, also a page through a real CUPS queue.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPrinterInfo>
#include <QThread>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "support/process.h"
#include "ui/mainwindow.h"
#include "ui/printdialogs.h"
#include "ui/window_fixture.h"

namespace plotvue::testing {
namespace {

// A cross of 100 mm in pen 2: the corners of its extents (and of the border frame) stay clear
// of the drawing.
const char* const kSquare = "IN;SP2;PU0,2000;PD4000,2000;PU2000,0;PD2000,4000;";

constexpr int kRenderDpi = 50;

struct PrintFixture : WindowFixture {
  PrintFixture() : plot("square.plt") {
    plot.Write(kSquare);
    EXPECT_TRUE(main->OpenNamedFile(plot.path));
    Settle();
    pdf = (plot.dir / "out.pdf").string();
    SetUpPdfPrinter(main->printing().printer(), QString::fromStdString(pdf));
    // The printer dialog is answered "confirmed" without being shown.
    main->printing().choosePrinter = [](QPrinter&, QWidget*) { return true; };
  }

  // The PDF's first page as pdftoppm renders it, without smoothing of lines.
  QImage Render() const {
    int status = 0;
    const std::string base = (plot.dir / "page").string();
    RunCommand("pdftoppm -r " + std::to_string(kRenderDpi) + " -aaVector no -png -singlefile '" +
                   pdf + "' '" + base + "'",
               status);
    return QImage(QString::fromStdString(base + ".png"));
  }

  // Runs File, Print with `fill` setting the dialog's fields before OK.
  bool PrintWith(const std::function<void(TForm_printconf&)>& fill) {
    return main->printing().Print(main.get(), [&](TForm_printconf& d) {
      if (fill) fill(d);
      d.accept();
    });
  }

  // The window pixel of a world point.
  QPoint Screen(long double x, long double y) const {
    return QPoint(window().ScreenX(x), window().ScreenY(y));
  }
  // The page pixel of window pixel (vx, vy) at scale 1 and origin `o` mm, rendered.
  QPoint Rendered(const QPrinter& printer, int vx, int vy, int o = 0) const {
    const double pw = printer.width(), ph = printer.height();
    const double px = std::nearbyint(pw * o / 210.0) + std::nearbyint(pw * vx / 639.0);
    const double py = std::nearbyint(pw * o / 210.0) + std::nearbyint(ph * vy / 479.0);
    const double k = double(kRenderDpi) / printer.resolution();
    return QPoint(int(std::lround(px * k)), int(std::lround(py * k)));
  }

  TempPlot plot;
  std::string pdf;
};

bool HasPdfTools() { return HaveProgram("pdftoppm") && HaveProgram("pdfinfo"); }

// Pixels of `colour` within `radius` of `p`.
int Near(const QImage& image, QPoint p, QRgb colour, int radius = 2) {
  int n = 0;
  for (int y = p.y() - radius; y <= p.y() + radius; ++y)
    for (int x = p.x() - radius; x <= p.x() + radius; ++x)
      if (image.valid(x, y) && (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
  return n;
}

int Count(const QImage& image, const std::function<bool(QRgb)>& test) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += test(image.pixel(x, y));
  return n;
}

bool IsBlack(QRgb c) { return qRed(c) < 40 && qGreen(c) < 40 && qBlue(c) < 40; }
bool IsWhite(QRgb c) { return qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240; }

TEST(PrintDialogs, PrintDialogStartsFromTheSavedValuesAndOkStores) {
  PrintFixture fx;
  Settings& s = fx.program.settings;
  s.ScreendumpScale = 4;  // replaced by the saved value when the dialog opens
  fx.main->printing().saved().originX = 5;
  bool seen = false;
  fx.main->printing().Print(fx.main.get(), [&](TForm_printconf& d) {
    seen = true;
    EXPECT_EQ(d.windowTitle(), "Impression");
    EXPECT_EQ(d.Edit_scaleX->text(), "1");
    EXPECT_EQ(d.Edit_originX->text(), "5");
    EXPECT_EQ(d.RadioGroup_orientation->checkedId(), 1);  // saved orientation 2: landscape
    EXPECT_FALSE(d.CheckBox_fit->isChecked());
    EXPECT_EQ(d.Label_printer->text().size(), 40);
    EXPECT_TRUE(d.Label_printer->text().endsWith("PDF out.pdf"));
    d.Edit_scaleX->setText("1,5");
    d.Edit_scaleY->setText("zwei");
    d.Edit_originY->setText("12a");
    d.CheckBox_border->setChecked(true);
    d.RadioGroup_colour->button(1)->setChecked(true);
    d.RadioGroup_orientation->button(0)->setChecked(true);
    d.accept();
  });
  ASSERT_TRUE(seen);
  EXPECT_FALSE(fx.program.ErrorFlag);
  EXPECT_EQ(s.ScreendumpScale, 1.5L);
  EXPECT_EQ(s.PrintScaleVertical, 0.0L);
  EXPECT_EQ(s.ScreendumpOriginX, 5);
  EXPECT_EQ(s.ScreendumpOriginY, 0);
  EXPECT_TRUE(s.ScreendumpBorder);
  EXPECT_EQ(s.WindowsPrintMode, 2);
  EXPECT_EQ(fx.main->printing().printer().pageLayout().orientation(), QPageLayout::Portrait);
  EXPECT_TRUE(std::filesystem::exists(fx.pdf));
}

TEST(PrintDialogs, AnnulerStoresNothingPrintsNothingAndSetsTheErrorFlag) {
  PrintFixture fx;
  Settings& s = fx.program.settings;
  s.WindowsPrintMode = 2;
  fx.main->printing().Print(fx.main.get(), [](TForm_printconf& d) {
    d.Edit_scaleX->setText("7");
    d.RadioGroup_colour->button(0)->setChecked(true);
    d.reject();
  });
  EXPECT_TRUE(fx.program.ErrorFlag);
  EXPECT_EQ(s.ScreendumpScale, 1.0L);
  EXPECT_EQ(s.WindowsPrintMode, 2);
  EXPECT_FALSE(std::filesystem::exists(fx.pdf));

  fx.program.ErrorFlag = false;
  s.ScreendumpOriginX = 3;
  fx.main->printing().PrinterSettings(fx.main.get(), [](Tconfprin& d) {
    EXPECT_EQ(d.windowTitle(), "Configuration Impression");
    EXPECT_EQ(d.Edit_originX->text(), "3");
    d.Edit_originX->setText("9");
    d.reject();
  });
  EXPECT_TRUE(fx.program.ErrorFlag);
  EXPECT_EQ(s.ScreendumpOriginX, 3);
}

TEST(PrintDialogs, PrinterSettingsStoreTheCurrentValues) {
  PrintFixture fx;
  Settings& s = fx.program.settings;
  fx.main->printing().PrinterSettings(fx.main.get(), [](Tconfprin& d) {
    d.Edit_scaleX->setText("0,25");
    d.Button_copy->click();  // "<": scale x into scale y
    EXPECT_EQ(d.Edit_scaleY->text(), "0,25");
    d.Edit_originX->setText("21");
    d.Edit_originY->setText("-4");
    d.CheckBox_border->setChecked(true);
    d.RadioGroup_colour->button(1)->setChecked(true);
    d.accept();
  });
  EXPECT_FALSE(fx.program.ErrorFlag);
  EXPECT_EQ(s.ScreendumpScale, 0.25L);
  EXPECT_EQ(s.PrintScaleVertical, 0.25L);
  EXPECT_EQ(s.ScreendumpOriginX, 21);
  EXPECT_EQ(s.ScreendumpOriginY, -4);
  EXPECT_TRUE(s.ScreendumpBorder);
  EXPECT_EQ(s.WindowsPrintMode, 2);
}

TEST(PrintDialogs, PrinterInformationOfAPdfPrinter) {
  PrintFixture fx;
  TForm_printerinfo info(CapsOf(fx.main->printing().printer()), fx.main.get());
  QTableWidget* grid = info.StringGrid;
  ASSERT_EQ(grid->rowCount(), 16);
  EXPECT_EQ(grid->item(0, 0)->text(), "Name");
  EXPECT_EQ(grid->item(0, 1)->text(), "PDF out.pdf");
  EXPECT_EQ(grid->item(2, 1)->text(), "Metafile");
  EXPECT_EQ(grid->item(3, 1)->text(), "210");
  EXPECT_EQ(grid->item(4, 0)->text(), "Druckhöhe (mm)");
  EXPECT_EQ(grid->item(4, 1)->text(), "297");
  EXPECT_EQ(grid->item(7, 1)->text(), "0");
  EXPECT_EQ(grid->item(9, 1)->text(), "600");
  EXPECT_EQ(grid->item(11, 1)->text(), "?");
  EXPECT_EQ(grid->item(15, 1)->text(), "?");
}

// Scale 1, origin 0: the world window's lower left corner, at window pixel (vx1, vy2), lands at
// (PW * vx1 / GraphMaxX, PH * vy2 / GraphMaxY); the frame is cyan, the drawing black in the
// monochrome print mode; origin 21 moves it all 21 mm right and down.
TEST(PrintToPdf, CornerFrameOriginAndMonochrome) {
  if (!HasPdfTools()) GTEST_SKIP() << "poppler-utils (pdftoppm, pdfinfo) not installed";
  PrintFixture fx;
  ASSERT_TRUE(fx.PrintWith([](TForm_printconf& d) {
    d.CheckBox_border->setChecked(true);
    d.RadioGroup_colour->button(0)->setChecked(true);
    d.RadioGroup_orientation->button(0)->setChecked(true);
  }));
  EXPECT_TRUE(fx.ui.errors.empty());
  const QPrinter& printer = fx.main->printing().printer();
  const QImage page = fx.Render();
  ASSERT_FALSE(page.isNull());
  EXPECT_NEAR(page.width(), 413, 1);
  EXPECT_NEAR(page.height(), 585, 1);
  const WorldRect w = fx.window().view().WorldWindow;
  const QPoint lowerLeft = fx.Screen(w.x1, w.y1);
  const QPoint upperRight = fx.Screen(w.x2, w.y2);
  const QPoint corner = fx.Rendered(printer, lowerLeft.x(), lowerLeft.y());
  const QRgb cyan = qRgb(0, 255, 255);
  EXPECT_GT(Near(page, corner, cyan), 0) << corner.x() << "," << corner.y();
  EXPECT_GT(Near(page, fx.Rendered(printer, upperRight.x(), upperRight.y()), cyan), 0);
  // Pen 2 is drawn black: nothing but white, black and the cyan frame.
  EXPECT_GT(Count(page, IsBlack), 100);
  EXPECT_EQ(
      Count(page, [](QRgb c) { return !IsBlack(c) && !IsWhite(c) && (c & 0xFFFFFF) != 0x00FFFF; }),
      0);

  ASSERT_TRUE(fx.PrintWith([](TForm_printconf& d) {
    d.CheckBox_border->setChecked(true);
    d.Edit_originX->setText("21");
    d.Edit_originY->setText("21");
    d.RadioGroup_orientation->button(0)->setChecked(true);
  }));
  const QImage moved = fx.Render();
  // The lower edge is now below the page: the upper left corner shows the move.
  const QPoint upperLeft = fx.Screen(w.x1, w.y2);
  const QPoint before = fx.Rendered(printer, upperLeft.x(), upperLeft.y());
  const QPoint shifted = fx.Rendered(printer, upperLeft.x(), upperLeft.y(), 21);
  EXPECT_NEAR(shifted.x() - before.x(), 21 / 25.4 * kRenderDpi, 1.0);
  EXPECT_NEAR(shifted.y() - before.y(), 21 / 25.4 * kRenderDpi, 1.0);
  EXPECT_GT(Near(page, before, cyan), 0);
  EXPECT_GT(Near(moved, shifted, cyan), 0);
  EXPECT_EQ(Near(moved, before, cyan, 1), 0);
}

TEST(PrintToPdf, ColourModeVectorsAndPageSize) {
  if (!HasPdfTools()) GTEST_SKIP() << "poppler-utils (pdftoppm, pdfinfo) not installed";
  PrintFixture fx;
  ASSERT_TRUE(fx.PrintWith([](TForm_printconf& d) {
    d.RadioGroup_colour->button(1)->setChecked(true);
    d.RadioGroup_orientation->button(1)->setChecked(true);
  }));
  int status = 0;
  const std::string info = RunCommand("pdfinfo '" + fx.pdf + "' | tr -s ' '", status);
  EXPECT_NE(info.find("Page size: 842 x 595 pts (A4)"), std::string::npos) << info;
  // Lines, not a picture: the page holds no image.
  const std::string images = RunCommand("pdfimages -list '" + fx.pdf + "' | tail -n +3", status);
  EXPECT_EQ(images, "");
  const QImage page = fx.Render();
  EXPECT_NEAR(page.width(), 585, 1);
  EXPECT_NEAR(page.height(), 413, 1);
  // Pen 2 takes its screen colour, not black.
  EXPECT_GT(Count(page, [](QRgb c) { return !IsWhite(c); }), 100);
  EXPECT_EQ(Count(page, IsBlack), 0);
}

// Zoomed in, the page shows the zoomed view; "ajuster" prints the whole drawing again.
TEST(PrintToPdf, ZoomInForceAndAjuster) {
  if (!HasPdfTools()) GTEST_SKIP() << "poppler-utils (pdftoppm, pdfinfo) not installed";
  PrintFixture fx;
  auto portrait = [](TForm_printconf& d) { d.RadioGroup_orientation->button(0)->setChecked(true); };
  ASSERT_TRUE(fx.PrintWith(portrait));
  const QImage whole = fx.Render();
  fx.window().processKey(kVkAdd);
  fx.window().processKey(kVkAdd);
  fx.Settle();
  ASSERT_TRUE(fx.PrintWith(portrait));
  const QImage zoomed = fx.Render();
  EXPECT_NE(zoomed, whole);
  ASSERT_TRUE(fx.PrintWith([&](TForm_printconf& d) {
    portrait(d);
    d.CheckBox_fit->setChecked(true);
  }));
  const QImage fitted = fx.Render();
  EXPECT_NE(fitted, zoomed);
  EXPECT_NE(fitted, whole);  // the whole page, without the kept aspect
  // After "ajuster" the window is unzoomed too: the whole unit window.
  EXPECT_EQ(fx.Zoom(), (PixelRect{0, 0, 639, 479}));
}

TEST(PrintToPdf, UnwritableTargetSaysWhyAndLeavesNoFile) {
  PrintFixture fx;
  const std::string target = (fx.plot.dir / "missing" / "out.pdf").string();
  fx.main->printing().printer().setOutputFileName(QString::fromStdString(target));
  EXPECT_FALSE(fx.PrintWith({}));
  EXPECT_TRUE(fx.program.ErrorFlag);
  ASSERT_EQ(fx.ui.errors.size(), 1u);
  EXPECT_EQ(fx.ui.errors[0],
            "Erreur d'impression : le fichier " + target + " ne peut pas être écrit !");
  EXPECT_FALSE(std::filesystem::exists(target));

  // A directory as the target.
  fx.ui.errors.clear();
  fx.main->printing().printer().setOutputFileName(QString::fromStdString(fx.plot.dir.string()));
  EXPECT_FALSE(fx.PrintWith({}));
  ASSERT_EQ(fx.ui.errors.size(), 1u);
  EXPECT_NE(fx.ui.errors[0].find("est un répertoire"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(fx.plot.dir));
}

// Through a real CUPS queue with the cups-pdf driver: the job lands as a PDF in the queue's
// output folder. Skipped where no CUPS server with such a queue runs.
TEST(PrintToCups, APageThroughACupsPdfQueue) {
  const char* queueEnv = std::getenv("PLOTVUE_CUPS_PDF_QUEUE");
  const char* outEnv = std::getenv("PLOTVUE_CUPS_PDF_DIR");
  if (!queueEnv || !outEnv) GTEST_SKIP() << "no CUPS PDF queue set up (PLOTVUE_CUPS_PDF_QUEUE)";
  const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromUtf8(queueEnv));
  if (info.isNull()) GTEST_SKIP() << "CUPS does not offer the queue " << queueEnv;
  PrintFixture fx;
  QPrinter& printer = fx.main->printing().printer();
  // A printer with an output file name would print into that file.
  printer.setOutputFileName(QString());
  printer.setOutputFormat(QPrinter::NativeFormat);
  printer.setPrinterName(info.printerName());
  const auto before = std::filesystem::exists(outEnv)
                          ? std::distance(std::filesystem::directory_iterator(outEnv), {})
                          : 0;
  ASSERT_TRUE(fx.PrintWith({})) << (fx.ui.errors.empty() ? "" : fx.ui.errors[0]);
  // cups-pdf writes the file after the job has gone through the queue.
  bool found = false;
  for (int k = 0; k < 300 && !found; ++k) {
    if (std::filesystem::exists(outEnv))
      found = std::distance(std::filesystem::directory_iterator(outEnv), {}) > before;
    if (!found) QThread::msleep(100);
  }
  EXPECT_TRUE(found) << "no PDF appeared in " << outEnv;
}

}  // namespace
}  // namespace plotvue::testing
