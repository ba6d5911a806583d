// A conversion into a file that reads the plot file once (scan and convert in one pass) writes
// the same bytes, parts and extents as the scan run followed by the convert run, and fails the
// same ways; so does a conversion that reads the plot file on a second thread.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>

#include "output/driver_harness.h"
#include "output/syntax.h"

namespace plotvue::testing {
namespace {

namespace fs = std::filesystem;

// Every output file of a conversion (all parts) by name, from `folder`; the folder's name, which
// headers hold, as "DIR".
std::map<std::string, std::string> Outputs(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(folder)) {
    std::string bytes = ReadFile(e.path().string());
    for (std::size_t at; (at = bytes.find(folder)) != std::string::npos;)
      bytes.replace(at, folder.size(), "DIR");
    files[e.path().filename().string()] = bytes;
  }
  return files;
}

// The name of the first file that differs between two conversions, or "" when they agree.
std::string FirstDifference(const std::map<std::string, std::string>& a,
                            const std::map<std::string, std::string>& b) {
  for (const auto& [name, bytes] : a) {
    auto other = b.find(name);
    if (other == b.end() || other->second != bytes) return name;
  }
  for (const auto& [name, bytes] : b)
    if (!a.count(name)) return name;
  return "";
}

struct Conversion {
  std::map<std::string, std::string> files;
  Extents extents;
  std::int64_t elements = 0, texts = 0;
  std::vector<std::string> errors;
};

// `input` into `syntax` with parts of `maxElements`, in one pass or in two runs, reading on a
// second thread or not.
Conversion Convert(const std::string& input, int syntax, bool onePass, std::int64_t maxElements,
                   bool readerThread = false) {
  DriverHarness h;
  h.program.ReaderThreadFrom = readerThread ? 0 : UINT64_MAX;
  h.program.settings.MaxFileElements = maxElements;
  h.program.settings.SyntaxCode = static_cast<std::uint16_t>(syntax);
  h.program.file = CurrentFile::FromPath(input);
  Conversion c;
  if (onePass) {
    EXPECT_EQ(RunScanAndConvert(h.program, h.d()), ScanConvertResult::Converted);
    c.extents = h.program.extents;
    c.elements = h.program.ElementCount;
    c.texts = h.program.TextCount;
  } else {
    RunInterpreter(h.program, RunMode::Scan);
    c.extents = h.program.extents;
    c.elements = h.program.ElementCount;
    c.texts = h.program.TextCount;
    RunInterpreter(h.program, RunMode::Convert, {h.driver.get(), nullptr});
  }
  EXPECT_FALSE(h.program.ErrorFlag || h.program.RunFailed) << input << " syntax " << syntax;
  c.files = Outputs(h.folder.path);
  c.errors = h.ui.errors;
  return c;
}

void ExpectSameConversion(const Conversion& a, const Conversion& b, const std::string& what) {
  EXPECT_EQ(FirstDifference(a.files, b.files), "") << what;
  EXPECT_GT(a.files.size(), 0u) << what;
  EXPECT_EQ(a.extents.xmin, b.extents.xmin) << what;
  EXPECT_EQ(a.extents.ymin, b.extents.ymin) << what;
  EXPECT_EQ(a.extents.xmax, b.extents.xmax) << what;
  EXPECT_EQ(a.extents.ymax, b.extents.ymax) << what;
  EXPECT_EQ(a.elements, b.elements) << what;
  EXPECT_EQ(a.texts, b.texts) << what;
  EXPECT_EQ(a.errors, b.errors) << what;
}

TEST(OnePassConversion, WritesWhatTheTwoRunsWriteForEveryCorpusFile) {
  const std::vector<std::string> files = CorpusFiles();
  ASSERT_FALSE(files.empty());
  for (int syntax = 1; syntax <= 12; ++syntax) {
    if (OutputReadsExtents(syntax)) continue;
    for (const std::string& file : files) {
      // Parts of 700 elements: the larger files are split, so part changes are compared too.
      ExpectSameConversion(
          Convert(file, syntax, true, 700), Convert(file, syntax, false, 700),
          fs::path(file).filename().string() + " syntax " + std::to_string(syntax));
    }
  }
}

TEST(ReaderThread, ConversionWritesWhatOneThreadWritesForEveryCorpusFile) {
  const std::vector<std::string> files = CorpusFiles();
  ASSERT_FALSE(files.empty());
  for (int syntax = 1; syntax <= 12; ++syntax) {
    const bool onePass = !OutputReadsExtents(syntax);
    for (const std::string& file : files) {
      ExpectSameConversion(
          Convert(file, syntax, onePass, 700, true), Convert(file, syntax, onePass, 700, false),
          fs::path(file).filename().string() + " syntax " + std::to_string(syntax));
    }
  }
}

// A conversion on two threads whose output fails part way stops the reader (which has read far
// ahead), keeps nothing under the target names and reports what a conversion on one thread
// reports.
TEST(ReaderThread, OutputThatFailsPartWayStopsTheReader) {
  std::string plot = "IN;SP1;PA0,0;";
  for (int k = 0; k < 60000; ++k)
    plot += "PD" + std::to_string(k % 4000) + "," + std::to_string(k) + ";";
  plot += "SP2;PU;LBLABEL\x03;";
  enum class Failure { kFileSize, kPartName };
  for (Failure failure : {Failure::kFileSize, Failure::kPartName}) {
    std::vector<std::string> errors[2];
    std::vector<std::string> names[2];
    for (int threads = 0; threads < 2; ++threads) {
      DriverHarness h;
      h.program.ReaderThreadFrom = threads == 1 ? 0 : UINT64_MAX;
      const std::string input = h.folder.path + "/IN.plt";
      WriteFile(input, plot);
      h.program.file = CurrentFile::FromPath(input);
      h.program.settings.SyntaxCode = 1;
      h.program.settings.MaxFileElements = 700;
      ScanConvertResult result;
      if (failure == Failure::kFileSize) {
        // One output, which outgrows the limit part way.
        h.program.settings.MaxFileElements = 1000000;
        FileSizeLimit limit(64 * 1024);
        result = RunScanAndConvert(h.program, h.d());
      } else {
        // The second part cannot be put in place: a folder holds its name.
        fs::create_directory(h.folder.path + "/OU2.plt");
        result = RunScanAndConvert(h.program, h.d());
      }
      EXPECT_EQ(result, ScanConvertResult::Converted);
      EXPECT_TRUE(h.program.RunFailed) << threads;
      for (std::string e : h.ui.errors) {
        const std::size_t at = e.find(h.folder.path);
        if (at != std::string::npos) e.replace(at, h.folder.path.size(), "DIR");
        errors[threads].push_back(e);
      }
      for (const auto& e : fs::directory_iterator(h.folder.path))
        names[threads].push_back(e.path().filename().string());
      std::sort(names[threads].begin(), names[threads].end());
    }
    EXPECT_EQ(errors[0], errors[1]);
    EXPECT_EQ(names[0], names[1]);
  }
}

TEST(OnePassConversion, FailsAsTheTwoRunsDo) {
  // A plot file that cannot be opened: the scan run's messages, nothing written.
  {
    DriverHarness h;
    h.program.settings.SyntaxCode = 1;
    h.program.file = CurrentFile::FromPath(h.folder.path + "/MISSING.plt");
    EXPECT_EQ(RunScanAndConvert(h.program, h.d()), ScanConvertResult::Unreadable);
    EXPECT_TRUE(h.program.ErrorFlag);
    ASSERT_EQ(h.ui.errors.size(), 2u);
    EXPECT_EQ(h.ui.errors[1], "pas de fichier ouvert");
    EXPECT_TRUE(fs::is_empty(h.folder.path));
  }
  // The output would be the plot file itself: refused, the file unchanged.
  {
    DriverHarness h;
    const std::string input = h.program.settings.PlotFile + ".plt";
    WriteFile(input, "IN;SP1;PA0,0;PD400,400;");
    h.program.settings.SyntaxCode = 1;
    h.program.file = CurrentFile::FromPath(input);
    EXPECT_EQ(RunScanAndConvert(h.program, h.d()), ScanConvertResult::Converted);
    EXPECT_TRUE(h.program.ErrorFlag);
    ASSERT_FALSE(h.ui.errors.empty());
    EXPECT_EQ(h.ui.errors.back(), "filename for source and destination must be different !");
    EXPECT_EQ(ReadFile(input), "IN;SP1;PA0,0;PD400,400;");
  }
  // A target that cannot be created: the convert run's message.
  {
    DriverHarness h;
    const std::string input = h.folder.path + "/IN.plt";
    WriteFile(input, "IN;SP1;PA0,0;PD400,400;");
    h.program.settings.PlotFile = h.folder.path + "/no-such-dir/OUT";
    h.program.settings.SyntaxCode = 10;
    h.program.file = CurrentFile::FromPath(input);
    EXPECT_EQ(RunScanAndConvert(h.program, h.d()), ScanConvertResult::Converted);
    EXPECT_TRUE(h.program.ErrorFlag);
    EXPECT_TRUE(h.program.RunFailed);
    ASSERT_FALSE(h.ui.errors.empty());
    EXPECT_EQ(h.ui.errors.back(), "Invalid filename");
  }
}

// The Pascal and C programs hold the whole drawing's window in their trailers, which a
// conversion in one pass writes when the pass has ended. When a later part cannot be written,
// the parts already ended still get the window of the whole drawing, as after the two runs, and
// no temporary file is left behind.
TEST(OnePassConversion, PartsEndedBeforeAFailureHoldTheWholeDrawing) {
  std::string plot = "IN;SP1;PA0,0;";
  for (int k = 1; k < 3000; ++k)
    plot += "PD" + std::to_string(k * 10) + "," + std::to_string(k * 10) + ";";
  for (int syntax : {6, 8}) {
    for (bool readerThread : {false, true}) {
      Conversion c[2];
      for (int onePass = 0; onePass < 2; ++onePass) {
        DriverHarness h;
        h.program.ReaderThreadFrom = readerThread ? 0 : UINT64_MAX;
        const std::string input = h.folder.path + "/IN.plt";
        WriteFile(input, plot);
        h.program.file = CurrentFile::FromPath(input);
        h.program.settings.SyntaxCode = static_cast<std::uint16_t>(syntax);
        h.program.settings.MaxFileElements = 700;
        fs::create_directory(h.folder.path + "/OU3." + SyntaxOf(syntax).extension);
        if (onePass) {
          EXPECT_EQ(RunScanAndConvert(h.program, h.d()), ScanConvertResult::Converted);
        } else {
          RunInterpreter(h.program, RunMode::Scan);
          RunInterpreter(h.program, RunMode::Convert, {h.driver.get(), nullptr});
        }
        EXPECT_TRUE(h.program.RunFailed);
        c[onePass].files = Outputs(h.folder.path);
        c[onePass].errors = h.ui.errors;
      }
      const std::string what = "syntax " + std::to_string(syntax);
      EXPECT_EQ(FirstDifference(c[0].files, c[1].files), "") << what;
      // OUT, OU1, OU2, the folder OU3 that stops the fourth part, IN.plt.
      ASSERT_EQ(c[1].files.size(), 5u) << what;
      const std::string& first = c[1].files[std::string("OUT.") + SyntaxOf(syntax).extension];
      const std::string window = syntax == 6
                                     ? "T_SetWindow(0,0,0.8,0.9,0,0,749.8,749.8,true,true);"
                                     : "T_SetWindow(0,0,0.8,0.9,0,0,749.8,749.8,TRUE,TRUE);";
      EXPECT_NE(first.find(window), std::string::npos) << what;
      EXPECT_EQ(c[0].errors, c[1].errors) << what;
    }
  }
}

// The point units the reader thread makes ahead belong to one output: a later output of another
// syntax through the same driver does not take them for its own.
TEST(ReaderThread, UnitsMadeAheadDoNotOutliveTheirOutput) {
  const std::string plot = "IN;SP1;PA0,0;PD400,400;";  // ends at 10 mm, 10 mm
  DriverHarness h;
  const std::string input = h.folder.path + "/IN.plt";
  WriteFile(input, plot);
  h.program.file = CurrentFile::FromPath(input);
  h.program.ReaderThreadFrom = 0;
  h.program.settings.SyntaxCode = 10;
  ASSERT_EQ(RunScanAndConvert(h.program, h.d()), ScanConvertResult::Converted);
  h.program.ReaderThreadFrom = UINT64_MAX;
  const std::string cnc = h.ConvertFile(4, input);
  EXPECT_NE(cnc.find("G01 X10.000 Y10.000\r\n"), std::string::npos) << cnc;
}

// Writes larger than the driver's staging buffer, and many small ones across its edges, reach
// the file whole and in order.
TEST(OnePassConversion, LongOutputsReachTheFileWhole) {
  DriverHarness h;
  std::string expected;
  const std::string out = h.Run(1, [&](PlotDriver& d) {
    for (int k = 0; k < 40000; ++k) {
      const std::string line = "PA" + std::to_string(k) + ";";
      d.WriteText(line);
      expected += line;
    }
    const std::string big(3 * TextOut::kStageSize + 17, 'B');
    d.WriteText(big);
    expected += big;
    d.WriteLine("end");
    expected += "end\r\n";
  });
  ASSERT_GT(out.size(), expected.size());
  EXPECT_NE(out.find(expected), std::string::npos);
}

}  // namespace
}  // namespace plotvue::testing
