// Running the independent programs that tests feed our output to.
#ifndef PLOTVUE_TESTS_SUPPORT_PROCESS_H_
#define PLOTVUE_TESTS_SUPPORT_PROCESS_H_

#include <string>

namespace plotvue::testing {

// Runs `command` through the shell and returns what it wrote to stdout (redirect stderr in the
// command to see it too). `status` receives the wait status of pclose, or -1 when the command
// could not be started.
std::string RunCommand(const std::string& command, int& status);

// True when `program` is found on PATH.
bool HaveProgram(const std::string& program);

}  // namespace plotvue::testing

#endif  // PLOTVUE_TESTS_SUPPORT_PROCESS_H_
