// The window layer's wiring: menu commands to the core, keys, mouse and wheel to zoom and pan,
// the picture cache, the caption, the Info dialog and the progress bar.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QProgressBar>
#include <QRubberBand>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <filesystem>
#include <fstream>

#include "graphics/show.h"
#include "support/recording.h"
#include "ui/infodialog.h"
#include "ui/mainwindow.h"
#include "ui/qtservices.h"
#include "ui/window_fixture.h"

namespace plotvue::testing {
namespace {

// The same state without a window, to compare the widget's handling with the core's.
struct CoreTwin {
  explicit CoreTwin(const GraphicsWindow& shown) {
    window.SetGraphSize(shown.view().GraphMaxX, shown.view().GraphMaxY);
    const ViewState& v = shown.view();
    window.SetWindow(v.KeepAspect, true, 0, 0, 1, 1, v.WorldWindow.x1, v.WorldWindow.y1,
                     v.WorldWindow.x2, v.WorldWindow.y2);
  }
  RecordingInteraction ui;
  Program program{ui};
  NullWindowHost host;
  GraphicsWindow window{program, host};
};

TEST(WindowTest, MenusAndCaption) {
  WindowFixture f;
  EXPECT_EQ(f.main->windowTitle(), "PLOTVUE");
  // The menus start in French.
  EXPECT_EQ(f.main->mi_fileOpen->text(), "&Ouvrir...");
  EXPECT_EQ(f.main->mi_fileOpen->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(f.main->mi_fileexit->text(), "&Quitter");
  EXPECT_EQ(f.main->mi_ViewInfo->text(), "&Info");
  EXPECT_EQ(f.main->mi_ViewClear->text(), "S&upprimer");
  EXPECT_EQ(f.main->mi_ViewRedraw->text(), "&Nouveau dessin");
  EXPECT_EQ(f.main->mi_ViewRegen->text(), "&Annuler");
  // The client area takes the window-size settings plus one.
  EXPECT_EQ(f.widget()->size(), QSize(640, 480));
  EXPECT_EQ(f.window().view().GraphMaxX, 639);
}

TEST(WindowTest, OpenedFileIsShown) {
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));
  EXPECT_EQ(f.main->windowTitle(), "PLOTVUE  -  dia-plt-flowchart.plt");
  EXPECT_GT(f.window().list().Count(), 100u);
  f.Settle();
  // The drawing is in pen 1's screen colour, red.
  EXPECT_GT(f.CountColour(qRgb(255, 0, 0)), 1000);
}

TEST(WindowTest, UnreadableFileKeepsTheWindowAndReports) {
  WindowFixture f;
  EXPECT_FALSE(f.main->OpenNamedFile("/nonexistent/x.plt"));
  EXPECT_FALSE(f.ui.errors.empty());
  EXPECT_FALSE(f.main->busy());
}

TEST(WindowTest, RepaintWithoutChangeReusesThePicture) {
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));
  f.Settle();
  const int replays = f.widget()->replayCount();
  f.widget()->repaint();
  f.widget()->update();
  f.Settle();
  EXPECT_EQ(f.widget()->replayCount(), replays);
  // A key that zooms changes the mapping: the next paint replays.
  QTest::keyClick(f.widget(), Qt::Key_Plus);
  f.Settle();
  EXPECT_EQ(f.widget()->replayCount(), replays + 1);
  // A key outside the table changes nothing.
  QTest::keyClick(f.widget(), Qt::Key_A);
  QTest::keyClick(f.widget(), Qt::Key_Shift);
  f.Settle();
  EXPECT_EQ(f.widget()->replayCount(), replays + 1);
}

