// The window's start-up directory step (defaults, messages, the prompt for a new temporary
// directory) and the deletion of the temporary files when it closes.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace plotvue {
namespace {

namespace fs = std::filesystem;

class RecordingUi : public UserInteraction {
 public:
  void ShowError(const std::string& t) override { log.push_back("error|" + t); }
  void ShowMessage(const std::string& t) override { log.push_back("message|" + t); }
  Answer AskYesNoCancel(const std::string&) override { return Answer::No; }
  std::optional<std::string> PromptText(const std::string& caption, const std::string& initial,
                                        int maxLength, int) override {
    log.push_back("prompt|" + caption + "|" + initial + "|" + std::to_string(maxLength));
    return promptAnswer;
  }
  std::optional<std::string> OpenFileDialog(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::vector<std::string> log;
  std::optional<std::string> promptAnswer;
};

std::string MakeTempDir() {
  char dir[] = "/tmp/plotvue-startup-XXXXXX";
  return mkdtemp(dir) ? std::string(dir) + "/" : std::string("/tmp/");
}

// Sets TMPDIR for one test and puts the old value back.
class TmpDirScope {
 public:
  explicit TmpDirScope(const std::string& value) {
    if (const char* old = std::getenv("TMPDIR")) old_ = old;
    ::setenv("TMPDIR", value.c_str(), 1);
  }
  ~TmpDirScope() {
    if (old_)
      ::setenv("TMPDIR", old_->c_str(), 1);
    else
      ::unsetenv("TMPDIR");
  }

