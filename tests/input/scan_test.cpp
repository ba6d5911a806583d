// Scan runs: extents and counts, the end-of-run widening, and every sample plot file (also read
// by screen and print runs, on one thread and on two).
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "input/harness.h"

namespace plotvue::testing {
namespace {

void ExpectExtents(const Extents& e, double xmin, double ymin, double xmax, double ymax) {
  EXPECT_NEAR(static_cast<double>(e.xmin), xmin, 1e-9);
  EXPECT_NEAR(static_cast<double>(e.ymin), ymin, 1e-9);
  EXPECT_NEAR(static_cast<double>(e.xmax), xmax, 1e-9);
  EXPECT_NEAR(static_cast<double>(e.ymax), ymax, 1e-9);
}

TEST(Scan, ExtentsOfEachElementKind) {
  Harness h;
  // A horizontal line gets a window 1 mm high.
  ExpectExtents(h.Scan("PA0,0;PD;PA100,0;"), 0, 0, 2.5, 1);
  EXPECT_EQ(h.program.ElementCount, 1);
  ExpectExtents(h.Scan("PA200,200;CI40;"), 4, 4, 6, 6);
  // An arc widens the extents by its whole circle.
  ExpectExtents(h.Scan("PA10,0;PD;AA0,0,90;"), -0.25, -0.25, 0.25, 0.25);
  // A label: its cell width times its length, whatever its direction.
  ExpectExtents(h.Scan("LB0123456789\x03"), 0, 0, 25, 2.5);
  ExpectExtents(h.Scan("DI0,1;LB0123456789\x03"), 0, 0, 25, 2.5);
  EXPECT_EQ(h.program.TextCount, 1);
  EXPECT_EQ(h.program.ElementCount, 0);
  // Pen-up moves and CP do not count.
  ExpectExtents(h.Scan("PA4000,4000;CP5,5;PA40,40;PD;PA80,40;"), 1, 1, 2, 2);
}

TEST(Scan, EmptyDrawing) {
  Harness h;
  const Extents& e = h.Scan("IN;SP1;PU100,100;");
  EXPECT_EQ(h.program.ElementCount, 0);
  EXPECT_EQ(h.program.TextCount, 0);
  EXPECT_EQ(e.xmin, 1e32L);
  EXPECT_EQ(e.xmax, -1e32L);
  EXPECT_TRUE(e.Empty());
  h.Scan("");
  EXPECT_TRUE(h.program.extents.Empty());
}

TEST(Scan, OtherRunsKeepTheExtentsAndCountLikeAScan) {
  Harness h;
  h.Scan("PA0,0;PD;PA400,400;LBab\x03");
  h.Screen("PA0,0;PD;PA40,40,80,80;");
  ExpectExtents(h.program.extents, 0, 0, 15, 12.5);
  EXPECT_EQ(h.program.ElementCount, 2);
  EXPECT_EQ(h.program.TextCount, 0);
}

// Every sample plot file written by other programs reads to its end.
TEST(Scan, CorpusFilesReadCleanly) {
  const std::string dir = PLOTVUE_CORPUS_DIR;
  DIR* d = opendir(dir.c_str());
  if (!d) GTEST_SKIP() << "no sample plot files at " << dir;
  std::vector<std::string> names;
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n.size() > 4 && n.substr(n.size() - 4) == ".plt") names.push_back(n);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  ASSERT_FALSE(names.empty());
  for (const std::string& n : names) {
    Harness h;
    h.program.file = CurrentFile::FromPath(dir + "/" + n);
    RunInterpreter(h.program, RunMode::Scan);
    EXPECT_FALSE(h.program.ErrorFlag) << n;
    EXPECT_FALSE(h.program.RunFailed) << n;
    EXPECT_GT(h.program.ElementCount + h.program.TextCount, 0) << n;
    EXPECT_FALSE(h.program.extents.Empty()) << n;
    // Every mode reads the same elements. Screen and print runs draw the same on one thread
    // and with the reading on a second one.
    for (RunMode mode : {RunMode::Screen, RunMode::Print}) {
      std::vector<std::string> logs[2];
      std::int64_t counts[2][2];
      for (int threads = 0; threads < 2; ++threads) {
        h.program.ReaderThreadFrom = threads == 1 ? 0 : UINT64_MAX;
        h.device.log.clear();
        RunInterpreter(h.program, mode, {nullptr, &h.device});
        EXPECT_FALSE(h.program.RunFailed) << n;
        logs[threads] = h.device.log;
        counts[threads][0] = h.program.ElementCount;
        counts[threads][1] = h.program.TextCount;
      }
      EXPECT_EQ(logs[0], logs[1]) << n;
      EXPECT_EQ(counts[0][0], counts[1][0]) << n;
      EXPECT_EQ(counts[0][1], counts[1][1]) << n;
    }
  }
}

// Checked against an independent reading of the files' PU/PD/PA commands (neither is scaled).
TEST(Scan, KnownExtentsOfPlotFilesFromOtherPrograms) {
  struct Case {
    const char* file;
    int elements;
    double xmin, ymin, xmax, ymax;
  } cases[] = {
      {"real-autocad.plt", 1987, 76.15, 63.0, 182.775, 154.475},
      {"hp2xx-hpgl-of-gnuplot-damped.plt", 1447, 0, 0, 142.430804775, 199.999998575},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Harness h;
    h.program.file = CurrentFile::FromPath(std::string(PLOTVUE_CORPUS_DIR) + "/" + c.file);
    RunInterpreter(h.program, RunMode::Scan);
    if (h.program.ErrorFlag) GTEST_SKIP() << "sample file missing";
    EXPECT_EQ(h.program.ElementCount, c.elements);
    ExpectExtents(h.program.extents, c.xmin, c.ymin, c.xmax, c.ymax);
  }
}

}  // namespace
}  // namespace plotvue::testing
