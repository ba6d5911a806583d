// The batch command line in-process: the options, the pattern and its matches, and the per-file
// loop against the recording driver and user services.
#include "app/batch.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/batchoptions.h"
#include "base/fileutil.h"
#include "config/configio.h"
#include "output/syntax.h"
#include "support/recording.h"

namespace plotvue {
namespace {

using testing::RecordingDriver;
using testing::RecordingInteraction;

// A fresh directory under /tmp, removed with its files at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    char dir[] = "/tmp/plotvue-batch-XXXXXX";
    path = ::mkdtemp(dir) ? dir : "";
  }
  ~TempFolder() {
    if (!path.empty()) std::system(("rm -rf '" + path + "'").c_str());
  }
  std::string Write(const std::string& name, const std::string& text) const {
    std::string p = path + "/" + name;
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }
  // The plain files of the folder in the order the file system lists them.
  std::vector<std::string> ListedOrder(const std::string& suffix) const {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(path.c_str())) {
      while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        struct stat st {};
        if (n.size() > suffix.size() && n[0] != '.' &&
            n.compare(n.size() - suffix.size(), suffix.size(), suffix) == 0 &&
            ::stat((path + "/" + n).c_str(), &st) == 0 && S_ISREG(st.st_mode))
          names.push_back(path + "/" + n);
      }
      ::closedir(d);
    }
    return names;
  }
  std::string path;
};

// --- Options -------------------------------------------------------------------------------

struct OptionCase {
  const char* param;
  bool valid;
  // The change the option makes to the default settings (nothing for invalid ones).
  std::function<void(Settings&)> change;
};

void NoChange(Settings&) {}

