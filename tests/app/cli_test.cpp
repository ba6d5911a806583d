// The plotvue executable's command line without a window: `plotvue FILE /I`, the usage text
// and batch runs, each run as a separate process with a settings directory of its own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <vector>
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "config/configio.h"
#include "config/settings.h"
#include "support/process.h"

namespace {

struct Result {
  int exitCode = -1;
  std::string out;
};

// Runs the program with stderr merged into stdout when `mergeErr` is set.
Result RunPlotvue(const std::string& args, bool mergeErr = false) {
  std::string cmd = "PLOTVUE_HOME=/nonexistent-plotvue-home " + std::string(PLOTVUE_EXE) + " " +
                    args + (mergeErr ? " 2>&1" : " 2>/dev/null") + " </dev/null";
  Result r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf{};
  while (std::size_t n = fread(buf.data(), 1, buf.size(), p)) r.out.append(buf.data(), n);
  int status = pclose(p);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string TempDir() {
  char dir[] = "/tmp/plotvue-cli-XXXXXX";
  return mkdtemp(dir) ? dir : "/tmp";
}

TEST(CommandLine, InfoPrintsTheFieldsOfTheDialog) {
  std::string dir = TempDir();
  std::string path = dir + "/A.PLT";
  std::ofstream(path) << "IN;SP1;PU400,400;PD800,400;LBab\x03";
  Result r = RunPlotvue(path + " /I");
  EXPECT_EQ(r.exitCode, 0);
  // The date line depends on the file's time; the rest is exact.
  std::string expectedHead = "File name: " + path + "\nFile size: 32 Bytes\nDate: ";
  ASSERT_EQ(r.out.substr(0, expectedHead.size()), expectedHead);
  std::string tail = r.out.substr(r.out.find('\n', expectedHead.size()) + 1);
  EXPECT_EQ(tail, "x/y min.: 10 / 10\nx/y max.: 25 / 12.5\nDrawing elements: 1\nText: 1\n");
  // Lower case and "-" work too; the extension may be left out.
  EXPECT_EQ(RunPlotvue(dir + "/A.PLT -i").exitCode, 0);
  std::ofstream(dir + "/B.plt") << "PD40,40;";
  Result b = RunPlotvue(dir + "/B /i");
  EXPECT_EQ(b.exitCode, 0);
  EXPECT_NE(b.out.find("File name: " + dir + "/B.plt\n"), std::string::npos) << b.out;
  std::remove(path.c_str());
  std::remove((dir + "/B.plt").c_str());
  std::ofstream(dir + "/empty.plt");
  Result e = RunPlotvue(dir + "/empty.plt /I");
  EXPECT_EQ(e.exitCode, 0);
  EXPECT_NE(e.out.find("x/y min.:  0 / 0\n"), std::string::npos) << e.out;
  std::remove((dir + "/empty.plt").c_str());
}

TEST(CommandLine, UnreadableFileGivesTheMessagesAndExitCode1) {
  Result r = RunPlotvue("/nonexistent/C.plt /I", true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out,
            "Erreur : fichier /nonexistent/C.plt introuvable ou accès impossible !\n"
            "Erreur : pas de fichier ouvert\n");
  EXPECT_EQ(RunPlotvue("/tmp /I").exitCode, 1);
}

// A run reads its plot file more than once, so only regular files are taken: a FIFO (here with
// no writer, which must not hang the open), an endless device and a directory are refused.
TEST(CommandLine, PlotFileThatIsNoRegularFileIsRefused) {
  std::string dir = TempDir();
  ASSERT_EQ(mkfifo((dir + "/F.plt").c_str(), 0600), 0);
  for (const std::string& path : {dir + "/F.plt", std::string("/dev/zero"), dir}) {
    Result r = RunPlotvue("'" + path + "' /I", true);
    EXPECT_EQ(r.exitCode, 1) << path;
    EXPECT_EQ(r.out, "Erreur : fichier " + path +
                         " introuvable ou accès impossible !\nErreur : pas de fichier ouvert\n");
  }
  std::system(("rm -rf '" + dir + "'").c_str());
}

TEST(CommandLine, ReadErrorPartWayGivesExitCode1) {
  // The kernel lets /proc/self/mem be opened but fails its first read.
  if (!std::ifstream("/proc/self/mem").is_open()) GTEST_SKIP() << "no /proc/self/mem";
  const std::string message = "Erreur : Erreur de lecture du fichier /proc/self/mem !\n";
  Result info = RunPlotvue("/proc/self/mem /I", true);
  EXPECT_EQ(info.exitCode, 1);
  EXPECT_NE(info.out.find(message), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Drawing elements: 0\n"), std::string::npos) << info.out;
  Result cad = RunPlotvue("/proc/self/mem /CAD", true);
  EXPECT_EQ(cad.exitCode, 1);
  EXPECT_EQ(cad.out, message);
}

TEST(CommandLine, BundledSampleScans) {
  Result r = RunPlotvue(std::string(PLOTVUE_DATA_DIR) + "/samples/sample.plt /I");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("Drawing elements: "), std::string::npos);
}

// --- Batch runs ------------------------------------------------------------------------------

struct Run2 {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs `shell` (a command line in which $PLOTVUE stands for the program) with a settings
// directory that does not exist, so no user settings are read; stdout and stderr apart.
Run2 RunShell(const std::string& shell, const std::string& dir) {
  std::string errFile = dir + "/.stderr";
  std::string cmd = "PLOTVUE_HOME='" + dir + "/.no-home' PLOTVUE='" + std::string(PLOTVUE_EXE) +
                    "'; export PLOTVUE_HOME PLOTVUE; { " + shell + " ; } 2>'" + errFile +
                    "' </dev/null";
  Run2 r;
  int status = 0;
  r.out = plotvue::testing::RunCommand(cmd, status);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(errFile, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  r.err = ss.str();
  std::remove(errFile.c_str());
  return r;
}

const char* const kUsage =
    "ordre:  plotvue fichier DXF [/Cxxx] [/Mx] [/Xx] [/Yx] [/Dx] [/Bx] [/Fx]\n"
    "        /Cxxx  code cible (HPL, PLT, ART, PS, PL2)\n"
    "        /Mx    échelle 0.01 .. 100, /M* plein écran\n"
    "        /Xx    shift of the zero point x [mm]\n"
    "        /Yx    shift of the zero point y [mm]\n"
    "        /Q     annuler le placement automatique à (0/0)\n"
    "        /Dx    1 serial, 2 parallel, 3 file\n"
    "        /Fx    nom du fichier cible sans extension\n"
    "        /Bx    facteur de largeur du texte\n"
    "        /Gx    plus or minus degrees\n"
    "        /Tx    text style for Postscript printing\n"
    "        /Vn=m  line width (laser printer) or pen number (plotter)\n"
    "        /Tx    profondeur de fraisage [mm], /Ax distance de l'outil à la surface [mm]\n"
    "        /Lx    CNC mode (1 DIN 66025, 2 SM, 3 Deckel, 4 drill)\n"
    "        /G     printout to the default printer\n"
    "exemp.: plotvue A*.DXF /CHPL /M0.5 /D2 /V1=1 /V2=1 /V3=1\n"
    "        traite tous les fichiers DXF dont le nom commence par A\n";

TEST(BatchCommandLine, UsageText) {
  std::string dir = TempDir();
  std::ofstream(dir + "/x.plt") << "IN;";
  for (const char* form : {"'?'", "'/?'", "'-?'", "x.plt /M2 '/?' /CXYZ"}) {
    Run2 r = RunShell("cd '" + dir + "' && \"$PLOTVUE\" " + form, dir);
    EXPECT_EQ(r.exitCode, 0) << form;
    EXPECT_EQ(r.out, kUsage) << form;
    EXPECT_EQ(r.err, "") << form;
  }
}

TEST(BatchCommandLine, MessagesAndExitCodes) {
  std::string dir = TempDir();
  std::ofstream(dir + "/A1.plt") << "IN;SP1;PD400,0;";
  std::ofstream(dir + "/A2.plt") << "IN;SP2;PD0,400;";
  struct Case {
    std::string shell;
    int exitCode;
    std::string err;
  };
  const Case cases[] = {
      {"cd '" + dir + "' && \"$PLOTVUE\" 'B*' /CPS", 1, "Erreur : B*.plt : pas de fichiers !\n"},
      {"cd '" + dir + "' && \"$PLOTVUE\" 'A*' /CXYZ", 1, "Erreur : /CXYZ : invalid option !\n"},
      {"cd '" + dir + "' && \"$PLOTVUE\" 'A*' /Q", 1, "Erreur : /Q : invalid option !\n"},
      {"cd '" + dir + "' && \"$PLOTVUE\" 'A*' /E", 1, "Erreur : /E : invalid option !\n"},
      // Only scanning: nothing at all on stdout or stderr (stderr is no terminal here).
      {"cd '" + dir + "' && \"$PLOTVUE\" 'A*' -h /R /M0.5 -V*=3 /D7", 0, ""},
      {"cd '" + dir + "' && \"$PLOTVUE\" 'A*' -cxyz", 1, "Erreur : -cxyz : invalid option !\n"},
      {"\"$PLOTVUE\" '" + dir + "/A1.plt' /CAD", 0, ""},
      {"\"$PLOTVUE\" '" + dir + "/A9.plt' /CAD", 1,
       "Erreur : fichier " + dir +
           "/A9.plt introuvable ou accès impossible !\n"
           "Erreur : pas de fichier ouvert\n"},
      {"cd '" + dir + "' && \"$PLOTVUE\" A1 /G", 1,
       "Erreur : A1 : indiquer le nom du fichier avec son extension !\n"},
  };
  for (const Case& c : cases) {
    Run2 r = RunShell(c.shell, dir);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.shell;
    EXPECT_EQ(r.err, c.err) << c.shell;
  }
  std::remove((dir + "/A1.plt").c_str());
  std::remove((dir + "/A2.plt").c_str());
}

// The single-file forms end before the stroke font is loaded; the batch run and the usage
// text come after it, so a broken font stops them.
TEST(BatchCommandLine, SingleFileFormsNeedNoStrokeFont) {
  std::string dir = TempDir();
  std::system(("mkdir -p '" + dir + "/home'").c_str());
  plotvue::Settings settings;
  settings.ShpLoad = 'J';
  std::ofstream(dir + "/home/PLOTVUE.cfg", std::ios::binary) << plotvue::ConfigFileText(settings);
  // Found first, in the current directory, and not a font.
  std::ofstream(dir + "/TXT.SHP") << "no font\r\n";
  std::ofstream(dir + "/A1.plt") << "IN;SP1;PD400,0;";
  const std::string run = "cd '" + dir + "' && PLOTVUE_HOME='" + dir + "/home' \"$PLOTVUE\" ";
  struct Case {
    std::string args;
    int exitCode;
    bool fontRead;  // the font's message shows that start-up went on to load it
  };
  const Case cases[] = {
      {"A1.plt /I", 0, false}, {"A1 /CAD", 0, false}, {"A9.plt /cadx", 1, false},
      {"A1 /G", 1, false},     {"'A*' /H", 1, true},  {"'?'", 1, true},
  };
  for (const Case& c : cases) {
    Run2 r = RunShell(run + c.args, dir);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args << "\n" << r.err;
    EXPECT_EQ(r.err.find("Invalid SHP Char") != std::string::npos, c.fontRead) << c.args << "\n"
                                                                               << r.err;
  }
  Run2 info = RunShell(run + "A1.plt /I", dir);
  EXPECT_NE(info.out.find("Drawing elements: 1\n"), std::string::npos) << info.out;
  std::system(("rm -rf '" + dir + "'").c_str());
}

// Every file under `root`, as paths relative to it, sorted.
std::vector<std::string> FilesUnder(const std::string& root) {
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (!e.is_directory()) files.push_back(std::filesystem::relative(e.path(), root).string());
  std::sort(files.begin(), files.end());
  return files;
}

// The HP-GL output takes the /F name as it is given: a name with "..", an absolute path, blanks or
// non-ASCII letters is written exactly there and nowhere else; a name longer than the file
// system takes, or in a directory that does not exist, is refused with a message and writes
// nothing; the source is never the target.
TEST(BatchCommandLine, OutputNamesAreTakenAsGivenOrRefused) {
  const std::string root = TempDir();
  const std::string dir = root + "/work";
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "/s.plt") << "IN;SP1;PD400,0;";
  struct Case {
    std::string name;
    std::string written;  // relative to root; empty when refused
  };
  const Case cases[] = {
      {"../up", "up.plt"},
      {root + "/abs", "abs.plt"},
      {"with blanks", "work/with blanks.plt"},
      {"na\xc3\xafve-\xc3\xa9", "work/na\xc3\xafve-\xc3\xa9.plt"},
      {std::string(300, 'x'), ""},
      {"missing/../../x", ""},
      {"s", ""},
  };
  for (const Case& c : cases) {
    Run2 r = RunShell("cd '" + dir + "' && \"$PLOTVUE\" s.plt /CPLT '/F" + c.name + "'", root);
    std::vector<std::string> expected = {"work/s.plt"};
    if (!c.written.empty()) expected.push_back(c.written);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesUnder(root), expected) << c.name;
    EXPECT_EQ(r.exitCode, c.written.empty() ? 1 : 0) << c.name << "\n" << r.err;
    if (c.written.empty()) {
      EXPECT_NE(r.err.find("Erreur : "), std::string::npos) << c.name;
    } else {
      std::filesystem::remove(root + "/" + c.written);
    }
  }
  std::ifstream src(dir + "/s.plt");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(src), {}), "IN;SP1;PD400,0;");
  std::filesystem::remove_all(root);
}

