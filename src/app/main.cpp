// plotvue: the program's entry. Reads the settings, then handles the command line; for now
// without a window: `plotvue FILE /I` prints a drawing's information.
#include <iostream>
#include <string>
#include <vector>

#include "app/batch.h"
#include "base/program.h"

int main(int argc, char** argv) {
  plotvue::ConsoleInteraction ui(std::cerr);
  plotvue::Program program(ui);
  plotvue::LoadStartupSettings(program);
  std::vector<std::string> args(argv + 1, argv + argc);
  return plotvue::RunCommandLine(program, args, std::cout);
}