TEST(BatchOptions, EachOptionChangesExactlyItsSetting) {
  const std::vector<OptionCase> cases = {
      {"/A2.5", true, [](Settings& s) { s.WerkzeugAbstand = 2.5L; }},
      {"/a2,5", true, [](Settings& s) { s.WerkzeugAbstand = 2.5L; }},
      {"/A101", false, NoChange},
      {"/B0.8", true, [](Settings& s) { s.TextWidthFactor = 0.8L; }},
      {"/B0.001", false, NoChange},
      {"/CPS", true, [](Settings& s) { s.SyntaxCode = 10; }},
      {"/cps", true, [](Settings& s) { s.SyntaxCode = 10; }},
      {"-CDxf", true, [](Settings& s) { s.SyntaxCode = 5; }},
      {"/CXYZ", false, NoChange},
      {"/C", false, NoChange},
      {"/D7", true, [](Settings& s) { s.DeviceCode = 3; }},
      {"/D0", true, [](Settings& s) { s.DeviceCode = 3; }},
      {"/D2", true, [](Settings& s) { s.DeviceCode = 2; }},
      {"/D1", true, [](Settings& s) { s.DeviceCode = 1; }},
      {"/Dx", true, [](Settings& s) { s.DeviceCode = 3; }},
      {"/FOUT", true, [](Settings& s) { s.PlotFile = "OUT"; }},
      {"/G", true, NoChange},
      {"/H", true, NoChange},
      {"/I", true, NoChange},
      {"/L3", true, [](Settings& s) { s.NcSyntax = 3; }},
      {"/L0", false, NoChange},
      {"/L5", false, NoChange},
      {"/M0.5", true, [](Settings& s) { s.PlotScale = 0.5L; }},
      {"/M*", false, NoChange},
      {"/M0", false, NoChange},
      {"/M20000", false, NoChange},
      {"/N100", true, [](Settings& s) { s.MaxFileElements = 100; }},
      {"/N0", false, NoChange},
      {"/P0.25", true, [](Settings& s) { s.Panorama = 0.25L; }},
      {"/R", true, [](Settings& s) { s.Rotate90 = 'J'; }},
      {"-r", true, [](Settings& s) { s.Rotate90 = 'J'; }},
      {"/T0.5", true, [](Settings& s) { s.Fraestiefe = 0.5L; }},
      {"/T-1", false, NoChange},
      {"/V*=3", true,
       [](Settings& s) {
         for (int k = 1; k < 16; ++k) s.PenNumber[k] = 3;
       }},
      {"/V20=3", true, NoChange},
      {"/V0=3", true, NoChange},
      {"/V5=9", true, [](Settings& s) { s.PenNumber[5] = 9; }},
      {"/v15=-2", true, [](Settings& s) { s.PenNumber[15] = -2; }},
      {"/V5", false, NoChange},
      {"/X12.5", true, [](Settings& s) { s.PlotOriginX = 12.5L; }},
      {"-y-3", true, [](Settings& s) { s.PlotOriginY = -3.0L; }},
      {"/X20000", false, NoChange},
      {"/Z2", true, [](Settings& s) { s.Zoom = 2.0L; }},
      // Values that are not numbers are refused, zeros in any spelling are numbers.
      {"/Mabc", false, NoChange},
      {"/X1x", false, NoChange},
      {"/X0", true, [](Settings& s) { s.PlotOriginX = 0.0L; }},
      {"/X-0,00", true, [](Settings& s) { s.PlotOriginX = 0.0L; }},
      {"/A0e5", true, [](Settings& s) { s.WerkzeugAbstand = 0.0L; }},
      {"/A", false, NoChange},
      {"/Zq", false, NoChange},
      {"/Z0", true, [](Settings& s) { s.Zoom = 0.0L; }},
      {"/P", false, NoChange},
      {"/L 2", true, [](Settings& s) { s.NcSyntax = 2; }},
      {"/L2.5", false, NoChange},
      {"/N1", true, [](Settings& s) { s.MaxFileElements = 1; }},
      {"/V1=abc", false, NoChange},
      {"/Vx=1", false, NoChange},
      {"/V3=0", true, [](Settings& s) { s.PenNumber[3] = 0; }},
      {"/Tmp/plotvue-batch", false, NoChange},
      {"/?", true, NoChange},
      {"/Q", false, NoChange},
      {"/E", false, NoChange},
      {"/", false, NoChange},
      {"-", false, NoChange},
      {"", false, NoChange},
      {"CPS", false, NoChange},
      {"+CPS", false, NoChange},
  };
  for (const OptionCase& c : cases) {
    Settings actual;
    BatchRequest request;
    EXPECT_EQ(ApplyBatchOption(c.param, actual, request), c.valid) << c.param;
    Settings expected;
    c.change(expected);
    EXPECT_EQ(ConfigFileText(actual), ConfigFileText(expected)) << c.param;
    EXPECT_EQ(actual.PenNumber, expected.PenNumber) << c.param;
    EXPECT_EQ(actual.Zoom, expected.Zoom) << c.param;
    EXPECT_EQ(actual.Panorama, expected.Panorama) << c.param;
  }
}

TEST(BatchOptions, RequestFlags) {
  struct Case {
    const char* param;
    bool convert, print, usage;
    const char* plotFile;
  };
  const Case cases[] = {
      {"/CPS", true, false, false, ""},   {"/G", false, true, false, ""},
      {"-g", false, true, false, ""},     {"/?", false, false, true, ""},
      {"-?", false, false, true, ""},     {"/Fplan", false, false, false, "plan"},
      {"/CXYZ", false, false, false, ""}, {"/M0.5", false, false, false, ""},
  };
  for (const Case& c : cases) {
    Settings s;
    BatchRequest r;
    ApplyBatchOption(c.param, s, r);
    EXPECT_EQ(r.convert, c.convert) << c.param;
    EXPECT_EQ(r.print, c.print) << c.param;
    EXPECT_EQ(r.usage, c.usage) << c.param;
    EXPECT_EQ(r.PlotFile, c.plotFile) << c.param;
  }
}

TEST(BatchOptions, CChoosesTheSyntaxByItsExtension) {
  for (std::size_t k = 0; k < kSyntaxes.size(); ++k) {
    std::string ext = kSyntaxes[k].extension;
    for (const std::string& param : {"/C" + ext, "/c" + ext}) {
      std::string upper = param;
      for (std::size_t i = 2; i < upper.size(); ++i)
        upper[i] = static_cast<char>(toupper(upper[i]));
      for (const std::string& p : {param, upper}) {
        Settings s;
        s.SyntaxCode = 0;
        BatchRequest r;
        ASSERT_TRUE(ApplyBatchOption(p, s, r)) << p;
        EXPECT_EQ(s.SyntaxCode, k + 1) << p;
        EXPECT_TRUE(r.convert);
      }
    }
  }
}