// A settings file that is a directory, or that cannot be read, is passed over as a missing one
// is: the run works with the default settings and leaves the settings file as it was.
TEST(BatchCommandLine, SettingsFileThatCannotBeReadLeavesTheDefaults) {
  const std::string dir = TempDir();
  std::ofstream(dir + "/s.plt") << "IN;SP1;PD400,0;";
  std::filesystem::create_directories(dir + "/home/plotvue.cfg");
  Run2 r = RunShell("cd '" + dir + "' && PLOTVUE_HOME='" + dir + "/home' \"$PLOTVUE\" s.plt /CPS", dir);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(std::filesystem::is_directory(dir + "/home/plotvue.cfg"));
  EXPECT_TRUE(std::filesystem::exists(dir + "/s.ps"));
  std::filesystem::remove(dir + "/s.ps");
  if (::geteuid() != 0) {  // root reads a file whatever its mode
    std::filesystem::remove(dir + "/home/plotvue.cfg");
    std::ofstream(dir + "/home/plotvue.cfg") << "not settings\n";
    ::chmod((dir + "/home/plotvue.cfg").c_str(), 0);
    r = RunShell("cd '" + dir + "' && PLOTVUE_HOME='" + dir + "/home' \"$PLOTVUE\" s.plt /CPS", dir);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(dir + "/s.ps"));
  }
  std::filesystem::remove_all(dir);
}

