// Plotting to ports: a pseudo-terminal stands in for a serial plotter and a reader on its other
// side checks every byte that arrives (the laser printer's frame included), reading slowly or
// holding the line with XOFF; /dev/full and a port that is not there check the failures; a
// stalled line ends the job instead of hanging it.
#include "output/spool.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "support/recording.h"

namespace plotvue {
namespace {

using testing::RecordingInteraction;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

const std::string kPlot = std::string(PLOTVUE_CORPUS_DIR) + "/graph-hpgl15-filled.plt";

// Sets an environment variable for the test's lifetime.
struct ScopedEnv {
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { ::unsetenv(name_); }
  const char* name_;
};

// A pseudo-terminal: the slave is the "COM" port the job writes to, the master the plotter.
struct Pty {
  Pty() {
    char name[256];
    EXPECT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    path = name;
  }
  ~Pty() {
    ::close(master);
    ::close(slave);
  }
  // Reads up to `want` bytes from the master, `chunk` at a time with `pause` between reads, and
  // after `xoffAfter` bytes holds the line with XOFF for a while before XON. Gives up when
  // nothing arrives for 10 s (a test that would hang fails instead).
  std::string Read(std::size_t want, std::size_t chunk, std::chrono::microseconds pause,
                   std::size_t xoffAfter = SIZE_MAX) {
    std::string got;
    bool held = false;
    while (got.size() < want) {
      if (!held && got.size() >= xoffAfter) {
        held = true;
        char xoff = 0x13;
        EXPECT_EQ(::write(master, &xoff, 1), 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        char xon = 0x11;
        EXPECT_EQ(::write(master, &xon, 1), 1);
      }
      struct pollfd pfd {master, POLLIN, 0};
      if (::poll(&pfd, 1, 10000) <= 0) break;
      char buffer[4096];
      ssize_t n = ::read(master, buffer, std::min(chunk, sizeof buffer));
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
      std::this_thread::sleep_for(pause);
    }
    return got;
  }
  int master = -1;
  int slave = -1;
  std::string path;
};

struct SpoolFixture : ::testing::Test {
  SpoolFixture() { program.file = CurrentFile::FromPath(kPlot); }
  RecordingInteraction ui;
  Program program{ui};
};

TEST_F(SpoolFixture, SerialLaserJobArrivesWholeWithItsFrameAtASlowReader) {
  Pty pty;
  ScopedEnv com("PLOTVUE_COM2", pty.path);
  const std::string file = ReadAll(kPlot);
  ASSERT_GT(file.size(), 3 * kSpoolBlockSize);  // more than the terminal's buffers hold
  const std::string expected = std::string(kLaserBegin) + file + kLaserEnd;

  std::string got;
  std::thread plotter([&] { got = pty.Read(expected.size(), 97, std::chrono::microseconds(200)); });
  PortOptions options;
  options.flow = SerialFlow::Hardware;
  SpoolResult r = SpoolPlotFile(program, PlotterChoice{2, 6}, options);
  plotter.join();

  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(program.ErrorFlag);
  EXPECT_EQ(r.port, "COM2");
  EXPECT_EQ(r.device, pty.path);
  EXPECT_EQ(r.fileBytes, file.size());
  EXPECT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(SpoolFixture, XoffHoldsTheWriterAndNothingIsLost) {
  Pty pty;
  ScopedEnv com("PLOTVUE_COM1", pty.path);
  const std::string file = ReadAll(kPlot);
  std::string got;
  std::thread plotter([&] {
    got = pty.Read(file.size(), 512, std::chrono::microseconds(0), /*xoffAfter=*/1024);
  });
  PortOptions options;
  options.flow = SerialFlow::XonXoff;
  SpoolResult r = SpoolPlotFile(program, PlotterChoice{1, 5}, options);
  plotter.join();
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(got == file) << got.size() << " of " << file.size() << " bytes";

  // The line settings were applied: raw, the chosen flow control, 9600 baud by default.
  termios tio{};
  ASSERT_EQ(::tcgetattr(pty.slave, &tio), 0);
  EXPECT_NE(tio.c_iflag & IXON, 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B9600));
}

TEST_F(SpoolFixture, APortHeldByXoffEndsTheJobAfterTheStallTime) {
  Pty pty;
  ScopedEnv com("PLOTVUE_COM3", pty.path);
  // The plotter says XOFF before the job starts and never XON.
  termios tio{};
  ASSERT_EQ(::tcgetattr(pty.slave, &tio), 0);
  SetSerialTermios(program.settings, tio, SerialFlow::XonXoff);
  ASSERT_EQ(::tcsetattr(pty.slave, TCSANOW, &tio), 0);
  char xoff = 0x13;
  ASSERT_EQ(::write(pty.master, &xoff, 1), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));