TEST(BatchOptions, Pattern) {
  EXPECT_EQ(BatchPattern("A*", "plt"), "A*.plt");
  EXPECT_EQ(BatchPattern("A*.DXF", "plt"), "A*.DXF");
  EXPECT_EQ(BatchPattern("A*.", "plt"), "A*.");
  EXPECT_EQ(BatchPattern("../plots/A*", "hgl"), "../plots/A*.hgl");
  EXPECT_EQ(BatchPattern("./v1.2/*", "plt"), "./v1.2/*.plt");
  EXPECT_EQ(BatchPattern("./v1.2/*.p*", "plt"), "./v1.2/*.p*");
}

TEST(BatchOptions, MatchFilesTakesPlainFilesInTheFileSystemsOrder) {
  TempFolder t;
  for (const char* n : {"b.plt", "a.plt", "c1.plt", "zz.plt", "a.txt", ".hidden.plt"})
    t.Write(n, "IN;");
  ::mkdir((t.path + "/dir.plt").c_str(), 0755);
  ASSERT_EQ(::symlink((t.path + "/a.plt").c_str(), (t.path + "/link.plt").c_str()), 0);
  ASSERT_EQ(::symlink((t.path + "/gone").c_str(), (t.path + "/dangling.plt").c_str()), 0);

  std::vector<std::string> found = MatchFiles(t.path + "/*.plt");
  EXPECT_EQ(found, t.ListedOrder(".plt"));
  std::vector<std::string> sorted = found;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted,
            (std::vector<std::string>{t.path + "/a.plt", t.path + "/b.plt", t.path + "/c1.plt",
                                      t.path + "/link.plt", t.path + "/zz.plt"}));
  EXPECT_EQ(MatchFiles(t.path + "/?.plt").size(), 2u);
  EXPECT_EQ(MatchFiles(t.path + "/a.plt"), std::vector<std::string>{t.path + "/a.plt"});
  EXPECT_TRUE(MatchFiles(t.path + "/none*.plt").empty());
  EXPECT_TRUE(MatchFiles(t.path + "/dir.plt").empty());
  EXPECT_TRUE(MatchFiles("/nonexistent-plotvue/*.plt").empty());
}

// --- The per-file loop ---------------------------------------------------------------------

struct BatchFixture : ::testing::Test {
  RecordingInteraction ui;
  Program program{ui};
  RecordingDriver driver{program};
  BatchContext context;
  std::ostringstream out;
  TempFolder t;

  BatchFixture() { context.driver = &driver; }

  int Run(std::vector<std::string> args) { return RunBatch(program, args, out, context); }

  // The BeginOutput lines of the driver log.
  std::vector<std::string> Begins() const {
    std::vector<std::string> b;
    for (const std::string& l : driver.log)
      if (l.rfind("BeginOutput", 0) == 0) b.push_back(l);
    return b;
  }
};

TEST_F(BatchFixture, ConvertsEveryMatchInOrderUnderItsBaseName) {
  t.Write("A1.plt", "IN;SP1;PD400,0;");
  t.Write("A2.plt", "IN;SP2;PD0,400;");
  t.Write("A3.plt", "IN;");
  t.Write("B1.plt", "IN;SP1;PD400,0;");
  t.Write("A4.hgl", "IN;");
  EXPECT_EQ(Run({t.path + "/A*", "/CPS", "/FIGNORED"}), 0);
  std::vector<std::string> expected;
  for (const std::string& f : t.ListedOrder(".plt")) {
    std::string base = CurrentFile::FromPath(f).base;
    if (base[0] == 'A') expected.push_back("BeginOutput(10,3) " + base);
  }
  EXPECT_EQ(Begins(), expected);
  EXPECT_EQ(std::count(driver.log.begin(), driver.log.end(), "EndOutput"), 3);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_TRUE(ui.questions.empty());
  // The last match is the current file afterwards.
  ASSERT_EQ(expected.size(), 3u);
  EXPECT_EQ("BeginOutput(10,3) " + program.file.base, expected.back());
  EXPECT_EQ(program.file.dir, t.path + "/");
  EXPECT_EQ(program.file.ext, "plt");
}

