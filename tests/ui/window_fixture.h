// What the window tests share: a main window on the offscreen platform with a recording user
// service and a settings directory of its own, and scratch folders for plot files.
#ifndef PLOTVUE_TESTS_UI_WINDOW_FIXTURE_H_
#define PLOTVUE_TESTS_UI_WINDOW_FIXTURE_H_

#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>

#include "support/recording.h"
#include "ui/mainwindow.h"

QT_BEGIN_NAMESPACE
// QString in GoogleTest's messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace plotvue::testing {

inline const std::string kFlowchart =
    std::string(PLOTVUE_CORPUS_DIR) + "/dia-plt-flowchart.plt";

// A scratch folder, removed with everything in it at the end of the test.
struct TempPlot {
  explicit TempPlot(const std::string& name) {
    static std::atomic<int> serial{0};
    dir = std::filesystem::temp_directory_path() /
          ("plotvue-ui-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + "-" +
           name);
    std::filesystem::create_directories(dir);
    path = (dir / name).string();
  }
  ~TempPlot() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  void Write(const std::string& text) const { std::ofstream(path, std::ios::binary) << text; }
  std::filesystem::path dir;
  std::string path;
};

struct WindowFixture {
  // `home` is the settings directory (the history file and the window's memory); a fresh one
  // when empty.
  explicit WindowFixture(const std::string& home = {}) {
    program.programDir = home.empty() ? ownHome.dir.string() + "/" : home;
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

  TempPlot ownHome{"home"};
  RecordingInteraction ui;
  Program program{ui};
  std::unique_ptr<Thh> main;
};

}  // namespace plotvue::testing

#endif  // PLOTVUE_TESTS_UI_WINDOW_FIXTURE_H_
