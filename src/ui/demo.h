// The demonstration run of the Help menu: the bundled sample drawings and the help pictures,
// one after another in the main window, each shown for a few seconds. Any key or mouse click
// ends it; the drawing shown before comes back afterwards.
//
// State: none between runs.
#ifndef PLOTVUE_UI_DEMO_H_
#define PLOTVUE_UI_DEMO_H_

#include <QWidget>
#include <string>
#include <vector>

#include "base/program.h"
#include "graphics/device.h"
#include "help/helpviewer.h"

namespace plotvue {

// The pictures of the run, in order: every "samples/*.plt" of the first data directory that has
// samples, then every "help/*.plt" of the first that has help pictures, each list sorted by name.
struct DemoItem {
  std::string path;
  bool helpPicture = false;
};
std::vector<DemoItem> DemoItems(const std::vector<std::string>& dataDirs);

// Runs the demonstration in `window` (which receives the stopping key or click) through
// `device`; the pause between pictures is `pauseMs`. Returns the number of pictures shown.
int RunDemo(QWidget& window, Program& program, DrawDevice& device, int pauseMs = 3000);

}  // namespace plotvue

#endif  // PLOTVUE_UI_DEMO_H_