TEST_F(BatchFixture, WithoutCAndGTheFilesAreOnlyScanned) {
  t.Write("A1.plt", "IN;SP1;PD400,0;");
  t.Write("A2.plt", "IN;SP1;PU0,0;PD400,400;PD0,400;");
  EXPECT_EQ(Run({t.path + "/A*", "/M2", "/R"}), 0);
  EXPECT_TRUE(driver.log.empty());
  EXPECT_EQ(program.settings.PlotScale, 2.0L);
  EXPECT_EQ(program.settings.Rotate90, 'J');
  // The extents are those of the last file scanned.
  std::string last = t.ListedOrder(".plt").back();
  EXPECT_EQ(program.file.Path(), last);
  EXPECT_EQ(program.ElementCount, last == t.path + "/A1.plt" ? 1 : 2);
}

TEST_F(BatchFixture, NoMatchingFile) {
  t.Write("B1.plt", "IN;");
  EXPECT_EQ(Run({t.path + "/A*", "/CPS"}), 1);
  EXPECT_EQ(ui.errors, std::vector<std::string>{t.path + "/A*.plt : pas de fichiers !"});
  // An invalid option is not looked at when no file matches.
  ui.errors.clear();
  EXPECT_EQ(Run({t.path + "/A*", "/CXYZ"}), 1);
  EXPECT_EQ(ui.errors, std::vector<std::string>{t.path + "/A*.plt : pas de fichiers !"});
  // The configured extension is the one appended.
  program.settings.FileExtension = "hgl";
  ui.errors.clear();
  EXPECT_EQ(Run({t.path + "/B*"}), 1);
  EXPECT_EQ(ui.errors, std::vector<std::string>{t.path + "/B*.hgl : pas de fichiers !"});
  EXPECT_TRUE(driver.log.empty());
}

TEST_F(BatchFixture, InvalidOptionEndsBeforeAnyFile) {
  t.Write("A1.plt", "IN;SP1;PD400,0;");
  EXPECT_EQ(Run({t.path + "/A1.plt", "/CPS", "/CXYZ"}), 1);
  EXPECT_EQ(ui.errors, std::vector<std::string>{"/CXYZ : invalid option !"});
  EXPECT_TRUE(driver.log.empty());
  ui.errors.clear();
  EXPECT_EQ(Run({t.path + "/A1.plt", t.path + "/A2.plt"}), 1);
  EXPECT_EQ(ui.errors, std::vector<std::string>{t.path + "/A2.plt : invalid option !"});
}

TEST_F(BatchFixture, ExistingPathIsNoOption) {
  // What the shell makes of an unquoted absolute pattern: every further match would be taken as
  // an option whose letter is the first of the path (/home as /H, /run as /R).
  t.Write("A1.plt", "IN;");
  int tried = 0;
  for (const char* path : {"/home", "/run", "/root", "/the-file"}) {
    Settings s;
    BatchRequest r;
    if (!PathExists(path) || !ApplyBatchOption(path, s, r)) continue;
    ++tried;
    ui.errors.clear();
    EXPECT_EQ(Run({t.path + "/A1.plt", path}), 1) << path;
    EXPECT_EQ(ui.errors, std::vector<std::string>{std::string(path) + " : invalid option !"});
  }
  if (tried == 0) GTEST_SKIP() << "no directory /home, /run or /root here";
}

