#include "app/batch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <iostream>
#include <set>

#include "app/batchoptions.h"
#include "base/fileutil.h"
#include "base/textnum.h"
#include "config/configio.h"
#include "config/paths.h"
#include "input/fileinfo.h"
#include "input/hpin.h"
#include "output/drivers.h"
#include "output/syntax.h"

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
  if (!line.empty() && (line[0] == 'y' || line[0] == 'Y' || line[0] == 'j' || line[0] == 'J' ||
                        line[0] == 'o' || line[0] == 'O'))
    return Answer::Yes;
  return Answer::No;
}

std::optional<std::string> ConsoleInteraction::PromptText(const std::string& caption,
                                                          const std::string& initial,
                                                          int maxLength, int) {
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

std::optional<int> ConsoleInteraction::PromptChoice(const std::string& caption,
                                                    const std::vector<std::string>& options,
                                                    int preselected, int helpTopic) {
  const std::optional<int> fallback =
      UserInteraction::PromptChoice(caption, options, preselected, helpTopic);
  if (!fallback || !::isatty(STDIN_FILENO)) return fallback;
  // The options numbered from 1; an empty answer takes the preselected one.
  for (;;) {
    *err_ << caption << '\n';
    for (std::size_t k = 0; k < options.size(); ++k)
      *err_ << "  " << (k + 1) << ' ' << options[k] << '\n';
    *err_ << "[" << *fallback << "] " << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) return std::nullopt;
    if (line.empty()) return fallback;
    const std::int32_t n = TextToInt(line);
    if (n >= 1 && n <= static_cast<std::int32_t>(options.size())) return n;
  }
}

