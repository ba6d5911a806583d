// plotvue: the program's entry. With no parameter or with one file it opens the window (the
// logo, or that file's drawing); with "?" or "/?", or with two or more parameters (the
// single-file forms such as `plotvue FILE /I`, and the batch conversion) it runs the command
// line without any window, so that these work over ssh and in scripts. Without a display the
// window forms fall back to the command line as well.
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/batch.h"
#include "app/printing.h"
#include "base/program.h"
#include "config/paths.h"
#ifdef PLOTVUE_WITH_GUI
#include <dlfcn.h>
#include <unistd.h>

#include <memory>
#endif

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// "FILE /E": one file (no pattern) to show, as without the option.
bool IsShowForm(const std::vector<std::string>& args) {
  if (args.size() != 2 || args[0].find_first_of("*?") != std::string::npos) return false;
  const std::string& o = args[1];
  return o.size() == 2 && (o[0] == '/' || o[0] == '-') && (o[1] == 'E' || o[1] == 'e');
}

// True when the command line asks for the window and a display is there to show it.
bool WantsWindow(const std::vector<std::string>& args) {
  if (IsShowForm(args)) return WantsWindow({args[0]});
  if (args.size() > 1) return false;
  if (args.size() == 1 && (args[0] == "?" || args[0] == "/?" || args[0] == "-?")) return false;
  return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

#ifdef PLOTVUE_WITH_GUI
// Loads the window module (beside the executable in a build, in ../lib/plotvue when installed);
// null, after saying why on stderr, when it cannot be loaded.
void* LoadModule(const char* what) {
  std::string dir = plotvue::ExecutableDir();
  if (dir.empty()) dir = "./";
  void* module = nullptr;
  for (const std::string& candidate : {dir + "plotvue_gui.so", dir + "../lib/plotvue/plotvue_gui.so"}) {
    module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module) break;
  }
  if (!module) std::cerr << "plotvue: " << what << " is not available (" << ::dlerror() << ")\n";
  return module;
}

// Runs the window. Returns -1, after saying why on stderr, when the module cannot be loaded.
int RunWindow(int& argc, char** argv) {
  void* module = LoadModule("the window");
  if (!module) return -1;
  using Entry = int (*)(int*, char**);
  auto run = reinterpret_cast<Entry>(::dlsym(module, "plotvue_run_gui"));
  if (!run) {
    std::cerr << "plotvue: the window module has no entry\n";
    return -1;
  }
  return run(&argc, argv);
}

// True when a batch command line asks for printing (/G or -G after the pattern).
bool WantsPrinting(const std::vector<std::string>& args) {
  for (std::size_t k = 1; k < args.size(); ++k) {
    const std::string& a = args[k];
    if (a.size() == 2 && (a[0] == '/' || a[0] == '-') && (a[1] == 'G' || a[1] == 'g')) return true;
  }
  return false;
}

// The printers of a batch run, from the window module's print entry (Qt on its offscreen
// platform); null when the module cannot be loaded, and the run then says that printing is
// not available.
std::shared_ptr<plotvue::PrinterProvider> LoadPrinters(int& argc, char** argv) {
  void* module = LoadModule("printing");
  if (!module) return nullptr;
  using Entry = plotvue::PrinterProvider* (*)(int*, char**);
  auto entry = reinterpret_cast<Entry>(::dlsym(module, "plotvue_printer_provider"));
  if (!entry) return nullptr;
  return std::shared_ptr<plotvue::PrinterProvider>(entry(&argc, argv));
}
#endif

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
#ifdef PLOTVUE_WITH_GUI
  if (WantsWindow(args)) {
    // The window module takes the file alone.
    if (IsShowForm(args)) argc = 2;
    int code = RunWindow(argc, argv);
    if (code >= 0) return code;
  }
#else
  (void)WantsWindow;
#endif
  plotvue::ConsoleInteraction ui(std::cerr);
  plotvue::Program program(ui);
  plotvue::LoadStartupSettings(program);
  // The single-file forms FILE /I, FILE /CAD... and FILE /G without an extension end before the
  // stroke font is loaded: they need no font, and a missing one must not stop them.
  if (std::optional<int> code = plotvue::RunSingleFileForm(program, args, std::cout)) return *code;
  // The stroke font, when the settings ask for it; a missing or broken font ends the program.
  plotvue::StrokeFontState strokeFont;
  if (!plotvue::LoadStartupStrokeFont(program, strokeFont, argv[0], std::cerr)) return 1;
  plotvue::BatchContext context;
  context.makeDriver = plotvue::DefaultDriverFactory(strokeFont.Font());
#ifdef PLOTVUE_WITH_GUI
  if (args.size() >= 2 && WantsPrinting(args)) {
    if (std::shared_ptr<plotvue::PrinterProvider> printers = LoadPrinters(argc, argv))
      context.print = plotvue::MakeBatchPrintStep(printers);
  }
#endif
  return plotvue::RunCommandLine(program, args, std::cout, context);
}
