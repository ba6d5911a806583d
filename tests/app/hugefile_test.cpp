// A plot file of more than 3 GB through the batch forms: `plotvue FILE /I` must count every byte
// and element in 64 bits, and a conversion sent to a port must stream it, both in a memory that
// does not grow with the file. The file takes 3.3 GB of scratch space and the runs about a
// minute, so the test runs only when asked:
//
//   PLOTVUE_HUGE_TESTS=1 build/release/tests/app/hugefile_tests
//
// The scratch space is $TMPDIR (default /tmp); the test skips when it has too little room.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// One command of 64 two-element pairs: 128 drawing elements in 514 bytes.
std::string Block() {
  std::string b = "PD";
  for (int i = 0; i < 64; ++i) b += i == 0 ? "1,1,0,0" : ",1,1,0,0";
  return b + ";";
}

constexpr std::uint64_t kBlocks = 6'500'000;
constexpr std::uint64_t kElements = kBlocks * 128;  // 832,000,000
const char kHead[] = "IN;SP1;PU0,0;";
const char kTail[] = "PU;";

struct ChildRun {
  int exitCode = -1;
  long peakKb = 0;  // the child's peak resident set size
};

// Runs PLOTVUE_EXE with `args` in `env` (NAME=VALUE entries added to the environment), stdout
// into `outPath`, and reports its exit code and peak memory.
ChildRun RunPlotvue(const std::vector<std::string>& args, const std::vector<std::string>& env,
                    const std::string& outPath) {
  ChildRun r;
  pid_t pid = ::fork();
  if (pid == 0) {
    for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0) ::_exit(127);
    ::dup2(out, 1);
    std::vector<char*> argv{const_cast<char*>(PLOTVUE_EXE)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(PLOTVUE_EXE, argv.data());
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid > 0 && ::wait4(pid, &status, 0, &usage) == pid) {
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.peakKb = usage.ru_maxrss;
  }
  return r;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(HugeFile, ScansAndConvertsMoreThan3GbInConstantMemory) {
  const char* want = std::getenv("PLOTVUE_HUGE_TESTS");
  if (want == nullptr || std::string(want) != "1")
    GTEST_SKIP() << "set PLOTVUE_HUGE_TESTS=1 to run (3.3 GB of scratch space, about a minute)";
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/plotvue-huge-XXXXXX";
  ASSERT_NE(::mkdtemp(dir.data()), nullptr);
  const std::string block = Block();
  const std::uint64_t size = sizeof kHead - 1 + kBlocks * block.size() + sizeof kTail - 1;
  struct statvfs fs {};
  if (::statvfs(dir.c_str(), &fs) != 0 ||
      static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize < size + (256u << 20)) {
    ::rmdir(dir.c_str());
    GTEST_SKIP() << "less than " << size / 1000000 + 256 << " MB free in " << dir;
  }

  const std::string plot = dir + "/huge.plt";
  {
    std::FILE* f = std::fopen(plot.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::string chunk;
    for (int i = 0; i < 1000; ++i) chunk += block;
    bool ok = std::fputs(kHead, f) >= 0;
    for (std::uint64_t i = 0; ok && i < kBlocks / 1000; ++i)
      ok = std::fwrite(chunk.data(), 1, chunk.size(), f) == chunk.size();
    ok = ok && std::fputs(kTail, f) >= 0;
    ok = std::fclose(f) == 0 && ok;
    ASSERT_TRUE(ok) << "could not write " << plot;
  }
  ASSERT_GT(size, std::uint64_t{1} << 31);

  const std::string home = "PLOTVUE_HOME=" + dir + "/home";
  const std::string info = dir + "/info.txt";
  ChildRun scan = RunPlotvue({plot, "/I"}, {home}, info);
  const std::string text = ReadAll(info);
  EXPECT_EQ(scan.exitCode, 0) << text;
  EXPECT_NE(text.find("File size: " + std::to_string(size) + " Bytes\n"), std::string::npos)
      << text;
  EXPECT_NE(
      text.find("x/y max.: 0.025 / 0.025\nDrawing elements: " + std::to_string(kElements) + "\n"),
      std::string::npos)
      << text;
  EXPECT_LT(scan.peakKb, 64 * 1024) << "scan peak " << scan.peakKb << " KB";

  // The conversion goes to a parallel port that is a FIFO; the test counts the pen moves it
  // receives: one "PA" per drawing element, and the return to the origin at the end.
  const std::string fifo = dir + "/lpt1";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  int in = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(in, 0);
  std::uint64_t moves = 0;
  std::uint64_t received = 0;
  std::atomic<bool> finished = false;
  std::thread reader([in, &moves, &received, &finished] {
    ::fcntl(in, F_SETFL, 0);  // blocking from now on
    static char buf[1 << 16];
    char last = 0;
    for (;;) {
      ssize_t n = ::read(in, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) break;
      if (n == 0) {
        // No writer yet, or the writer closed: wait for one, or end after it closed.
        if (received > 0 || finished) break;
        ::usleep(10000);
        continue;
      }
      for (ssize_t i = 0; i < n; ++i) {
        if (last == 'P' && buf[i] == 'A') ++moves;
        last = buf[i];
      }
      received += static_cast<std::uint64_t>(n);
    }
  });
  const std::string lpt = "PLOTVUE_LPT1=" + fifo;
  ChildRun convert = RunPlotvue({plot, "/CHPL", "/D2"}, {home, lpt}, dir + "/convert.txt");
  finished = true;
  reader.join();
  ::close(in);
  EXPECT_EQ(convert.exitCode, 0) << ReadAll(dir + "/convert.txt");
  EXPECT_EQ(moves, kElements + 1);
  EXPECT_LT(convert.peakKb, 64 * 1024) << "conversion peak " << convert.peakKb << " KB";
  std::printf("scan: %lld KB peak; conversion: %llu bytes sent, %lld KB peak\n",
              static_cast<long long>(scan.peakKb), static_cast<unsigned long long>(received),
              static_cast<long long>(convert.peakKb));
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