TEST(WindowTest, KeysZoomAndPan) {
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int vk;
  };
  const std::vector<Case> cases = {{Qt::Key_Plus, Qt::NoModifier, kVkAdd},
                                   {Qt::Key_Plus, Qt::KeypadModifier, kVkAdd},
                                   {Qt::Key_Minus, Qt::NoModifier, kVkSubtract},
                                   {Qt::Key_Minus, Qt::KeypadModifier, kVkSubtract},
                                   {Qt::Key_Left, Qt::NoModifier, kVkLeft},
                                   {Qt::Key_Right, Qt::NoModifier, kVkRight},
                                   {Qt::Key_Up, Qt::NoModifier, kVkUp},
                                   {Qt::Key_Down, Qt::NoModifier, kVkDown},
                                   {Qt::Key_PageUp, Qt::NoModifier, kVkPageUp},
                                   {Qt::Key_PageDown, Qt::NoModifier, kVkPageDown}};
  for (const Case& c : cases) {
    WindowFixture f;
    ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));
    CoreTwin twin(f.window());
    twin.window.SetScale(f.Zoom().x1, f.Zoom().y1, f.Zoom().x2, f.Zoom().y2);
    QTest::keyClick(f.widget(), c.key, c.modifiers);
    twin.window.processKey(c.vk);
    EXPECT_EQ(f.Zoom(), twin.window.view().ZoomRect) << c.key;
    EXPECT_NE(f.Zoom(), f.window().view().ViewPort) << c.key;
    // Escape and F5 return to the whole viewport.
    QTest::keyClick(f.widget(), c.key == Qt::Key_Left ? Qt::Key_F5 : Qt::Key_Escape);
    EXPECT_EQ(f.Zoom(), f.window().view().ViewPort);
  }
}

TEST(WindowTest, RubberBandZoomsToTheDraggedRectangle) {
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));
  CoreTwin twin(f.window());
  twin.window.SetScale(f.Zoom().x1, f.Zoom().y1, f.Zoom().x2, f.Zoom().y2);
  QTest::mousePress(f.widget(), Qt::LeftButton, {}, QPoint(100, 50));
  QTest::mouseMove(f.widget(), QPoint(60, 100));
  auto* band = f.widget()->findChild<QRubberBand*>();
  ASSERT_NE(band, nullptr);
  EXPECT_TRUE(band->isVisible());
  // The band spans the press point and the mouse (the style may keep a pixel inside).
  const QRect g = band->geometry();
  EXPECT_NEAR(g.left(), 60, 1);
  EXPECT_NEAR(g.top(), 50, 1);
  EXPECT_NEAR(g.right(), 100, 1);
  EXPECT_NEAR(g.bottom(), 100, 1);
  QTest::mouseRelease(f.widget(), Qt::LeftButton, {}, QPoint(20, 150));
  EXPECT_FALSE(band->isVisible());
  twin.window.FormMouseDown(MouseButton::Left, 100, 50);
  twin.window.FormMouseUp(MouseButton::Left, 20, 150);
  EXPECT_EQ(f.Zoom(), twin.window.view().ZoomRect);
  EXPECT_NE(f.Zoom(), f.window().view().ViewPort);
  // A right click shows the whole viewport again.
  QTest::mouseClick(f.widget(), Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_EQ(f.Zoom(), f.window().view().ViewPort);
}

// A plot file written for the test into a folder of its own.
// The view after the replay: what a repaint draws with.
struct Shown {
  ViewState view;
  QImage picture;
};
Shown ShownNow(const WindowFixture& f) {
  f.Settle();
  return Shown{f.window().view(), f.widget()->picture()};
}

// The double click returns to exactly the view of Open: a square stays square.
TEST(WindowTest, DoubleClickReturnsToTheOpenedView) {
  TempPlot square("square.plt");
  square.Write("IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;");
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(square.path));
  const Shown opened = ShownNow(f);
  QTest::keyClick(f.widget(), Qt::Key_Plus);
  QTest::keyClick(f.widget(), Qt::Key_Right);
  const std::size_t count = f.window().list().Count();
  QTest::mouseDClick(f.widget(), Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_EQ(f.window().list().Count(), count + 1);  // RestoreLimit
  EXPECT_FALSE(f.window().zoomInput().rubberBandActive);
  const Shown reset = ShownNow(f);
  EXPECT_EQ(reset.view.ViewPort, opened.view.ViewPort);
  EXPECT_EQ(reset.view.WorldWindow, opened.view.WorldWindow);
  EXPECT_EQ(reset.view.KeepAspect, opened.view.KeepAspect);
  EXPECT_EQ(reset.view.ZoomRect, opened.view.ZoomRect);
  EXPECT_EQ(reset.view.ZoomWindow, opened.view.ZoomWindow);
  EXPECT_EQ(reset.view.ScaleX, opened.view.ScaleX);
  EXPECT_EQ(reset.view.ScaleY, opened.view.ScaleY);
  EXPECT_TRUE(reset.picture == opened.picture);
  // The square's sides are about equally long on the screen (a stretched one would be 4:3).
  EXPECT_NEAR(static_cast<double>(reset.view.ScaleX / reset.view.ScaleY), 1.0, 0.01);
}