 private:
  std::optional<std::string> old_;
};

TEST(StartupDirectories, EmptySettingsTakeTheirDefaultsWithoutMessages) {
  const std::string dir = MakeTempDir();
  TmpDirScope tmp(dir + "tmp");
  fs::create_directory(dir + "tmp");
  RecordingUi ui;
  Program program(ui);
  // A first start: the settings directory has not been made yet.
  program.programDir = dir + "settings/";
  program.ErrorFlag = true;
  program.MessagesEnabled = false;
  CheckStartupDirectories(program);
  EXPECT_EQ(ui.log, std::vector<std::string>{});
  EXPECT_FALSE(program.ErrorFlag);
  EXPECT_TRUE(program.MessagesEnabled);
  const Settings& s = program.settings;
  EXPECT_EQ(s.TempDir, dir + "tmp/");
  EXPECT_EQ(s.DbfDir, dir + "settings/");
  EXPECT_EQ(s.HelpImageDir, dir + "settings/");
  EXPECT_EQ(s.EdiDir, dir + "settings/");
  EXPECT_EQ(program.dataDir, dir + "settings/");
  EXPECT_EQ(s.CadDir, "");  // the current directory
  EXPECT_TRUE(fs::is_directory(dir + "settings"));
  fs::remove_all(dir);
}

TEST(StartupDirectories, ConfiguredDirectoriesAreKept) {
  const std::string dir = MakeTempDir();
  RecordingUi ui;
  Program program(ui);
  program.programDir = dir;
  Settings& s = program.settings;
  s.TempDir = dir;
  for (const char* sub : {"cad", "dbf", "plt", "edi", "data"}) fs::create_directory(dir + sub);
  s.CadDir = dir + "cad";
  s.DbfDir = dir + "dbf";
  s.HelpImageDir = dir + "plt";
  s.EdiDir = dir + "edi";
  program.dataDir = dir + "data";
  CheckStartupDirectories(program);
  EXPECT_EQ(ui.log, std::vector<std::string>{});
  EXPECT_EQ(s.CadDir, dir + "cad");
  EXPECT_EQ(s.TempDir, dir);
  EXPECT_EQ(program.dataDir, dir + "data");
  fs::remove_all(dir);
}

TEST(StartupDirectories, EachInvalidDirectoryIsReportedInOrder) {
  const std::string dir = MakeTempDir();
  RecordingUi ui;
  ui.promptAnswer = dir;
  Program program(ui);
  program.programDir = dir;
  Settings& s = program.settings;
  s.CadDir = dir + "no-cad";
  s.DbfDir = dir + "no-dbf";
  s.HelpImageDir = dir + "no-plt";
  s.TempDir = dir + "no-tmp/";
  s.EdiDir = dir + "no-edi";
  program.dataDir = dir + "no-data";
  CheckStartupDirectories(program);
  EXPECT_EQ(ui.log, (std::vector<std::string>{
                        "error|non valide CAD Annuaire configuré",
                        "error|non valide DBF Annuaire configuré",
                        "error|non valide PLT Annuaire configuré",
                        "error|non valide Annuaire provisoire configuré",
                        "prompt|Annuaire provisoire|" + dir + "no-tmp/|60",
                        "error|non valide EDI Annuaire configuré",
                        "error|non valide Data Annuaire configuré",
                    }));
  // The answer becomes the temporary directory; the others stay as configured.
  EXPECT_EQ(s.TempDir, dir);
  EXPECT_EQ(s.CadDir, dir + "no-cad");
  EXPECT_EQ(program.dataDir, dir + "no-data");
  fs::remove_all(dir);
}

TEST(StartupDirectories, TemporaryDirectoryMustTakeFiles) {
  const std::string dir = MakeTempDir();
  RecordingUi ui;
  Program program(ui);
  program.programDir = dir;
  // A plain file is no directory; a cancelled prompt keeps the setting.
  std::ofstream(dir + "plain") << "x";
  program.settings.TempDir = dir + "plain";
  CheckStartupDirectories(program);
  ASSERT_EQ(ui.log.size(), 2u);
  EXPECT_EQ(ui.log[0], "error|non valide Annuaire provisoire configuré");
  EXPECT_EQ(program.settings.TempDir, dir + "plain");
  // A blank answer changes nothing either.
  ui.log.clear();
  ui.promptAnswer = "   ";
  CheckStartupDirectories(program);
  EXPECT_EQ(program.settings.TempDir, dir + "plain");
  fs::remove_all(dir);
}

TEST(TemporaryFiles, OnlyDollarDxDollarFilesAreDeleted) {
  const std::string dir = MakeTempDir();
  SilentInteraction ui;
  Program program(ui);
  program.settings.TempDir = dir;
  const std::vector<std::string> deleted = {"$a.dx$", "$.dx$", "$B12.DX$", "$link.dx$"};
  const std::vector<std::string> kept = {"a.dx$",   "$a.dxf", "$a.dx",  "x.plt",
                                         "$a.dx$x", "dx$",    "$a.ddx$"};
  for (const std::string& name : deleted)
    if (name != "$link.dx$") std::ofstream(dir + name) << "x";
  for (const std::string& name : kept) std::ofstream(dir + name) << "x";
  // A link goes, the file it names stays; a directory of that name stays.
  fs::create_symlink(dir + "x.plt", dir + "$link.dx$");
  fs::create_directory(dir + "$sub.dx$");
  std::ofstream(dir + "$sub.dx$/$inner.dx$") << "x";

  DeleteTemporaryFiles(program);
  for (const std::string& name : deleted)
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir + name))) << name;
  for (const std::string& name : kept) EXPECT_TRUE(fs::exists(dir + name)) << name;
  EXPECT_TRUE(fs::is_directory(dir + "$sub.dx$"));
  EXPECT_TRUE(fs::exists(dir + "$sub.dx$/$inner.dx$"));

  // Without a setting the system's temporary directory is cleaned; a missing one is no error.
  std::ofstream(dir + "$again.dx$") << "x";
  {
    TmpDirScope tmp(dir);
    program.settings.TempDir.clear();
    DeleteTemporaryFiles(program);
  }
  EXPECT_FALSE(fs::exists(dir + "$again.dx$"));
  program.settings.TempDir = dir + "missing/";
  DeleteTemporaryFiles(program);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace plotvue
