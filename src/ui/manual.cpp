#include "ui/manual.h"

#include <unistd.h>

#include <climits>

#include "base/fileutil.h"
#include "config/settings.h"

namespace plotvue {
namespace {

constexpr const char* kMakersAddress = "plotvue@localhost";

std::string ExecutableDir() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  const std::string p(path, static_cast<std::size_t>(n));
  return p.substr(0, p.rfind('/') + 1);
}

}  // namespace

std::string ManualPath() {
  const std::string installed = ExecutableDir() + "../share/doc/plotvue/index.html";
  if (!ExecutableDir().empty() && PathExists(installed)) return installed;
#ifdef PLOTVUE_SOURCE_DIR
  const std::string source = std::string(PLOTVUE_SOURCE_DIR) + "/docs/manual.html";
  if (PathExists(source)) return source;
#endif
  return {};
}

std::string MailUrl() {
  std::string subject = std::string(kProgramName) + " " + kProgramVersion;
  std::string encoded;
  for (char c : subject) encoded += c == ' ' ? std::string("%20") : std::string(1, c);
  return std::string("mailto:") + kMakersAddress + "?subject=" + encoded;
}

}  // namespace plotvue