// The commands that need a file are disabled until one is open.
TEST(WindowTest, CommandsThatNeedAFileWaitForOne) {
  WindowFixture f;
  EXPECT_FALSE(f.main->mi_ViewInfo->isEnabled());
  EXPECT_FALSE(f.main->mi_ViewRegen->isEnabled());
  EXPECT_TRUE(f.main->mi_fileOpen->isEnabled());
  f.main->mi_ViewRegen->trigger();
  EXPECT_TRUE(f.ui.errors.empty());
  f.ui.openAnswer = kFlowchart;
  f.main->mi_fileOpen->trigger();
  EXPECT_TRUE(f.main->mi_ViewInfo->isEnabled());
  EXPECT_TRUE(f.main->mi_ViewRegen->isEnabled());
}

// The open dialog's filters: the current file's kind first, every plot file, everything; each
// pattern in either letter case.
TEST(WindowTest, OpenDialogFilters) {
  EXPECT_EQ(QtInteraction::DialogFilters("*.cfg"), "*.cfg (*.cfg *.CFG)");
  EXPECT_EQ(QtInteraction::DialogFilters(OpenFilter("hpgl")),
            "*.hpgl (*.hpgl *.HPGL);;Plot files (*.plt *.PLT *.hpgl *.HPGL *.hpg *.HPG *.hgl "
            "*.HGL *.pl2 *.PL2 *.hp *.HP *.prn *.PRN);;All files (*)");
}

// A binary file: its reader messages are bounded (three, then the count of the others).
TEST(WindowTest, BinaryFileShowsAFewMessages) {
  TempPlot binary("binary.plt");
  std::string bytes = "PE";
  for (int k = 0; k < 200000; ++k) bytes += static_cast<char>((k * 7919) % 256);
  binary.Write(bytes);
  WindowFixture f;
  f.main->OpenNamedFile(binary.path);
  EXPECT_GE(f.ui.errors.size(), 1u);
  EXPECT_LE(f.ui.errors.size(), 4u);
  EXPECT_FALSE(f.main->busy());
  EXPECT_TRUE(f.main->isVisible());
}

// Closing the window while a file is read ends the read and the window, and tells the start-up
// not to run the event loop. Here the window is closed while a reader message is shown.
class ClosingInteraction : public RecordingInteraction {
 public:
  void ShowError(const std::string& text) override {
    RecordingInteraction::ShowError(text);
    if (window != nullptr) window->close();
  }
  QWidget* window = nullptr;
};

std::string LargeDrawing(int lines) {
  std::string text = "IN;SP1;PE\x01;";  // one reader message first
  for (int k = 0; k < lines; ++k)
    text += "PU" + std::to_string(k % 1000) + ",0;PD" + std::to_string(k % 1000) + ",4000;";
  return text;
}

TEST(WindowTest, ClosingDuringALoadEndsTheRun) {
  TempPlot large("large.plt");
  large.Write(LargeDrawing(200000));
  ClosingInteraction ui;
  Program program{ui};
  program.settings.ScreenWidthPx = 639;
  program.settings.ScreenHeightPx = 479;
  Thh main(program);
  main.show();
  QApplication::processEvents();
  ui.window = &main;
  EXPECT_FALSE(main.OpenNamedFile(large.path));
  EXPECT_EQ(ui.errors.size(), 1u);
  EXPECT_TRUE(program.StopRequested);
  EXPECT_FALSE(main.isVisible());
  EXPECT_FALSE(main.busy());
  // The scan stopped after the command that was read; the screen run did not start.
  EXPECT_LT(program.ElementCount, 10);
  EXPECT_TRUE(main.graphicsWindow().list().Empty());
}

