#include "ui/manual.h"

#include "base/fileutil.h"
#include "config/paths.h"
#include "config/settings.h"

namespace plotvue {
namespace {

constexpr const char* kMakersAddress = "plotvue@localhost";

}  // namespace

std::string ManualPath() {
  const std::string exeDir = ExecutableDir();
  const std::string installed = exeDir + "../share/doc/plotvue/index.html";
  if (!exeDir.empty() && PathExists(installed)) return installed;
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
