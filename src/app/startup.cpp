#include "app/startup.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "base/fileutil.h"
#include "config/paths.h"

namespace plotvue {
namespace {

namespace fs = std::filesystem;

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

// An empty directory setting means the current directory.
bool DirectoryExists(const std::string& dir) { return IsDirectory(dir.empty() ? "." : dir); }

}  // namespace

void CheckStartupDirectories(Program& program) {
  Settings& s = program.settings;
  program.ErrorFlag = false;
  program.MessagesEnabled = true;

  const std::string programDir = WithTrailingSlash(program.programDir);
  if (IsBlank(s.TempDir)) s.TempDir = TempDirectory();
  bool usesProgramDir = false;
  for (std::string* dir : {&s.DbfDir, &s.HelpImageDir, &s.EdiDir, &program.dataDir}) {
    if (!IsBlank(*dir)) continue;
    *dir = programDir;
    usesProgramDir = true;
  }
  // Before anything has been saved the settings directory may not exist yet; the directories
  // that default to it are valid all the same.
  if (usesProgramDir && !programDir.empty() && !IsDirectory(programDir)) EnsureDir(programDir);

  UserInteraction& ui = *program.ui;
  if (!DirectoryExists(s.CadDir)) ui.ShowError("non valide CAD Annuaire configuré");
  if (!DirectoryExists(s.DbfDir)) ui.ShowError("non valide DBF Annuaire configuré");
  if (!DirectoryExists(s.HelpImageDir)) ui.ShowError("non valide PLT Annuaire configuré");
  // The temporary directory is written to, so it must take new files, not only exist.
  if (!CanCreateFileIn(s.TempDir)) {
    ui.ShowError("non valide Annuaire provisoire configuré");
    std::optional<std::string> answer =
        ui.PromptText(kTempDirPrompt, s.TempDir, kTempDirPromptLength, kNoHelp);
    if (answer && !IsBlank(*answer)) s.TempDir = *answer;
  }
  if (!DirectoryExists(s.EdiDir)) ui.ShowError("non valide EDI Annuaire configuré");
  if (!DirectoryExists(program.dataDir)) ui.ShowError("non valide Data Annuaire configuré");
}

bool IsTemporaryFileName(const std::string& name) {
  if (name.size() < 5 || name.front() != '$') return false;
  const std::string end = name.substr(name.size() - 4);
  return end[0] == '.' && (end[1] == 'd' || end[1] == 'D') && (end[2] == 'x' || end[2] == 'X') &&
         end[3] == '$';
}

void DeleteTemporaryFiles(const Program& program) {
  const std::string& setting = program.settings.TempDir;
  const std::string dir = IsBlank(setting) ? TempDirectory() : setting;
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  if (ec) return;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const fs::path& path = it->path();
    if (!IsTemporaryFileName(path.filename().string())) continue;
    std::error_code statEc;
    const fs::file_status st = fs::symlink_status(path, statEc);
    if (statEc || !(fs::is_regular_file(st) || fs::is_symlink(st))) continue;
    std::error_code removeEc;
    fs::remove(path, removeEc);
  }
}

}  // namespace plotvue