TEST_F(BatchFixture, UsageOptionShowsTheTextAndEnds) {
  t.Write("A1.plt", "IN;SP1;PD400,0;");
  EXPECT_EQ(Run({t.path + "/A1.plt", "/CPS", "/?", "/CXYZ"}), 0);
  EXPECT_EQ(out.str(), UsageText());
  EXPECT_TRUE(driver.log.empty());
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(BatchFixture, HpglKeepsTheFNameAndRefusesToWriteItTwice) {
  t.Write("A1.hgl", "IN;SP1;PD400,0;");
  t.Write("A2.hgl", "IN;SP1;PD400,0;");
  EXPECT_EQ(Run({t.path + "/A*.hgl", "/CPLT", "/FOUT"}), 1);
  EXPECT_EQ(Begins(), std::vector<std::string>{"BeginOutput(1,3) OUT"});
  EXPECT_EQ(ui.errors,
            std::vector<std::string>{"OUT.plt : output file already written in this run !"});

  // On a port every file goes to the plotter under the same name.
  driver.log.clear();
  ui.errors.clear();
  EXPECT_EQ(Run({t.path + "/A*.hgl", "/CPLT", "/FOUT", "/D2"}), 0);
  EXPECT_EQ(Begins(), (std::vector<std::string>{"BeginOutput(1,2) OUT", "BeginOutput(1,2) OUT"}));

  // Without /F each file takes its base name.
  driver.log.clear();
  EXPECT_EQ(Run({t.path + "/A*.hgl", "/CPLT", "/D3"}), 0);
  std::vector<std::string> expected;
  for (const std::string& f : t.ListedOrder(".hgl"))
    expected.push_back("BeginOutput(1,3) " + CurrentFile::FromPath(f).base);
  EXPECT_EQ(Begins(), expected);
}

TEST_F(BatchFixture, UnreadableFileAsksWhetherToQuit) {
  std::string a = t.Write("A.plt", "IN;SP1;PD400,0;");
  std::string b = t.Write("B.plt", "IN;SP1;PD400,0;");
  const std::string missing = t.path + "/gone.plt";
  BatchRequest request;
  request.convert = true;

  ui.answer = Answer::No;
  EXPECT_EQ(RunBatchFiles(program, {a, missing, b}, request, context), 1);
  EXPECT_EQ(ui.questions, std::vector<std::string>{"Quitter PLOTVUE ?"});
  EXPECT_EQ(ui.errors,
            (std::vector<std::string>{"fichier " + missing + " introuvable ou accès impossible !",
                                      "pas de fichier ouvert"}));
  // The unreadable file is not converted; the next one is.
  EXPECT_EQ(Begins(), (std::vector<std::string>{"BeginOutput(10,3) A", "BeginOutput(10,3) B"}));
  EXPECT_FALSE(program.ErrorFlag);

  driver.log.clear();
  ui.questions.clear();
  ui.answer = Answer::Yes;
  EXPECT_EQ(RunBatchFiles(program, {a, missing, b}, request, context), 1);
  EXPECT_EQ(ui.questions, std::vector<std::string>{"Quitter PLOTVUE ?"});
  EXPECT_EQ(Begins(), std::vector<std::string>{"BeginOutput(10,3) A"});
}

TEST_F(BatchFixture, OutputThatDoesNotOpenAsksBeforeTheNextFile) {
  std::string a = t.Write("A.plt", "IN;SP1;PD400,0;");
  std::string b = t.Write("B.plt", "IN;SP1;PD400,0;");
  BatchRequest request;
  request.convert = true;
  driver.failBegin = true;

  ui.answer = Answer::No;
  EXPECT_EQ(RunBatchFiles(program, {a, b}, request, context), 1);
  // Asked after the first file only: after the last there is nothing left to quit.
  EXPECT_EQ(ui.questions, std::vector<std::string>{"Quitter PLOTVUE ?"});
  EXPECT_EQ(Begins().size(), 2u);

  driver.log.clear();
  ui.questions.clear();
  ui.answer = Answer::Yes;
  EXPECT_EQ(RunBatchFiles(program, {a, b}, request, context), 1);
  EXPECT_EQ(Begins().size(), 1u);
}

TEST_F(BatchFixture, FailedWriteMakesTheExitCode1AndGoesOn) {
  std::string a = t.Write("A.plt", "IN;SP1;PD400,0;PD800,0;");
  std::string b = t.Write("B.plt", "IN;SP1;PD400,0;PD800,0;");
  BatchRequest request;
  request.convert = true;
  driver.failAfterLines = 3;  // the second file's second line
  EXPECT_EQ(RunBatchFiles(program, {a, b}, request, context), 1);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(Begins().size(), 2u);

  // Each file succeeding gives 0.
  RecordingDriver good(program);
  context.driver = &good;
  EXPECT_EQ(RunBatchFiles(program, {a, b}, request, context), 0);
}

TEST_F(BatchFixture, ConversionWithoutADriver) {
  std::string a = t.Write("A.plt", "IN;");
  context.driver = nullptr;
  BatchRequest request;
  request.convert = true;
  EXPECT_EQ(RunBatchFiles(program, {a}, request, context), 1);
  EXPECT_EQ(ui.errors,
            std::vector<std::string>{"conversion is not available in this build of PLOTVUE !"});

  // A factory is asked once for the whole run.
  int made = 0;
  context.makeDriver = [&](Program& p) {
    ++made;
    return std::unique_ptr<OutputDriver>(std::make_unique<RecordingDriver>(p));
  };
  std::string b = t.Write("B.plt", "IN;");
  EXPECT_EQ(RunBatchFiles(program, {a, b}, request, context), 0);
  EXPECT_EQ(made, 1);
  // Scanning alone needs no driver.
  request.convert = false;
  EXPECT_EQ(RunBatchFiles(program, {a}, request, context), 0);
  EXPECT_EQ(made, 1);
}

TEST_F(BatchFixture, PrintStep) {
  std::string a = t.Write("A.plt", "IN;SP1;PD400,0;");
  std::string b = t.Write("B.plt", "IN;SP1;PD400,0;");
  BatchRequest request;
  request.print = true;

  // Not available: said once, the files are still scanned, and the run counts as failed.
  EXPECT_EQ(RunBatchFiles(program, {a, b}, request, context), 1);
  EXPECT_EQ(ui.errors, std::vector<std::string>{
                           "printing is not available in this version of PLOTVUE: the files "
                           "are not printed !"});
  EXPECT_EQ(program.file.Path(), b);

  std::vector<std::string> printed;
  bool result = true;
  context.print = [&](Program& p) {
    printed.push_back(p.file.Path() + " " + std::to_string(p.ElementCount));
    return result;
  };
  ui.errors.clear();
  EXPECT_EQ(RunBatchFiles(program, {a, b}, request, context), 0);
  EXPECT_EQ(printed, (std::vector<std::string>{a + " 1", b + " 1"}));
  EXPECT_TRUE(ui.errors.empty());
  result = false;
  EXPECT_EQ(RunBatchFiles(program, {a}, request, context), 1);
}

// --- Progress line -------------------------------------------------------------------------

TEST(TerminalProgressTest, DrawsInPlaceAndStepsAsideForMessages) {
  std::ostringstream err;
  RecordingInteraction inner;
  TerminalProgress progress(err, inner, std::chrono::milliseconds(0));
  progress.StartFile(1, 2, "a.plt");
  progress.Progress(1048576, 3000000);
  progress.ShowError("boom");
  progress.StartFile(2, 2, "b.plt");
  progress.Progress(100, 0);
  progress.Clear();
  progress.Clear();
  EXPECT_EQ(err.str(),
            "\rfile 1 of 2: a.plt\x1b[K"
            "\rfile 1 of 2: a.plt, 1048576 of 3000000 bytes\x1b[K"
            "\r\x1b[K"
            "\rfile 2 of 2: b.plt\x1b[K"
            "\rfile 2 of 2: b.plt, 100 bytes\x1b[K"
            "\r\x1b[K");
  EXPECT_EQ(inner.errors, std::vector<std::string>{"boom"});
}

TEST(TerminalProgressTest, RedrawsAtMostOncePerInterval) {
  std::ostringstream err;
  RecordingInteraction inner;
  TerminalProgress progress(err, inner, std::chrono::hours(1));
  progress.StartFile(1, 3, "a.plt");
  progress.Progress(10, 20);
  progress.StartFile(2, 3, "b.plt");
  EXPECT_EQ(err.str(), "\rfile 1 of 3: a.plt\x1b[K");
  inner.answer = Answer::Yes;
  EXPECT_EQ(progress.AskYesNoCancel("Quitter PLOTVUE ?"), Answer::Yes);
  EXPECT_EQ(err.str(), "\rfile 1 of 3: a.plt\x1b[K\r\x1b[K");
  EXPECT_EQ(inner.questions, std::vector<std::string>{"Quitter PLOTVUE ?"});
}

TEST_F(BatchFixture, ProgressShowsEachFile) {
  std::string a = t.Write("A.plt", "IN;");
  std::string b = t.Write("B.plt", "IN;");
  std::ostringstream err;
  TerminalProgress progress(err, ui, std::chrono::milliseconds(0));
  context.progress = &progress;
  program.progress = &progress;
  EXPECT_EQ(RunBatchFiles(program, {a, b}, BatchRequest{}, context), 0);
  std::string s = err.str();
  EXPECT_NE(s.find("\rfile 1 of 2: " + a), std::string::npos) << s;
  EXPECT_NE(s.find("\rfile 2 of 2: " + b + ", 3 of 3 bytes"), std::string::npos) << s;
  EXPECT_EQ(s.substr(s.size() - 4), "\r\x1b[K");
}

// --- Single-file forms ---------------------------------------------------------------------

TEST_F(BatchFixture, SingleFileForms) {
  std::string a = t.Write("A.plt", "IN;SP1;PD400,0;");
  EXPECT_EQ(RunCommandLine(program, {a, "/CAD"}, out, context), 0);
  EXPECT_EQ(RunCommandLine(program, {t.path + "/A", "-cadx"}, out, context), 0);
  EXPECT_EQ(program.file.Path(), a);
  EXPECT_TRUE(out.str().empty());
  EXPECT_EQ(RunCommandLine(program, {t.path + "/gone.plt", "/CAD"}, out, context), 1);
  EXPECT_EQ(ui.errors.size(), 2u);

  ui.errors.clear();
  EXPECT_EQ(RunCommandLine(program, {t.path + "/A", "/G"}, out, context), 1);
  EXPECT_EQ(ui.errors, std::vector<std::string>{
                           t.path + "/A : indiquer le nom du fichier avec son extension !"});

  for (const char* usage : {"?", "/?", "-?"}) {
    std::ostringstream text;
    EXPECT_EQ(RunCommandLine(program, {usage}, text, context), 0);
    EXPECT_EQ(text.str(), UsageText());
  }
}

TEST(StartupStrokeFont, LoadedOnlyWhenTheSettingAsksForIt) {
  SilentInteraction ui;
  Program program(ui);
  StrokeFontState state;
  std::ostringstream err;
  EXPECT_TRUE(LoadStartupStrokeFont(program, state, "/nonexistent/bin/plotvue", err));
  EXPECT_EQ(state.Font(), nullptr);
  // The font shipped in the source tree's data folder is found from any executable path.
  program.settings.ShpLoad = 'J';
  EXPECT_TRUE(LoadStartupStrokeFont(program, state, "/nonexistent/bin/plotvue", err));
  ASSERT_NE(state.Font(), nullptr);
  EXPECT_FALSE(state.Font()->Glyph('A').empty());
  EXPECT_EQ(err.str(), "");
}

// A binary file in a batch run: a bounded number of lines on stderr, and the run goes on to the
// other files.
TEST_F(BatchFixture, BinaryFileWritesABoundedNumberOfLines) {
  std::string binary = "PE";
  for (int k = 0; k < 100000; ++k) binary += static_cast<char>(k % 251 + 1);
  t.Write("A1.plt", binary);
  t.Write("A2.plt", "IN;SP1;PD400,0;");
  std::ostringstream err;
  ConsoleInteraction console(err);
  program.ui = &console;
  EXPECT_EQ(Run({t.path + "/A*"}), 0);
  const std::string text = err.str();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4) << text;
  EXPECT_NE(text.find("autres messages non affichés"), std::string::npos);
  // The scan went on to the last file.
  EXPECT_EQ(program.file.base, CurrentFile::FromPath(t.ListedOrder(".plt").back()).base);
}

}  // namespace
}  // namespace plotvue
