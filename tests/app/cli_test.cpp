// The plotvue executable's command line without a window: `plotvue FILE /I`.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

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

TEST(CommandLine, BundledSampleScans) {
  Result r = RunPlotvue(std::string(PLOTVUE_DATA_DIR) + "/samples/sample.plt /I");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("Drawing elements: "), std::string::npos);
}

}  // namespace
