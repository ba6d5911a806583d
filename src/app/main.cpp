// plotvue: the program's entry. With no parameter or with one file it opens the window (the
// logo, or that file's drawing); with "?" or "/?", or with two or more parameters (the
// single-file forms such as `plotvue FILE /I`, and the batch conversion) it runs the command
// line without any window, so that these work over ssh and in scripts. Without a display the
// window forms fall back to the command line as well.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/batch.h"
#include "base/program.h"
#ifdef PLOTVUE_WITH_GUI
#include "ui/gui.h"
#endif

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// True when the command line asks for the window and a display is there to show it.
bool WantsWindow(const std::vector<std::string>& args) {
  if (args.size() > 1) return false;
  if (args.size() == 1 && (args[0] == "?" || args[0] == "/?" || args[0] == "-?")) return false;
  return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
#ifdef PLOTVUE_WITH_GUI
  if (WantsWindow(args)) return plotvue::RunGui(argc, argv, args);
#else
  (void)WantsWindow;
#endif
  plotvue::ConsoleInteraction ui(std::cerr);
  plotvue::Program program(ui);
  plotvue::LoadStartupSettings(program);
  // The stroke font, when the settings ask for it; a missing or broken font ends the program.
  plotvue::StrokeFontState strokeFont;
  if (!plotvue::LoadStartupStrokeFont(program, strokeFont, argv[0], std::cerr)) return 1;
  plotvue::BatchContext context;
  context.makeDriver = plotvue::DefaultDriverFactory(strokeFont.Font());
  return plotvue::RunCommandLine(program, args, std::cout, context);
}