// The same with the close from a timer while a large file is read, wherever the run is then.
TEST(WindowTest, ClosingFromATimerDuringALoadEndsTheRun) {
  TempPlot large("timer.plt");
  large.Write(LargeDrawing(400000));
  WindowFixture f;
  QTimer::singleShot(0, f.main.get(), [&f] { f.main->close(); });
  f.main->OpenNamedFile(large.path);
  QApplication::processEvents();
  EXPECT_FALSE(f.main->isVisible());
  EXPECT_FALSE(f.main->busy());
}

TEST(WindowTest, WheelZoomsByTheZoomFactor) {
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));
  const long double scale = f.window().view().ScaleX;
  const QPointF at(200, 300);
  QWheelEvent up(at, f.widget()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                 Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(f.widget(), &up);
  EXPECT_NEAR(static_cast<double>(f.window().view().ScaleX / scale), 1.2, 0.01);
  QWheelEvent down(at, f.widget()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(f.widget(), &down);
  EXPECT_NEAR(static_cast<double>(f.window().view().ScaleX / scale), 1.0, 0.01);
}

TEST(WindowTest, ViewCommands) {
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));
  const std::size_t count = f.window().list().Count();
  f.main->mi_ViewRedraw->trigger();  // the list's own records, two window records more
  EXPECT_EQ(f.window().list().Count(), count + 2);
  f.main->mi_ViewClear->trigger();
  EXPECT_TRUE(f.window().list().Empty());
  f.Settle();
  EXPECT_EQ(f.CountColour(qRgb(255, 0, 0)), 0);
  f.main->mi_ViewRegen->trigger();
  EXPECT_EQ(f.window().list().Count(), count);
  f.Settle();

  EXPECT_GT(f.CountColour(qRgb(255, 0, 0)), 1000);
}

TEST(WindowTest, OpenCommandUsesTheDialogsAnswer) {
  WindowFixture f;
  f.ui.openAnswer = std::nullopt;
  f.main->mi_fileOpen->trigger();
  EXPECT_TRUE(f.window().list().Empty());
  EXPECT_EQ(f.main->windowTitle(), "PLOTVUE");
  f.ui.openAnswer = kFlowchart;
  f.main->mi_fileOpen->trigger();
  EXPECT_FALSE(f.window().list().Empty());
  EXPECT_EQ(f.main->windowTitle(), "PLOTVUE  -  dia-plt-flowchart.plt");
}

TEST(WindowTest, InfoDialogFields) {
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));
  TForm_hpvinfo info(f.program, f.main.get());
  EXPECT_EQ(info.windowTitle(), "Info");
  ASSERT_NE(info.Field("File name"), nullptr);
  EXPECT_EQ(info.Field("File name")->text().toStdString(), kFlowchart);
  EXPECT_TRUE(info.Field("File name")->isReadOnly());
  EXPECT_EQ(info.Field("File size")->text(), "3420 Bytes");
  EXPECT_EQ(info.Field("Drawing elements")->text(), QString::number(f.program.ElementCount));
  for (const char* label : {"Date", "x/y min.", "x/y max.", "Text"})
    EXPECT_NE(info.Field(label), nullptr) << label;
}

TEST(WindowTest, ProgressBarForLargeFiles) {
  QProgressBar bar;
  QtProgress progress(&bar);
  progress.Start();
  QTest::qWait(60);
  progress.Progress(1000, 2000);  // a small file: no bar
  EXPECT_TRUE(bar.isHidden());
  QTest::qWait(60);
  progress.Progress(QtProgress::kShowFrom, 2 * QtProgress::kShowFrom);
  EXPECT_FALSE(bar.isHidden());
  EXPECT_EQ(bar.value(), 500);
  progress.Finish();
  EXPECT_TRUE(bar.isHidden());
}

}  // namespace
}  // namespace plotvue::testing
