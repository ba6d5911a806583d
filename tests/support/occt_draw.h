// Runs a Tcl script in OpenCASCADE's Draw (Debian package occt-draw), the IGES reader that the
// IGES tests feed our files to. Debian ships the Draw plug-ins only under their versioned names
// (libTKXSDRAW.so.7), which "pload" does not try, so the runner links them under the plain names
// in a scratch folder on LD_LIBRARY_PATH. Header-only; no state.
#ifndef PLOTVUE_TESTS_SUPPORT_OCCT_DRAW_H_
#define PLOTVUE_TESTS_SUPPORT_OCCT_DRAW_H_

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/process.h"

namespace plotvue::testing {

// The first of `names` found as an executable on PATH, or empty.
inline std::string FindOnPath(const std::vector<std::string>& names) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    for (const auto& name : names) {
      std::string candidate = dir + "/" + name;
      if (!dir.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
    }
  }
  return {};
}

// The directory that holds `library` (".so.7" or ".so"), or empty.
inline std::string FindLibraryDir(const std::string& library) {
  for (const char* dir : {"/usr/lib/x86_64-linux-gnu", "/usr/lib/aarch64-linux-gnu", "/usr/lib64",
                          "/usr/lib", "/usr/local/lib"}) {
    for (const char* suffix : {".so.7", ".so"}) {
      if (std::filesystem::exists(std::string(dir) + "/" + library + suffix)) return dir;
    }
  }
  return {};
}

struct DrawResult {
  std::string skip;  // why Draw could not run (the test skips with this text); empty when it ran
  std::string output;
  int status = 0;
};

// Runs `script` (Tcl; "pload XSDRAW" and the like included) with Draw in batch mode inside the
// existing folder `dir`, which receives the script and the plug-in links. Relative paths in the
// script are relative to `dir`.
inline DrawResult RunDrawScript(const std::string& dir, const std::string& script) {
  namespace fs = std::filesystem;
  DrawResult result;
  const std::string draw = FindOnPath({"DRAWEXE", "occt-draw"});
  if (draw.empty()) {
    result.skip = "DRAWEXE not found: install the Debian package occt-draw";
    return result;
  }
  const std::string libDir = FindLibraryDir("libTKXSDRAW");
  const std::string topDir = FindLibraryDir("libTKTopTest");
  if (libDir.empty() || topDir.empty()) {
    result.skip = "Draw plug-ins libTKXSDRAW/libTKTopTest not found: install occt-draw";
    return result;
  }
  std::error_code ec;
  fs::create_directories(dir + "/lib", ec);
  for (const auto& [from, name] : {std::pair{libDir, std::string("libTKXSDRAW")},
                                   std::pair{topDir, std::string("libTKTopTest")}}) {
    std::string target = from + "/" + name + ".so";
    if (!fs::exists(target)) target += ".7";
    const std::string link = dir + "/lib/" + name + ".so";
    fs::remove(link, ec);
    fs::create_symlink(target, link, ec);
  }
  std::ofstream(dir + "/check.tcl", std::ios::binary) << script << "\nexit\n";
  const std::string command = "cd '" + dir + "' && LD_LIBRARY_PATH='" + dir +
                              "/lib'${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} '" + draw +
                              "' -b -f check.tcl </dev/null 2>&1";
  result.output = RunCommand(command, result.status);
  if (result.status == -1) result.skip = "cannot start " + draw;
  return result;
}

}  // namespace plotvue::testing

#endif  // PLOTVUE_TESTS_SUPPORT_OCCT_DRAW_H_
