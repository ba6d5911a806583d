// A conversion into a file that reads the plot file once (scan and convert in one pass) writes
// the same bytes, parts and extents as the scan run followed by the convert run, and fails the
// same ways.
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

// `input` into `syntax` with parts of `maxElements`, in one pass or in two runs.
Conversion Convert(const std::string& input, int syntax, bool onePass, std::int64_t maxElements) {
  DriverHarness h;
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

TEST(OnePassConversion, WritesWhatTheTwoRunsWriteForEveryCorpusFile) {
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(PLOTVUE_CORPUS_DIR))
    if (e.path().extension() == ".plt") files.push_back(e.path().string());
  ASSERT_FALSE(files.empty());
  for (int syntax = 1; syntax <= 12; ++syntax) {
    if (OutputReadsExtents(syntax)) continue;
    for (const std::string& file : files) {
      // Parts of 700 elements: the larger files are split, so part changes are compared too.
      Conversion one = Convert(file, syntax, true, 700);
      Conversion two = Convert(file, syntax, false, 700);
      const std::string what =
          fs::path(file).filename().string() + " syntax " + std::to_string(syntax);
      EXPECT_EQ(FirstDifference(one.files, two.files), "") << what;
      EXPECT_GT(one.files.size(), 0u) << what;
      EXPECT_EQ(one.extents.xmin, two.extents.xmin) << what;
      EXPECT_EQ(one.extents.ymin, two.extents.ymin) << what;
      EXPECT_EQ(one.extents.xmax, two.extents.xmax) << what;
      EXPECT_EQ(one.extents.ymax, two.extents.ymax) << what;
      EXPECT_EQ(one.elements, two.elements) << what;
      EXPECT_EQ(one.texts, two.texts) << what;
      EXPECT_EQ(one.errors, two.errors) << what;
    }
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
