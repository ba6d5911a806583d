#include "ui/demo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QThread>
#include <algorithm>
#include <filesystem>

#include "config/paths.h"
#include "graphics/show.h"
#include "help/helppic.h"

namespace plotvue {
namespace {

namespace fs = std::filesystem;

// The .plt files of one folder, sorted by name; empty when there is none.
std::vector<std::string> PlotFilesIn(const std::string& dir) {
  std::vector<std::string> files;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string ext = it->path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".plt" && it->is_regular_file(ec)) files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Ends the run at the first key or click anywhere in the program, and keeps that event from
// acting on the window.
class DemoStopper : public QObject {
 public:
  bool stop = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        stop = true;
        return true;
      case QEvent::Close:
        stop = true;
        return false;
      default:
        return false;
    }
  }
};

}  // namespace

std::vector<DemoItem> DemoItems(const std::vector<std::string>& dataDirs) {
  std::vector<DemoItem> items;
  for (const char* folder : {"samples/", "help/"}) {
    for (const std::string& dir : dataDirs) {
      std::vector<std::string> files = PlotFilesIn(dir + folder);
      if (files.empty()) continue;
      for (std::string& f : files) items.push_back({std::move(f), folder[0] == 'h'});
      break;
    }
  }
  return items;
}

int RunDemo(QWidget& window, Program& program, DrawDevice& device, int pauseMs) {
  const std::vector<DemoItem> items = DemoItems(DataDirs(""));
  GraphicsWindow& graphics = device.window();
  GraphicsWindow::Picture before;
  graphics.HoldPicture(before);
  const CurrentFile file = program.file;
  const Extents extents = program.extents;
  const auto elements = program.ElementCount;
  const auto texts = program.TextCount;

  DemoStopper stopper;
  qApp->installEventFilter(&stopper);
  HelpPictureState pictureState;
  int shown = 0;
  for (const DemoItem& item : items) {
    if (stopper.stop || !window.isVisible()) break;
    program.ErrorFlag = false;
    if (item.helpPicture) {
      device.DevClear();
      device.DevHeader(0.0L, 0.0L, 160.0L, 120.0L);
      DrawHelpPicture(program, device, item.path, pictureState);
    } else {
      OpenNamedFile(program, device, item.path);
    }
    device.DevArrowCursor();
    ++shown;
    QElapsedTimer pause;
    pause.start();
    while (!stopper.stop && pause.elapsed() < pauseMs && window.isVisible()) {
      QApplication::processEvents(QEventLoop::AllEvents, 50);
      QThread::msleep(10);
    }
  }
  qApp->removeEventFilter(&stopper);

  program.file = file;
  program.extents = extents;
  program.ElementCount = elements;
  program.TextCount = texts;
  program.ErrorFlag = false;
  graphics.RestorePicture(before);
  return shown;
}

}  // namespace plotvue
