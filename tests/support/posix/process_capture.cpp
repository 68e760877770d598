#include "support/process_capture.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>

#include "support/environment.h"
#include "support/scoped_syscalls.h"
#include "support/sim_folder.h"

namespace tavrin::test {

namespace {
pid_t RefuseFork() {
  errno = EAGAIN;
  return -1;
}

// Everything the recorder writes, or what came within `milliseconds`.
std::string ReadReport(int fd, int milliseconds) {
  std::string report;
  pollfd watch{fd, POLLIN, 0};
  while (poll(&watch, 1, milliseconds) > 0) {
    char buffer[512];
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) report.append(buffer, static_cast<std::size_t>(got));
    if (got == 0 || (got < 0 && errno != EAGAIN)) break;
  }
  return report;
}
}  // namespace

CapturedStart CaptureStart(const std::function<void()>& start, bool refuse) {
  CapturedStart captured;
  TemporaryFolder drive;
  std::filesystem::create_directories(drive.path() / kSimFolder);
  std::string fifo = (drive.path() / "report").string();
  if (mkfifo(fifo.c_str(), 0600) != 0) return captured;
  ScopedEnv drive_c("TAVRIN_DRIVE_C", drive.path().string().c_str());
  ScopedEnv program("TAVRIN_SIMULATION", TAVRIN_TEST_RECORDER_PATH);
  ScopedEnv report_to("TAVRIN_TEST_RECORDER_REPORT", fifo.c_str());
  int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // inheritable on purpose
  {
    ScopedSyscalls refusal;
    if (refuse) refusal.Replace({"process:fork", &RefuseFork});
    start();
  }

  int status = 0;
  errno = 0;
  if (waitpid(-1, &status, WNOHANG) != -1 || errno != ECHILD) captured.problems += "a child is left; ";
  std::istringstream report(refuse ? std::string() : ReadReport(reader, 10000));
  close(reader);
  std::string key;
  std::string root = drive.path().string();
  while (report >> key) {
    std::string value;
    std::getline(report >> std::ws, value);
    captured.started = true;
    if (key == "arg") captured.command.push_back(value);
    if (key == "fd") captured.problems += "descriptor " + value + " inherited; ";
    if (key == "ppid" && std::stol(value) == static_cast<long>(getpid())) captured.problems += "our child; ";
    if (key == "cwd" && value.compare(0, root.size(), root) == 0) {
      captured.folder = "C:" + value.substr(root.size()) + "/";
      for (char& c : captured.folder) c = c == '/' ? '\\' : c;
    }
  }
  return captured;
}

std::vector<std::string> ExpectedStartCommand(bool debug) {
  return debug ? std::vector<std::string>{"/debug"} : std::vector<std::string>{};
}

}  // namespace tavrin::test
