// The entry of the window module: the plotvue executable loads this module (and with it Qt) only
// when it opens a window, so that the command-line forms start without Qt's libraries.
#include <string>
#include <vector>

#include "ui/gui.h"

extern "C" __attribute__((visibility("default"))) int plotvue_run_gui(int* argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + *argc);
  return plotvue::RunGui(*argc, argv, args);
}