  PortOptions options;
  options.flow = SerialFlow::XonXoff;
  options.stallMs = 200;
  SpoolResult r = SpoolPlotFile(program, PlotterChoice{1, 7}, options);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(program.ErrorFlag);
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0], "COM3 : le périphérique ne répond pas (0.2 s) !");
}

TEST_F(SpoolFixture, PortFailuresGetTheirMessagesAndSendNothing) {
  {
    ScopedEnv lpt("PLOTVUE_LPT1", "/dev/full");
    SpoolResult r = SpoolPlotFile(program, PlotterChoice{2, 1});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(program.ErrorFlag);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], "disquette pleine");
  }
  ui.errors.clear();
  program.ErrorFlag = false;
  {
    ScopedEnv lpt("PLOTVUE_LPT2", "/nonexistent/plotvue-lp");
    SpoolResult r = SpoolPlotFile(program, PlotterChoice{1, 2});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(program.ErrorFlag);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], "fichier LPT2 introuvable ou accès impossible !");
  }
  ui.errors.clear();
  program.ErrorFlag = false;
  {
    // A port that another job holds is busy.
    Pty pty;
    ScopedEnv com("PLOTVUE_COM4", pty.path);
    int other = ::open(pty.path.c_str(), O_WRONLY | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    SpoolResult r = SpoolPlotFile(program, PlotterChoice{1, 8});
    ::close(other);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], "fichier COM4 introuvable ou accès impossible !");
    struct pollfd pfd {pty.master, POLLIN, 0};
    EXPECT_EQ(::poll(&pfd, 1, 0), 0);  // not one byte reached the plotter
  }
  ui.errors.clear();
  program.ErrorFlag = false;
  {
    // An unknown port code, and a plot file that is not there.
    EXPECT_FALSE(SpoolPlotFile(program, PlotterChoice{1, 9}).ok);
    program.file = CurrentFile::FromPath("/nonexistent/a.plt");
    EXPECT_FALSE(SpoolPlotFile(program, PlotterChoice{1, 1}).ok);
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[0], "fichier 9 introuvable ou accès impossible !");
    EXPECT_EQ(ui.errors[1], "fichier /nonexistent/a.plt introuvable ou accès impossible !");
  }
}

// Stops the job when the first block has gone out.
struct StopAfterFirstBlock : ProgressService {
  explicit StopAfterFirstBlock(Program& p) : program(p) {}
  void Progress(std::uint64_t done, std::uint64_t total) override {
    EXPECT_GT(total, done);
    program.StopRequested = true;
  }
  Program& program;
};

TEST_F(SpoolFixture, PortRedirectedToAFileGetsTheBytesAndAStopStillLeavesLaserMode) {
  char dir[] = "/tmp/plotvue-spool-XXXXXX";
  ASSERT_NE(::mkdtemp(dir), nullptr);
  const std::string target = std::string(dir) + "/lpt3";
  ScopedEnv lpt("PLOTVUE_LPT3", target);
  std::ofstream(target) << "old";  // a port is opened, never created
  const std::string file = ReadAll(kPlot);

  EXPECT_TRUE(SpoolPlotFile(program, PlotterChoice{1, 3}).ok);
  EXPECT_TRUE(ReadAll(target) == file);  // a pen plotter: no frame, no added line ends

  StopAfterFirstBlock stop(program);
  program.progress = &stop;
  SpoolResult r = SpoolPlotFile(program, PlotterChoice{2, 3});
  program.progress = nullptr;
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(program.ErrorFlag);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_TRUE(ReadAll(target) ==
              std::string(kLaserBegin) + file.substr(0, kSpoolBlockSize) + kLaserEnd);
  std::system(("rm -rf '" + std::string(dir) + "'").c_str());
}

TEST(PortOptions, EnvironmentChoosesFlowAndStallTime) {
  EXPECT_EQ(PortOptionsFromEnvironment(1).flow, SerialFlow::Hardware);
  EXPECT_EQ(PortOptionsFromEnvironment(1).stallMs, 30000);
  ScopedEnv flow("PLOTVUE_COM2_FLOW", "XonXoff");
  ScopedEnv timeout("PLOTVUE_PORT_TIMEOUT", "5");
  EXPECT_EQ(PortOptionsFromEnvironment(2).flow, SerialFlow::XonXoff);
  EXPECT_EQ(PortOptionsFromEnvironment(1).flow, SerialFlow::Hardware);
  EXPECT_EQ(PortOptionsFromEnvironment(2).stallMs, 5000);
  ScopedEnv bad("PLOTVUE_PORT_TIMEOUT", "-3");
  EXPECT_EQ(PortOptionsFromEnvironment(2).stallMs, 30000);

  termios tio{};
  SetSerialTermios(Settings{}, tio, SerialFlow::Hardware);
  EXPECT_NE(tio.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);
  SetSerialTermios(Settings{}, tio, SerialFlow::None);
  EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u);
}

}  // namespace
}  // namespace plotvue
