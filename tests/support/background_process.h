// Programs that run beside a test (a broker, a publisher), stopped by the
// test with the signal it chooses, and loopback ports for them.  POSIX only;
// the tests that need it are built there only.
#ifndef TAVRIN_TESTS_SUPPORT_BACKGROUND_PROCESS_H
#define TAVRIN_TESTS_SUPPORT_BACKGROUND_PROCESS_H

#include <chrono>
#include <string>
#include <vector>

namespace tavrin::test {

class BackgroundProcess {
 public:
  BackgroundProcess() = default;
  ~BackgroundProcess() { Stop(); }
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  // Starts `program` with `args`, this environment plus `environment`
  // (NAME=VALUE), standard output and error into `log_file`, and the
  // descriptor `keep_fd` (when not -1) left open in it.  False when it cannot
  // be started.
  bool Start(const std::string& program, const std::vector<std::string>& args, const std::string& log_file,
             const std::vector<std::string>& environment = {}, int keep_fd = -1);
  bool Running();
  // Waits up to `timeout` for the end: the exit code, 128 + signal when
  // killed, -1 while it still runs.
  int WaitForExit(std::chrono::milliseconds timeout);
  // Sends `signal_number` and waits up to `timeout` for the end; returns as
  // WaitForExit, after which a program still running is killed with SIGKILL.
  int Stop(int signal_number = 15, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // The program's arguments as the system shows them to everyone (ps).
  std::string VisibleArguments() const;
  long pid() const { return pid_; }

 private:
  bool Reaped(int wait_options);

  long pid_ = -1;
  int exit_code_ = -1;  // once it has ended
};

// A TCP port on 127.0.0.1 that nothing listens on right now.
int FreeLoopbackPort();
// Tries to connect to 127.0.0.1:port until it works or `timeout` passes.
bool WaitUntilAccepting(int port, std::chrono::milliseconds timeout);

}  // namespace tavrin::test

#endif
