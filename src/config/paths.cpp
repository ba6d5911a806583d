#include "config/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/fileutil.h"

namespace plotvue {
namespace {

namespace fs = std::filesystem;

// The value of an environment variable, empty when unset.
std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v == nullptr ? std::string() : std::string(v);
}

// The user's home directory: $HOME, else the password database entry.
std::string HomeDir() {
  std::string home = Env("HOME");
  if (!home.empty()) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr)
    return pw->pw_dir;
  return ".";
}

}  // namespace

std::string SettingsDir() {
  std::string own = Env("PLOTVUE_HOME");
  if (!own.empty()) return WithTrailingSlash(own);
  std::string xdg = Env("XDG_CONFIG_HOME");
  if (!xdg.empty() && xdg.front() == '/') return WithTrailingSlash(xdg) + "plotvue/";
  return WithTrailingSlash(HomeDir()) + ".config/plotvue/";
}

std::string EnsureDir(const std::string& dir) {
  if (dir.empty()) return std::string();
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (!IsDirectory(dir)) return std::string();
  return WithTrailingSlash(dir);
}

std::string TempDirectory() {
  std::string tmp = Env("TMPDIR");
  return WithTrailingSlash(tmp.empty() ? std::string("/tmp") : tmp);
}

std::string ExecutableDir() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : DirectoryPart(self.string());
}

std::vector<std::string> DataDirs(const std::string& exePath) {
  std::vector<std::string> dirs;
  auto add = [&dirs](const std::string& dir) {
    if (!dir.empty() && std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(dir);
  };

  std::error_code ec;
  fs::path cwd = fs::current_path(ec);
  add(ec ? std::string("./") : WithTrailingSlash(cwd.string()));
  add(SettingsDir());

  const std::string exeDir =
      exePath.find('/') == std::string::npos ? ExecutableDir() : DirectoryPart(exePath);
  if (!exeDir.empty()) add(exeDir + "../share/plotvue/");

#ifdef PLOTVUE_SOURCE_DATA_DIR
  add(WithTrailingSlash(PLOTVUE_SOURCE_DATA_DIR));
#endif
  return dirs;
}

}  // namespace plotvue
