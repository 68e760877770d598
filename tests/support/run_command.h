// Running a program as a child process and collecting what it printed, for
// the end-to-end tests of the command-line tools.  Only where the platform
// can start programs this way (POSIX); the tools' tests are built there only.
#ifndef TAVRIN_TESTS_SUPPORT_RUN_COMMAND_H
#define TAVRIN_TESTS_SUPPORT_RUN_COMMAND_H

#include <string>
#include <vector>

namespace tavrin::test {

struct CommandResult {
  int exit_code = -1;  // -1 when the program could not start or did not exit by itself
  std::string out;     // standard output
  std::string err;     // standard error
};

// Runs `program` with `args`, this process's environment plus `environment`
// (NAME=VALUE entries, which win), and waits for it.
CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment = {});

}  // namespace tavrin::test

#endif
