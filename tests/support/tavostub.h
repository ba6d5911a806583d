// Building and running our generated C drawing programs against the stub graphics library of
// tests/formats (TavoDef.H, RareDova.H, RareDova.c), whose every call prints one record line
// ("L x1 y1 x2 y2", "C x y r", "A cx cy a1 a2 r", "T x y hex", "K colour", "M x y",
// "S font direction height width", then the frame calls of main). Header-only; no state.
#ifndef PLOTVUE_TESTS_SUPPORT_TAVOSTUB_H_
#define PLOTVUE_TESTS_SUPPORT_TAVOSTUB_H_

#include <filesystem>
#include <string>

#include "support/process.h"

namespace plotvue::testing {

// The folder of the stub headers and library.
inline std::filesystem::path TavoStubDir() {
  return std::filesystem::path(PLOTVUE_TESTS_DIR) / "formats";
}

// The text a test skips with when gcc is missing.
inline constexpr const char* kNoGcc = "gcc is not installed (Debian package gcc)";

// Compiles the C source `source` with the stub library into `program`, strictly (C99, pedantic,
// every warning an error; generated main returns void). Returns gcc's exit status (0: built) and
// its messages in `diagnostics`.
inline int CompileWithTavoStub(const std::filesystem::path& source,
                               const std::filesystem::path& program, std::string& diagnostics) {
  const std::filesystem::path stubs = TavoStubDir();
  const std::string command = "gcc -std=c99 -pedantic -Wall -Wextra -Werror -Wno-main -I'" +
                              stubs.string() + "' '" + source.string() + "' '" +
                              (stubs / "RareDova.c").string() + "' -o '" + program.string() +
                              "' 2>&1";
  int status = 0;
  diagnostics = RunCommand(command, status);
  return status;
}

// True for a record line of a drawing statement (not a frame call of main).
inline bool IsTavoDrawingRecord(const std::string& line) {
  return line.size() > 1 && line[1] == ' ' &&
         std::string("KLCASMT").find(line[0]) != std::string::npos;
}

}  // namespace plotvue::testing

#endif  // PLOTVUE_TESTS_SUPPORT_TAVOSTUB_H_
