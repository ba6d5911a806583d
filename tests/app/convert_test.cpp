// The window's Convert commands without widgets: the converter dialog's fields, a conversion of
// the current file compared byte for byte with the batch conversion of the same file and
// settings, split and cancelled conversions, Convert new file's restoring of the previous name,
// and the status lines.
#include "app/convert.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/batch.h"
#include "input/hpin.h"
#include "graphics/show.h"
#include "output/syntax.h"
#include "support/scripted.h"

namespace plotvue {
namespace {

using testing::ScriptedInteraction;
namespace fs = std::filesystem;

const std::string kCorpus = PLOTVUE_CORPUS_DIR;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A scratch directory that is also the current directory (batch output names are relative).
struct Scratch {
  Scratch() {
    char dir[] = "/tmp/plotvue-convert-XXXXXX";
    path = ::mkdtemp(dir);
    old = fs::current_path();
    fs::current_path(path);
  }
  ~Scratch() {
    fs::current_path(old);
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  fs::path path;
  fs::path old;
};

// The batch conversion of one file with `settings`: its output under the file's base name.
std::string BatchOutput(const std::string& plot, const Settings& settings, const std::string& ext) {
  ScriptedInteraction ui;
  Program program(ui);
  program.settings = settings;
  BatchRequest request;
  request.convert = true;
  BatchContext context;
  context.makeDriver = DefaultDriverFactory();
  EXPECT_EQ(RunBatchFiles(program, {plot}, request, context), 0);
  const std::string base = CurrentFile::FromPath(plot).base;
  return ReadAll(base + "." + ext);
}

struct WindowConversion : ::testing::Test {
  WindowConversion() { driver = MakeOutputDriver(program); }
  ScriptedInteraction ui;
  Program program{ui};
  std::unique_ptr<PlotDriver> driver;
};

TEST_F(WindowConversion, GivesTheBytesOfTheBatchConversion) {
  Scratch scratch;
  struct Case {
    const char* file;
    int syntax;
    const char* ext;
  };
  for (const Case& c : {Case{"dia-plt-flowchart.plt", 5, "dxf"},
                        Case{"gnuplot-hpgl-damped.plt", 4, "cnc"},
                        Case{"pstoedit-hpgl2-colorboxes.plt", 9, "pl2"},
                        Case{"graph-hpgl1-markers.plt", 6, "pas"}}) {
    Settings s;
    s.SyntaxCode = static_cast<std::uint16_t>(c.syntax);
    s.DeviceCode = 3;
    s.PlotScale = 0.5L;
    s.PlotOriginX = 12.0L;
    const std::string plot = kCorpus + "/" + c.file;
    const std::string batch = BatchOutput(plot, s, c.ext);
    ASSERT_FALSE(batch.empty()) << c.file;

    // The window names the output after the file shown, as the batch run does.
    program.settings = s;
    program.file = CurrentFile::FromPath(plot);
    program.settings.PlotFile = program.file.base;
    const std::string target = program.file.base + "." + c.ext;
    fs::remove(target);
    ConversionReport r = ConvertCurrentFile(program, *driver);
    EXPECT_TRUE(r.ok) << c.file;
    EXPECT_FALSE(program.ErrorFlag);
    EXPECT_EQ(r.target, target);
    EXPECT_EQ(r.parts, 1u);
    EXPECT_GT(r.elements, 0);
    EXPECT_EQ(r.elements, program.ElementCount);
    EXPECT_TRUE(ReadAll(r.target) == batch) << c.file;
  }
}

TEST_F(WindowConversion, SplitsIntoPartsAndKeepsThePlotFileName) {
  Scratch scratch;
  program.settings.SyntaxCode = 1;
  program.settings.DeviceCode = 3;
  program.settings.MaxFileElements = 100;
  program.settings.PlotFile = "PART";
  program.file = CurrentFile::FromPath(kCorpus + "/dia-plt-flowchart.plt");
  ConversionReport r = ConvertCurrentFile(program, *driver);
  ASSERT_TRUE(r.ok);
  EXPECT_GT(r.parts, 1u);
  EXPECT_EQ(program.settings.PlotFile, "PART");
  EXPECT_TRUE(fs::exists("PART.plt"));
  EXPECT_TRUE(fs::exists("PAR1.plt"));
  const std::string status = ConversionStatusText(r);
  EXPECT_EQ(status.rfind("PART.plt OK  (" + std::to_string(r.elements) + " éléments, " +
                             std::to_string(r.parts) + " fichiers, ",
                         0),
            0u)
      << status;
}

// Presses Cancel while the file is read.
// Presses Cancel at the `at`-th report of progress (from 1).
struct CancelOnProgress : ProgressService {
  CancelOnProgress(Program& p, int at_) : program(p), at(at_) {}
  void Progress(std::uint64_t, std::uint64_t) override {
    if (++calls == at) RequestStop(program);
  }
  Program& program;
  int at;
  int calls = 0;
};

TEST_F(WindowConversion, ACancelledConversionLeavesNoOutput) {
  Scratch scratch;
  program.settings.SyntaxCode = 10;
  program.settings.DeviceCode = 3;
  program.settings.PlotFile = "GONE";
  // A file large enough for several reports of progress in each run, outside the scratch folder.
  const std::string big = scratch.old.string() + "/plotvue-convert-big-" +
                          std::to_string(::getpid()) + ".plt";
  {
    std::ofstream out(big, std::ios::binary);
    out << "IN;SP1;";
    for (int k = 0; k < 400000; ++k) out << "PU" << k % 1000 << ",0;PD4000," << k % 3000 << ";";
  }
  struct Remove {
    std::string path;
    ~Remove() { fs::remove(path); }
  } removeBig{big};
  program.file = CurrentFile::FromPath(big);
  // How often the reading reports its progress in a scan, to stop the conversion after it.
  struct Count : ProgressService {
    void Progress(std::uint64_t, std::uint64_t) override { ++calls; }
    int calls = 0;
  } count;
  program.progress = &count;
  RunInterpreter(program, RunMode::Scan);
  const int scanCalls = count.calls;
  RunInterpreter(program, RunMode::Convert, RunTargets{driver.get(), nullptr});
  ASSERT_GT(count.calls, scanCalls + 1);
  fs::remove("GONE.ps");

  // Cancel in the scan, and in the conversion on one thread and on two.
  for (int stopAt : {1, scanCalls + 1, scanCalls + 1}) {
    program.ReaderThreadFrom = stopAt == 1 ? 0 : (std::uint64_t{1} << 40);
    CancelOnProgress cancel(program, stopAt);
    EXPECT_FALSE(fs::exists("GONE.ps")) << "before " << stopAt;
    program.progress = &cancel;
    program.StopRequested = false;
    program.ErrorFlag = false;
    ConversionReport r = ConvertCurrentFile(program, *driver);
    program.progress = nullptr;
    EXPECT_FALSE(r.ok) << stopAt;
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(ConversionStatusText(r), "conversion annulée");
    EXPECT_TRUE(program.ErrorFlag);
    for (const auto& e : fs::directory_iterator(scratch.path))
      ADD_FAILURE() << "left behind: " << e.path();
  }
  program.ReaderThreadFrom = 0;
  CancelOnProgress cancel(program, scanCalls + 1);
  program.progress = &cancel;
  program.StopRequested = false;
  EXPECT_FALSE(ConvertCurrentFile(program, *driver).ok);
  program.progress = nullptr;
  EXPECT_TRUE(fs::is_empty(scratch.path));
  program.StopRequested = false;
}

TEST_F(WindowConversion, UnreadableFileConvertsNothing) {
  Scratch scratch;
  program.settings.DeviceCode = 3;
  program.file = CurrentFile::FromPath(scratch.path.string() + "/missing.plt");
  ConversionReport r = ConvertCurrentFile(program, *driver);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(program.ErrorFlag);
  EXPECT_FALSE(ui.errors.empty());
  EXPECT_TRUE(fs::is_empty(scratch.path));
}

TEST(ConverterFields, ShowAndTakeTheSettings) {
  Settings s;
  s.SyntaxCode = 4;
  s.DeviceCode = 2;
  s.PlotScale = 12.5L;
  s.TextWidthFactor = 0.8L;
  s.PlotOriginX = -3.0L;
  s.SerialPort = 2;
  s.LPT = 3;
  ConverterFields f = ConverterFieldsFrom(s);
  EXPECT_EQ(f.syntaxItem, 3);
  EXPECT_EQ(f.deviceItem, 1);
  EXPECT_EQ(f.plotScale, "12.5");
  EXPECT_EQ(f.widthFactor, "0.8");
  EXPECT_EQ(f.originX, "-3");
  EXPECT_EQ(f.originY, "0");
  EXPECT_EQ(f.com, "2");
  EXPECT_EQ(f.lpt, "3");
  EXPECT_EQ(f.file, "PLOT");

  s.SyntaxCode = 0;  // out of range: the first item
  EXPECT_EQ(ConverterFieldsFrom(s).syntaxItem, 0);

  f.syntaxItem = 4;
  f.deviceItem = 2;
  f.plotScale = "2,5";
  f.widthFactor = "abc";
  f.com = "x";
  f.file = "plan";
  TakeConverterFields(f, s);
  EXPECT_EQ(s.SyntaxCode, 5);
  EXPECT_EQ(s.DeviceCode, 3);
  EXPECT_EQ(s.PlotScale, 2.5L);
  EXPECT_EQ(s.TextWidthFactor, 0.0L);
  EXPECT_EQ(s.SerialPort, 0);
  EXPECT_EQ(s.PlotFile, "plan");

  EXPECT_EQ(FieldOfDevice(0), DeviceField::Com);
  EXPECT_EQ(FieldOfDevice(1), DeviceField::Lpt);
  EXPECT_EQ(FieldOfDevice(2), DeviceField::File);
}

TEST_F(WindowConversion, CommandsRunDialogPromptsAndRestoreTheName) {
  Scratch scratch;
  program.file = CurrentFile::FromPath(kCorpus + "/dia-plt-flowchart.plt");
  program.settings.PlotFile = program.file.base;
  int converted = 0;
  auto convert = [&] {
    ++converted;
    ConversionReport r;
    r.ok = true;
    r.target = program.settings.PlotFile;
    return r;
  };
  EditorLauncher noEditor = [](const std::string&) { return true; };

  // Cancel: nothing converted, the flag set.
  ConversionReport r = ConvertCurrentFileCommand(
      program, *driver, [] { return ConverterDialogResult::Cancelled; }, convert, noEditor);
  EXPECT_TRUE(program.ErrorFlag);
  EXPECT_EQ(converted, 0);
  // Configuration: the prompts run first; cancelled there, nothing is converted.
  ui.cancelAt = 0;
  r = ConvertCurrentFileCommand(
      program, *driver, [] { return ConverterDialogResult::Configuration; }, convert, noEditor);
  EXPECT_EQ(converted, 0);
  EXPECT_EQ(ui.log.size(), 1u);
  ui.cancelAt = -1;
  ui.log.clear();
  r = ConvertCurrentFileCommand(
      program, *driver, [] { return ConverterDialogResult::Configuration; }, convert, noEditor);
  EXPECT_EQ(converted, 1);
  EXPECT_FALSE(ui.log.empty());
  EXPECT_TRUE(r.ok);

  // Convert new file: the chosen file's name during the conversion, the previous one after.
  const CurrentFile previous = program.file;
  ui.openAnswer = kCorpus + "/gnuplot-hpgl-damped.plt";
  std::string during;
  r = ConvertNewFileCommand(
      program, *driver,
      [&] {
        during = program.file.base + "|" + program.settings.PlotFile;
        return ConverterDialogResult::Ok;
      },
      convert, noEditor);
  EXPECT_EQ(during, "gnuplot-hpgl-damped|gnuplot-hpgl-damped");
  EXPECT_EQ(r.target, "gnuplot-hpgl-damped");
  EXPECT_EQ(program.file.Path(), previous.Path());
  EXPECT_EQ(program.settings.PlotFile, previous.base);
  // The open dialog cancelled: the previous name at once, no dialog.
  ui.openAnswer.reset();
  program.settings.PlotFile = "OTHER";
  bool shown = false;
  r = ConvertNewFileCommand(
      program, *driver,
      [&] {
        shown = true;
        return ConverterDialogResult::Ok;
      },
      convert, noEditor);
  EXPECT_FALSE(shown);
  EXPECT_TRUE(program.ErrorFlag);
  EXPECT_EQ(program.settings.PlotFile, previous.base);
  EXPECT_EQ(converted, 2);
}

TEST(StatusText, NamesTargetAndPort) {
  SpoolResult s;
  s.ok = true;
  s.port = "COM1";
  s.device = "/dev/ttyS0";
  s.fileBytes = 1234;
  EXPECT_EQ(SpoolStatusText(s, 0.25), "COM1 (/dev/ttyS0) OK  (1234 octets, 0.2 s)");
  s.ok = false;
  EXPECT_EQ(SpoolStatusText(s, 0.25), "");
  ConversionReport r;
  r.target = "PLOT.dxf";
  EXPECT_EQ(ConversionStatusText(r), "PLOT.dxf : échec de la conversion");
  r.ok = true;
  r.elements = 3;
  r.parts = 1;
  r.seconds = 1.25;
  EXPECT_EQ(ConversionStatusText(r), "PLOT.dxf OK  (3 éléments, 1 fichier, 1.2 s)");
}

}  // namespace
}  // namespace plotvue