std::optional<bool> ConsoleInteraction::PromptYesNo(const std::string& question, bool defaultYes,
                                                    int) {
  if (!::isatty(STDIN_FILENO)) return defaultYes;
  *err_ << question << (defaultYes ? " [Y/n] " : " [y/N] ") << std::flush;
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (line.empty()) return defaultYes;
  const char c = line[0];
  return c == 'y' || c == 'Y' || c == 'j' || c == 'J' || c == 'o' || c == 'O';
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

bool LoadStartupStrokeFont(Program& program, StrokeFontState& state, const std::string& exePath,
                           std::ostream& err) {
  if (program.settings.ShpLoad != 'J' && program.settings.ShpLoad != 'j') return true;
  switch (ReadShpFont(program, state.font, state.errors, DataDirs(exePath))) {
    case ShpReadResult::Loaded:
      state.view = std::make_unique<ShpStrokeFont>(state.font);
      return true;
    case ShpReadResult::NotFound:
      err << kShpNotFoundReport << '\n';
      return false;
    case ShpReadResult::Invalid:
      break;
  }
  return false;
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
  // A read error part way has been reported; the fields then tell what was read before it.
  const bool readWhole = !program.RunFailed;
  for (const auto& [label, value] : InfoFields(GetFileInfo(program)))
    out << label << ": " << value << '\n';
  out.flush();
  return out && readWhole ? 0 : 1;
}

// --- Progress line ---------------------------------------------------------------------------

TerminalProgress::TerminalProgress(std::ostream& err, UserInteraction& inner,
                                   std::chrono::milliseconds interval)
    : err_(&err), inner_(&inner), interval_(interval) {}

void TerminalProgress::StartFile(std::size_t number, std::size_t count, const std::string& path) {
  number_ = number;
  count_ = count;
  path_ = path;
  done_ = total_ = 0;
  Draw(false);
}

void TerminalProgress::Progress(std::uint64_t done, std::uint64_t total) {
  done_ = done;
  total_ = total;
  Draw(false);
}

void TerminalProgress::Draw(bool force) {
  auto now = std::chrono::steady_clock::now();
  if (!force && everDrawn_ && now - lastDraw_ < interval_) return;
  lastDraw_ = now;
  everDrawn_ = drawn_ = true;
  *err_ << "\rfile " << number_ << " of " << count_ << ": " << path_;
  if (done_ > 0) {
    *err_ << ", " << done_;
    if (total_ > 0) *err_ << " of " << total_;
    *err_ << " bytes";
  }
  *err_ << "\x1b[K" << std::flush;
}

void TerminalProgress::Clear() {
  if (!drawn_) return;
  *err_ << "\r\x1b[K" << std::flush;
  drawn_ = false;
}

void TerminalProgress::ShowError(const std::string& text) {
  Clear();
  inner_->ShowError(text);
}

void TerminalProgress::ShowMessage(const std::string& text) {
  Clear();
  inner_->ShowMessage(text);
}

Answer TerminalProgress::AskYesNoCancel(const std::string& text) {
  Clear();
  return inner_->AskYesNoCancel(text);
}

std::optional<std::string> TerminalProgress::PromptText(const std::string& caption,
                                                        const std::string& initial, int maxLength,
                                                        int helpTopic) {
  Clear();
  return inner_->PromptText(caption, initial, maxLength, helpTopic);
}

std::optional<std::string> TerminalProgress::OpenFileDialog(const std::string& filter,
                                                            const std::string& initialDir) {
  Clear();
  return inner_->OpenFileDialog(filter, initialDir);
}

std::optional<int> TerminalProgress::PromptChoice(const std::string& caption,
                                                  const std::vector<std::string>& options,
                                                  int preselected, int helpTopic) {
  Clear();
  return inner_->PromptChoice(caption, options, preselected, helpTopic);
}

std::optional<bool> TerminalProgress::PromptYesNo(const std::string& question, bool defaultYes,
                                                  int helpTopic) {
  Clear();
  return inner_->PromptYesNo(question, defaultYes, helpTopic);
}

// --- Batch conversion ------------------------------------------------------------------------

DriverFactory DefaultDriverFactory(const StrokeFont* font) {
  return [font](Program& program) -> std::unique_ptr<OutputDriver> {
    return MakeOutputDriver(program, font);
  };
}

namespace {

std::string UpperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// "/X" or "-X" with the letter in either case (and any value after it when `prefixOnly`).
bool IsOption(const std::string& param, const std::string& upperName, bool prefixOnly = false) {
  if (param.empty() || (param[0] != '/' && param[0] != '-')) return false;
  std::string rest = UpperAscii(param.substr(1));
  return prefixOnly ? rest.compare(0, upperName.size(), upperName) == 0 : rest == upperName;
}

bool IsUsageRequest(const std::string& param) {
  return param == "?" || param == "/?" || param == "-?";
}

// True when the file name part of `path` (after the last "/") holds a ".".
bool NameHasExtension(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  return path.find('.', slash == std::string::npos ? 0 : slash + 1) != std::string::npos;
}

// Asks whether to end the whole run after a failure; only Yes ends it.
bool UserQuits(Program& program) {
  return program.ui->AskYesNoCancel(std::string("Quitter ") + kProgramName + " ?") == Answer::Yes;
}

// The per-file steps of a batch run and what they share across files.
class BatchRun {
 public:
  BatchRun(Program& program, const BatchRequest& request, BatchContext& context,
           OutputDriver* driver)
      : p_(program), request_(request), context_(context), driver_(driver) {}

  // Runs every file. Returns false when a file failed.
  bool RunAll(const std::vector<std::string>& files);

 private:
  enum class Outcome { Done, Failed, Quit };
  Outcome RunFile(const std::string& path, bool last);
  Outcome Convert(bool last);
  bool CanConvertWhileScanning() const;
  Outcome ScanAndConvert(bool last);
  Outcome Unreadable();
  Outcome Converted(bool last);
  // The output file name of the current file: PlotFile and the syntax's extension.
  std::string TargetName() const;

  Program& p_;
  const BatchRequest& request_;
  BatchContext& context_;
  OutputDriver* driver_;
  // Output names written to files in this run: a later file that would write the same name is
  // refused instead of replacing the earlier output.
  std::set<std::string> written_;
};

bool BatchRun::RunAll(const std::vector<std::string>& files) {
  bool ok = true;
  for (std::size_t k = 0; k < files.size(); ++k) {
    if (context_.progress) context_.progress->StartFile(k + 1, files.size(), files[k]);
    Outcome outcome = RunFile(files[k], k + 1 == files.size());
    if (outcome != Outcome::Done) ok = false;
    if (outcome == Outcome::Quit) break;
  }
  if (context_.progress) context_.progress->Clear();
  return ok;
}

BatchRun::Outcome BatchRun::RunFile(const std::string& path, bool last) {
  Settings& s = p_.settings;
  p_.ErrorFlag = false;
  p_.file = CurrentFile::FromPath(path);
  // Every syntax but HP-GL writes each file under its own base name; HP-GL, whose extension is
  // that of the plot files, keeps the /F name, or takes the base name when none was given.
  if (s.SyntaxCode != static_cast<int>(Syntax::Hpgl) || request_.PlotFile.empty())
    s.PlotFile = p_.file.base;
  else
    s.PlotFile = request_.PlotFile;

  p_.MessagesEnabled = true;
  if (CanConvertWhileScanning()) return ScanAndConvert(last);
  RunInterpreter(p_, RunMode::Scan);
  if (p_.ErrorFlag) return Unreadable();

  // A read error part way: converting would write a drawing cut short.
  if (p_.RunFailed) return Outcome::Failed;

  bool ok = true;
  if (request_.convert) {
    Outcome converted = Convert(last);
    if (converted == Outcome::Quit) return converted;
    ok = converted == Outcome::Done;
  }
  if (request_.print && context_.print) {
    p_.ErrorFlag = false;
    if (!context_.print(p_) || p_.ErrorFlag) ok = false;
    p_.ErrorFlag = false;
  }
  return ok ? Outcome::Done : Outcome::Failed;
}

// A conversion into a file that nothing else of the run needs the extents for (no printing, an
// output that does not hold them, a target not yet written) reads the file once: the scan and
// the convert run in one pass. A port is left to the two runs, so that a plotter gets nothing
// of a file that cannot be read to its end.
bool BatchRun::CanConvertWhileScanning() const {
  const Settings& s = p_.settings;
  return request_.convert && !request_.print && driver_ &&
         s.DeviceCode == static_cast<int>(Device::File) && !OutputReadsExtents(s.SyntaxCode) &&
         written_.count(TargetName()) == 0;
}

std::string BatchRun::TargetName() const {
  const Settings& s = p_.settings;
  return s.PlotFile + "." + SyntaxOf(s.SyntaxCode).extension;
}

// The two runs in one pass, with the outcomes of RunFile's scan and of Convert.
BatchRun::Outcome BatchRun::ScanAndConvert(bool last) {
  switch (RunScanAndConvert(p_, *driver_)) {
    case ScanConvertResult::Unreadable:
      return Unreadable();
    case ScanConvertResult::ReadFailed:
      p_.ErrorFlag = false;
      return Outcome::Failed;
    case ScanConvertResult::Converted:
      break;
  }
  written_.insert(TargetName());
  return Converted(last);
}

// The file could not be read: nothing more can be done with it; the user may end the run.
BatchRun::Outcome BatchRun::Unreadable() {
  if (UserQuits(p_)) return Outcome::Quit;
  p_.ErrorFlag = false;
  return Outcome::Failed;
}

// After a convert run. An output that could not be opened (a port that is not ready, an
// unwritable directory) would likely fail the same way for the following files, so the user may
// end the run here.
BatchRun::Outcome BatchRun::Converted(bool last) {
  const bool ok = !p_.ErrorFlag && !p_.RunFailed;
  if (p_.ErrorFlag && !last && UserQuits(p_)) return Outcome::Quit;
  p_.ErrorFlag = false;
  return ok ? Outcome::Done : Outcome::Failed;
}

BatchRun::Outcome BatchRun::Convert(bool last) {
  Settings& s = p_.settings;
  if (s.DeviceCode == static_cast<int>(Device::File)) {
    std::string target = TargetName();
    if (!written_.insert(target).second) {
      p_.ui->ShowError(target + " : output file already written in this run !");
      return Outcome::Failed;
    }
  }
  RunTargets targets;
  targets.driver = driver_;
  RunInterpreter(p_, RunMode::Convert, targets);
  return Converted(last);
}

}  // namespace

int RunBatch(Program& program, const std::vector<std::string>& args, std::ostream& out,
             BatchContext& context) {
  if (args.empty()) return 1;
  Settings& s = program.settings;
  program.ErrorFlag = false;
  program.MessagesEnabled = true;
  s.PlotFile.clear();
  const std::string pattern =
      BatchPattern(args[0], s.FileExtension.empty() ? std::string("plt") : s.FileExtension);
  const std::vector<std::string> files = MatchFiles(pattern);
  if (files.empty()) {
    program.ui->ShowError(pattern + " : pas de fichiers !");
    return 1;
  }

  BatchRequest request;
  for (std::size_t k = 1; k < args.size(); ++k) {
    // A name of an existing file is no option, though an absolute path starts with "/": the
    // shell gives such names when it expands an unquoted pattern.
    if (PathExists(args[k]) || !ApplyBatchOption(args[k], s, request)) {
      program.ui->ShowError(args[k] + " : invalid option !");
      return 1;
    }
    if (request.usage) {
      out << UsageText() << std::flush;
      return 0;
    }
  }

  return RunBatchFiles(program, files, request, context);
}

int RunBatchFiles(Program& program, const std::vector<std::string>& files,
                  const BatchRequest& request, BatchContext& context) {
  std::unique_ptr<OutputDriver> made;
  OutputDriver* driver = context.driver;
  if (request.convert && !driver) {
    if (context.makeDriver) made = context.makeDriver(program);
    driver = made.get();
    if (!driver) {
      program.ui->ShowError("conversion is not available in this build of " +
                            std::string(kProgramName) + " !");
      return 1;
    }
  }
  bool ok = true;
  if (request.print && !context.print) {
    program.ui->ShowError("printing is not available in this version of " +
                          std::string(kProgramName) + ": the files are not printed !");
    ok = false;
  }

  BatchRun run(program, request, context, driver);
  if (!run.RunAll(files)) ok = false;
  program.ErrorFlag = false;
  return ok ? 0 : 1;
}

int RunCommandLine(Program& program, const std::vector<std::string>& args, std::ostream& out) {
  BatchContext context;
  context.makeDriver = DefaultDriverFactory();
  return RunCommandLine(program, args, out, std::move(context));
}

std::optional<int> RunSingleFileForm(Program& program, const std::vector<std::string>& args,
                                     std::ostream& out) {
  if (args.size() < 2 || IsUsageRequest(args[0])) return std::nullopt;
  const std::string& second = args[1];
  if (IsOption(second, "I")) return RunInfoCommand(program, args[0], out);
  if (IsOption(second, "CAD", true)) {
    // Shows the file and ends: without a window, a scan that tells whether it can be read.
    SetCurrentFileFromArgument(program, args[0]);
    program.ErrorFlag = false;
    program.MessagesEnabled = true;
    RunInterpreter(program, RunMode::Scan);
    bool failed = program.ErrorFlag || program.RunFailed;
    program.ErrorFlag = false;
    return failed ? 1 : 0;
  }
  if (IsOption(second, "G") && !NameHasExtension(args[0])) {
    program.ui->ShowError(args[0] + " : indiquer le nom du fichier avec son extension !");
    return 1;
  }
  return std::nullopt;
}

int RunCommandLine(Program& program, const std::vector<std::string>& args, std::ostream& out,
                   BatchContext context) {
  if (args.empty() || (args.size() == 1 && IsUsageRequest(args[0]))) {
    out << UsageText() << std::flush;
    return args.empty() ? 1 : 0;
  }
  if (args.size() == 1) return RunInfoCommand(program, args[0], out);
  if (std::optional<int> code = RunSingleFileForm(program, args, out)) return *code;

  std::unique_ptr<TerminalProgress> progress;
  UserInteraction* ui = program.ui;
  ProgressService* previous = program.progress;
  if (!context.progress && ::isatty(STDERR_FILENO)) {
    progress = std::make_unique<TerminalProgress>(std::cerr, *ui);
    context.progress = progress.get();
    program.ui = progress.get();
    program.progress = progress.get();
  }
  int code = RunBatch(program, args, out, context);
  program.ui = ui;
  program.progress = previous;
  return code;
}

}  // namespace plotvue
