// What the fuzz targets share: a program state whose messages go nowhere, and a scratch folder
// for the outputs of convert runs.
#ifndef PLOTVUE_FUZZ_FUZZ_COMMON_H_
#define PLOTVUE_FUZZ_FUZZ_COMMON_H_

#include <unistd.h>

#include <cstdint>
#include <string>

#include "base/program.h"
#include "base/services.h"
#include "config/paths.h"

namespace plotvue::fuzz {

// A scratch folder of this process in the temporary directory ($TMPDIR), made once.
inline const std::string& ScratchDir() {
  static const std::string dir =
      EnsureDir(TempDirectory() + "plotvue-fuzz-" + std::to_string(::getpid()));
  return dir;
}

inline std::string Bytes(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace plotvue::fuzz

#endif  // PLOTVUE_FUZZ_FUZZ_COMMON_H_
