// view_bench: times the viewer on a plot file, on Qt's offscreen platform.
//
//   view_bench FILE [--size WxH] [--png OUT.png]
//
// Prints, for FILE: the open (scan and screen run) and the first replay, that is the time from
// opening to the first picture; the display list's records and memory (bytes per record and per
// line record); a replay of the whole drawing, and of a tenth of it (the view zoomed on its
// middle); a repaint of the window that reuses the last picture. Then the same replays for a list
// of one million line records spread over the drawing. Times are the best of three runs, in
// seconds. --png writes the first picture. The window is 1200 x 900 unless --size says otherwise.
//
// State: one program, graphics window and window widget for the run.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "graphics/show.h"
#include "ui/qtcanvas.h"
#include "ui/tavogra.h"

namespace plotvue {
namespace {

double Seconds(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e9; }

double BestOf3(const std::function<void()>& run) {
  double best = 1e30;
  for (int k = 0; k < 3; ++k) {
    QElapsedTimer t;
    t.start();
    run();
    best = std::min(best, Seconds(t));
  }
  return best;
}

struct Bench {
  Bench(int w, int h) {
    widget.resize(w, h);
    window.SetGraphSize(static_cast<std::uint16_t>(w - 1), static_cast<std::uint16_t>(h - 1));
    widget.SetGraphicsWindow(&window);
    image = QImage(w, h, QImage::Format_RGB32);
  }

  void Replay() {
    image.fill(Qt::black);
    QPainter painter(&image);
    QtCanvas canvas(painter, state, &image);
    window.FormPaint(canvas);
  }

  // Zooms on the middle so that a tenth of the drawing's area is in view.
  void ZoomToATenth() {
    window.ResetZoom();
    const PixelRect v = window.view().ViewPort;
    const double k = 1.0 / std::sqrt(10.0);
    const int cx = (v.x1 + v.x2) / 2, cy = (v.y1 + v.y2) / 2;
    const int hx = static_cast<int>((v.x2 - v.x1) * k / 2),
              hy = static_cast<int>((v.y2 - v.y1) * k / 2);
    window.SetScale(cx - hx, cy - hy, cx + hx, cy + hy);
  }

  void Report(const char* title) {
    const DisplayList& list = window.list();
    std::size_t lines = 0;
    DisplayList::Reader reader(list);
    Record r;
    while (reader.Next(r)) lines += r.kind == RecordKind::RecLine;
    std::printf("%s\n", title);
    std::printf("  records %zu (lines %zu), list memory %.1f MiB: %.1f bytes per record\n",
                list.Count(), lines, list.MemoryBytes() / 1048576.0,
                static_cast<double>(list.MemoryBytes()) / std::max<std::size_t>(1, list.Count()));
    window.ResetZoom();
    const double whole = BestOf3([&] { Replay(); });
    ZoomToATenth();
    const double tenth = BestOf3([&] { Replay(); });
    window.ResetZoom();
    widget.ReplayNow();
    const int replays = widget.replayCount();
    const double repaint = BestOf3([&] { widget.repaint(); });
    std::printf("  replay whole %.3f s, a tenth in view %.3f s, repaint unchanged %.4f s%s\n",
                whole, tenth, repaint, widget.replayCount() == replays ? "" : " (replayed!)");
  }

  SilentInteraction ui;
  Program program{ui};
  TFtavogra widget;
  GraphicsWindow window{program, widget};
  DrawDevice device{program, window};
  QtCanvasState state;
  QImage image;
};

int Main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: view_bench FILE [--size WxH] [--png OUT.png]\n");
    return 2;
  }
  int w = 1200, h = 900;
  const char* png = nullptr;
  for (int k = 2; k + 1 < argc; k += 2) {
    if (std::strcmp(argv[k], "--size") == 0) {
      if (std::sscanf(argv[k + 1], "%dx%d", &w, &h) != 2 || w < 16 || h < 16 || w > 16384 ||
          h > 16384) {
        std::fprintf(stderr, "view_bench: bad size %s\n", argv[k + 1]);
        return 2;
      }
    } else if (std::strcmp(argv[k], "--png") == 0) {
      png = argv[k + 1];
    }
  }
  Bench b(w, h);
  b.widget.show();
  QApplication::processEvents();

  QElapsedTimer open;
  open.start();
  if (!OpenNamedFile(b.program, b.device, argv[1])) {
    std::fprintf(stderr, "view_bench: cannot read %s\n", argv[1]);
    return 1;
  }
  const double read = Seconds(open);
  // The window's own replay, as after opening in the program.
  b.widget.ReplayNow();
  const double first = Seconds(open);
  if (png) b.widget.picture().save(QString::fromLocal8Bit(png));
  std::printf("%s: %lld elements, %lld texts, window %dx%d\n", argv[1],
              static_cast<long long>(b.program.ElementCount),
              static_cast<long long>(b.program.TextCount), w, h);
  std::printf("  open (scan and screen run) %.3f s, first picture after %.3f s\n", read, first);
  b.Report("the file's display list:");

  // One million line records over the drawing's world window, in eight colours.
  const WorldRect world = b.window.view().SavedLimit;
  b.window.Clear();
  b.window.Header(world.x1, world.y1, world.x2, world.y2);
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> x(static_cast<double>(world.x1),
                                           static_cast<double>(world.x2));
  std::uniform_real_distribution<double> y(static_cast<double>(world.y1),
                                           static_cast<double>(world.y2));
  const double step = static_cast<double>(world.x2 - world.x1) / 200;
  std::uniform_real_distribution<double> d(-step, step);
  for (int k = 0; k < 1000000; ++k) {
    if (k % 1000 == 0) b.window.SetColor(9 + (k / 1000) % 7);
    const double x1 = x(rng), y1 = y(rng);
    b.window.line(x1, y1, x1 + d(rng), y1 + d(rng));
  }
  b.Report("one million line records:");
  return 0;
}

}  // namespace
}  // namespace plotvue

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  return plotvue::Main(argc, argv);
}
