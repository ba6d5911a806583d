// Bad input in every position: the run ends normally or with its message, never with a crash,
// a hang or undefined behaviour (this suite also runs under the sanitizers).
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "input/harness.h"

namespace plotvue::testing {
namespace {

// Runs a plot text in every mode; the run must end with ErrorFlag clear and finite state.
void RunAllModes(const std::string& plot) {
  Harness h;
  h.program.settings.PenFromWidth = true;
  h.program.settings.MaxFileElements = 3;
  for (RunMode mode : {RunMode::Scan, RunMode::Convert, RunMode::Print, RunMode::Screen}) {
    h.Run(mode, plot);
    ASSERT_FALSE(h.program.ErrorFlag);
  }
}

TEST(BadInput, HugeAndInvalidNumbersInEveryParameterPosition) {
  const char* numbers[] = {
      "1e4000", "-1e4000", "nan", "inf", "-inf", "99999999999999999999", "1e-4000",    "0x10",
      "-",      ".",       "1,5", "+-3", "--",   "4294967296",           "-2147483649"};
  const char* commands[] = {"PU", "PD", "PA", "PR", "SP", "PW", "CI", "AA", "AR", "EA", "RA",
                            "SI", "SR", "DI", "CS", "CP", "PS", "IP", "SC", "PM", "XT", "FP"};
  for (const char* cmd : commands) {
    for (const char* n : numbers) {
      std::string v = n;
      for (int pos = 0; pos < 5; ++pos) {
        std::string params;
        for (int k = 0; k < 5; ++k) {
          if (k) params += ',';
          params += k == pos ? v : std::string("7");
        }
        SCOPED_TRACE(std::string(cmd) + params);
        RunAllModes("IN;SP1;PD;PA40,40;" + std::string(cmd) + params + ";PA80,80;LBx\x03");
      }
    }
  }
  // A digit string longer than any kept number text.
  RunAllModes("PD;PA" + std::string(20000, '9') + ",1;CI" + std::string(9000, '1') + ";");
}

TEST(BadInput, ExtremeScalingGivesNoUndefinedBehaviour) {
  RunAllModes(
      "IP0,0,1,1;SC0,1e-4000,0,1e-4000;PD;PA1e4000,1e4000;CI1e4000;AA0,0,1e4000;"
      "PE7<=Oa_Oa_;LBx\x03SI1e4000,1e4000;LBy\x03"
      "CP1e4000,1e4000;");
  RunAllModes("SC-1e4000,1e4000,-1e4000,1e4000;PD;PA1,1;PR1e4000,-1e4000;EA1e4000,1;XT;YT;");
  RunAllModes("SC0,100,0,100;SC5,5,5,5;SC0,0,0,0,1;PD;PA1,1;");
}

TEST(BadInput, TruncatedAndUnterminatedCommands) {
  const char* plots[] = {
      "PD;PA10,", "PD;PA10", "AA10,10", "AA10,10,",   "CI",        "LBno end", "DT",
      "DT;LBab",  "PE7",     "PE:",     "PE>",        "SC0,100,0", "IP1,2,3",  "\x1b.(no semicolon",
      "SP",       "P",       "PM0",     "CS3;LB}}}}", "EA"};
  for (const char* p : plots) {
    SCOPED_TRACE(p);
    RunAllModes(p);
  }
}

TEST(BadInput, BinaryGarbage) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 50; ++round) {
    std::string data(4096, '\0');
    for (char& c : data) c = static_cast<char>(rng() & 0xFF);
    // Mix in command letters so that the garbage reaches the commands' parameter readers.
    for (int k = 0; k < 200; ++k) {
      static const char* kCmds[] = {"PD", "PE", "LB", "SC", "AA", "CI", "PA", "PR", "SI", "DT"};
      std::size_t at = rng() % (data.size() - 2);
      const char* c = kCmds[rng() % 10];
      data[at] = c[0];
      data[at + 1] = c[1];
    }
    RunAllModes(data);
  }
}

TEST(BadInput, LongLabelsAndRunawayEncodedData) {
  RunAllModes("LB" + std::string(100000, 'a'));
  RunAllModes("DT;;LB" + std::string(100000, '}') + ";");
  RunAllModes("PE" + std::string(200000, '\x7e') + "\xbf");
  RunAllModes("PE7:" + std::string(100000, '^') + "_");
}

// A binary file: a PE section full of bytes that are no PE characters. The scan run shows the
// first three messages and then one box with the count of the others, instead of one box per
// byte; the other modes stay silent. The next run shows messages again.
TEST(BadInput, BinaryFileShowsABoundedNumberOfMessages) {
  std::string binary = "PE";
  for (int k = 0; k < 2000; ++k) binary += static_cast<char>(k % 7 + 1);
  Harness h;
  h.Run(RunMode::Scan, binary);
  EXPECT_FALSE(h.program.ErrorFlag);
  ASSERT_EQ(h.ui.errors.size(), 4u);
  EXPECT_EQ(h.ui.errors[0], "Invalid character \"\x01\" in PE-Section (Byte 2)");
  EXPECT_EQ(h.ui.errors[2], "Invalid character \"\x03\" in PE-Section (Byte 4)");
  EXPECT_EQ(h.ui.errors[3], "1997 autres messages non affichés");
  for (RunMode mode : {RunMode::Convert, RunMode::Screen}) h.Run(mode, binary);
  EXPECT_EQ(h.ui.errors.size(), 4u);
  h.ui.errors.clear();
  h.Run(RunMode::Scan, "PE\x01\x02\x03\x04;LB" + std::string(300, 'x') + "\x03");
  EXPECT_EQ(h.ui.errors,
            (std::vector<std::string>{"Invalid character \"\x01\" in PE-Section (Byte 2)",
                                      "Invalid character \"\x02\" in PE-Section (Byte 3)",
                                      "Invalid character \"\x03\" in PE-Section (Byte 4)",
                                      "2 autres messages non affichés"}));
}

}  // namespace
}  // namespace plotvue::testing
