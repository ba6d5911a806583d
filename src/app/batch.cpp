#include "app/batch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <iostream>

#include "config/configio.h"
#include "config/paths.h"
#include "input/fileinfo.h"
#include "input/hpin.h"

namespace plotvue {

ConsoleInteraction::ConsoleInteraction(std::ostream& err) : err_(&err) {}

void ConsoleInteraction::ShowError(const std::string& text) {
  *err_ << "Erreur : " << text << '\n' << std::flush;
}

void ConsoleInteraction::ShowMessage(const std::string& text) {
  *err_ << "Message: " << text << '\n' << std::flush;
}

Answer ConsoleInteraction::AskYesNoCancel(const std::string& text) {
  if (!::isatty(STDIN_FILENO)) return Answer::No;
  *err_ << text << " [y/N] " << std::flush;
  std::string line;
  if (!std::getline(std::cin, line)) return Answer::No;
  if (!line.empty() && (line[0] == 'y' || line[0] == 'Y' || line[0] == 'j' ||
                        line[0] == 'J' || line[0] == 'o' || line[0] == 'O'))
    return Answer::Yes;
  return Answer::No;
}

std::optional<std::string> ConsoleInteraction::PromptText(const std::string& caption,
                                                          const std::string& initial,
                                                          int maxLength) {
  if (!::isatty(STDIN_FILENO)) return initial;
  *err_ << caption << " [" << initial << "] " << std::flush;
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (line.empty()) return initial;
  if (maxLength > 0 && line.size() > static_cast<std::size_t>(maxLength)) line.resize(maxLength);
  return line;
}

std::optional<std::string> ConsoleInteraction::OpenFileDialog(const std::string&,
                                                              const std::string&) {
  return std::nullopt;
}

namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

void LoadStartupSettings(Program& program) {
  program.programDir = SettingsDir();
  program.ErrorFlag = false;
  ReadConfig(program, kConfigBaseName);
  program.ErrorFlag = false;
}

void SetCurrentFileFromArgument(Program& program, const std::string& arg) {
  std::string path = arg;
  if (!Exists(path) && !program.settings.FileExtension.empty()) {
    std::string withExt = arg + "." + program.settings.FileExtension;
    if (Exists(withExt)) path = withExt;
  }
  program.file = CurrentFile::FromPath(path);
}

int RunInfoCommand(Program& program, const std::string& fileArg, std::ostream& out) {
  SetCurrentFileFromArgument(program, fileArg);
  program.ErrorFlag = false;
  program.MessagesEnabled = true;
  RunInterpreter(program, RunMode::Scan);
  if (program.ErrorFlag) return 1;
  for (const auto& [label, value] : InfoFields(GetFileInfo(program)))
    out << label << ": " << value << '\n';
  out.flush();
  return out ? 0 : 1;
}

int RunCommandLine(Program& program, const std::vector<std::string>& args, std::ostream& out) {
  if (args.size() == 2) {
    std::string opt = args[1];
    if (opt.size() == 2 && (opt[0] == '/' || opt[0] == '-') && (opt[1] == 'I' || opt[1] == 'i'))
      return RunInfoCommand(program, args[0], out);
  }
  if (args.size() == 1 && args[0] != "?" && args[0] != "/?")
    return RunInfoCommand(program, args[0], out);
  out << "ordre:  plotvue FILE /I\n";
  return args.empty() ? 1 : 0;
}

}  // namespace plotvue
