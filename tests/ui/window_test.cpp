// The window layer's wiring: menu commands to the core, keys, mouse and wheel to zoom and pan,
// the picture cache, the caption, the Info dialog and the progress bar.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QProgressBar>
#include <QRubberBand>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>
#include <fstream>

#include "graphics/show.h"
#include "support/recording.h"
#include "ui/infodialog.h"
#include "ui/mainwindow.h"

namespace plotvue::testing {
namespace {

const std::string kFlowchart = std::string(PLOTVUE_CORPUS_DIR) + "/dia-plt-flowchart.plt";

struct WindowFixture {
  WindowFixture() {
    program.settings.ScreenWidthPx = 639;
    program.settings.ScreenHeightPx = 479;
    main = std::make_unique<Thh>(program);
    main->show();
    QApplication::processEvents();
  }
  TFtavogra* widget() const { return main->tavogra(); }
  GraphicsWindow& window() const { return main->graphicsWindow(); }
  PixelRect Zoom() const { return window().view().ZoomRect; }
  // Lets queued replays run.
  void Settle() const {
    for (int k = 0; k < 5; ++k) QApplication::processEvents();
  }
  int CountColour(QRgb colour) const {
    const QImage& image = widget()->picture();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
    return n;
  }

  RecordingInteraction ui;
  Program program{ui};
  std::unique_ptr<Thh> main;
};

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
  EXPECT_EQ(f.main->mi_fileOpen->text(), "&Open...");
  EXPECT_EQ(f.main->mi_fileOpen->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(f.main->mi_fileexit->text(), "E&xit");
  EXPECT_EQ(f.main->mi_ViewInfo->text(), "&Info");
  EXPECT_EQ(f.main->mi_ViewClear->text(), "&Clear");
  EXPECT_EQ(f.main->mi_ViewRedraw->text(), "Re&draw");
  EXPECT_EQ(f.main->mi_ViewRegen->text(), "&Regen");
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

TEST(WindowTest, DoubleClickReturnsToTheSavedLimits) {
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));
  QTest::keyClick(f.widget(), Qt::Key_Plus);
  const std::size_t count = f.window().list().Count();
  QTest::mouseDClick(f.widget(), Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_EQ(f.window().list().Count(), count + 2);  // RestoreLimit and ReSetWindow
  EXPECT_EQ(f.Zoom(), (PixelRect{0, 0, 639, 479}));
  EXPECT_FALSE(f.window().zoomInput().rubberBandActive);
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