TEST(BatchCommandLine, ConvertsEveryMatchIntoTheCurrentDirectory) {
  std::string dir = TempDir();
  std::string outDir = TempDir();
  std::ofstream(dir + "/A1.plt") << "IN;SP1;PD400,0;";
  std::ofstream(dir + "/A2.plt") << "IN;SP2;PD0,400;";
  std::ofstream(dir + "/B1.plt") << "IN;SP2;PD0,400;";
  Run2 r = RunShell("cd '" + outDir + "' && \"$PLOTVUE\" '" + dir + "/A*' /Cps", dir);
  if (r.err.find("conversion is not available") != std::string::npos)
    GTEST_SKIP() << "this build has no output drivers";
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  for (const char* name : {"/A1.ps", "/A2.ps"}) {
    std::ifstream ps(outDir + name, std::ios::binary);
    std::string head(16, '\0');
    ps.read(head.data(), 16);
    EXPECT_NE(head.find("%!PostScript"), std::string::npos) << name;
  }
  EXPECT_FALSE(std::ifstream(outDir + "/B1.ps").good());

  // A port whose writes fail: every file fails, and the exit code says so.
  r = RunShell("PLOTVUE_LPT1=/dev/full \"$PLOTVUE\" '" + dir + "/A*' /Cps /D2", dir);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Erreur : "), std::string::npos);
  std::system(("rm -rf '" + dir + "' '" + outDir + "'").c_str());
}

TEST(BatchCommandLine, ProgressOnATerminal) {
  if (!plotvue::testing::HaveProgram("script")) GTEST_SKIP() << "script (util-linux) is missing";
  std::string dir = TempDir();
  std::ofstream(dir + "/A1.plt") << "IN;SP1;PD400,0;";
  std::ofstream(dir + "/A2.plt") << "IN;SP2;PD0,400;";
  // script gives the program a terminal; its output is what the terminal showed.
  Run2 r = RunShell("script -qec \"\\\"$PLOTVUE\\\" '" + dir + "/A*' /H\" /dev/null", dir);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("file 1 of 2: " + dir + "/A"), std::string::npos) << r.out;
  // The line is redrawn at most ten times a second, and cleared at the end.
  EXPECT_EQ(r.out.substr(r.out.size() - 4), "\r\x1b[K") << r.out;
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
