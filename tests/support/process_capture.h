// Watching the simulation program being started, without starting it.
//
// POSIX: the program started is the tests' own recorder (through
// TAVRIN_SIMULATION), in a temporary drive C: that holds the simulation's
// folder; it reports its arguments, working folder, parent and inherited
// descriptors through a FIFO, waited for at most 10 seconds.  Windows:
// CreateProcessA and CloseHandle are replaced; nothing is started.
#ifndef TAVRIN_TESTS_SUPPORT_PROCESS_CAPTURE_H
#define TAVRIN_TESTS_SUPPORT_PROCESS_CAPTURE_H

#include <functional>
#include <string>
#include <vector>

namespace tavrin::test {

struct CapturedStart {
  bool started = false;
  std::vector<std::string> command;  // POSIX: the arguments; Windows: the command line
  std::string folder;                // as a Windows path, with its trailing backslash
  std::string problems;              // what was not as it must be (descriptors, zombies, flags, handles)
};

// Runs start() with the start watched; with refuse, the platform's process
// creation fails instead.
CapturedStart CaptureStart(const std::function<void()>& start, bool refuse);

// What `command` must hold for a normal or a debug start on this platform.
std::vector<std::string> ExpectedStartCommand(bool debug);

}  // namespace tavrin::test

#endif
