// CLibSimuModule::EndSimulationSoft against real X windows: each test starts
// its own Xvfb server (on a display number the server picks and reports on a
// pipe) and tavrin-simview windows on it, and stops them all afterwards.
// Linux only; skips when Xvfb is not installed.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/top_level_window.h"
#include "support/environment.h"
#include "support/run_command.h"
#include "tavrin/simulation/simu_module.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const char kCellDesk[] = "Lathe1.ovp - QV Cell Desk";
const char kImpactWard[] = "Lathe1.ovp - QV Impact Ward";

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    std::string candidate = folder + "/" + program;
    if (!folder.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

std::string ReadLog(const fs::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Starts args[0] with standard output and error into `log`; `keep_fd` (when
// not -1) stays open in it.  -1 when it cannot be started.
pid_t Spawn(const std::vector<std::string>& args, const fs::path& log, int keep_fd = -1) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
  pid_t pid = out < 0 || in < 0 ? -1 : fork();
  if (pid == 0) {
    dup2(in, 0);
    dup2(out, 1);
    dup2(out, 2);
    if (keep_fd >= 0) fcntl(keep_fd, F_SETFD, 0);
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (out >= 0) close(out);
  if (in >= 0) close(in);
  return pid;
}

// Waits up to `timeout` for `*pid` to end; then reaps it (setting *pid to 0)
// and returns its wait status, or returns -1 while it runs.
int Reap(pid_t* pid, std::chrono::milliseconds timeout) {
  if (*pid <= 0) return -1;
  int fd = static_cast<int>(syscall(SYS_pidfd_open, *pid, 0));  // glibc 2.36 declares pidfd_open without C linkage
  if (fd >= 0) {
    pollfd ended{fd, POLLIN, 0};
    poll(&ended, 1, static_cast<int>(timeout.count()));
    close(fd);
  }
  int status = 0;
  if (waitpid(*pid, &status, WNOHANG) != *pid) return -1;
  *pid = 0;
  return status;
}

void Stop(pid_t* pid) {
  if (*pid <= 0) return;
  kill(*pid, SIGTERM);
  if (Reap(pid, 2s) != -1) return;
  kill(*pid, SIGKILL);
  waitpid(*pid, nullptr, 0);
  *pid = 0;
}

// The first line written to `fd` before `timeout`, empty when none came.
std::string ReadLine(int fd, std::chrono::milliseconds timeout) {
  std::string line;
  const auto deadline = Clock::now() + timeout;
  for (char c = 0; line.empty() || line.back() != '\n';) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd readable{fd, POLLIN, 0};
    if (left <= 0 || poll(&readable, 1, static_cast<int>(left)) <= 0 || read(fd, &c, 1) != 1) return {};
    line += c;
  }
  line.pop_back();
  return line;
}

class SimuWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string xvfb = FindOnPath("Xvfb");
    if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
    if (access(TAVRIN_TEST_SIMVIEW_PATH, X_OK) != 0) GTEST_SKIP() << "no viewer at " TAVRIN_TEST_SIMVIEW_PATH;
    folder_ = fs::temp_directory_path() / ("tavrin-xserver-" + std::to_string(getpid()));
    fs::create_directories(folder_ / "QvApplication/Qv Crash Preview");
    std::ofstream(folder_ / "QvApplication/Qv Crash Preview/Orvex.ini") << "[OVX]\nfilepath=D:\\Jobs\\Lathe1.ovp\n";
    drive_c_ = std::make_unique<ScopedEnv>("TAVRIN_DRIVE_C", folder_.c_str());

    int ready[2];
    ASSERT_EQ(0, pipe2(ready, O_CLOEXEC));
    xvfb_ = Spawn({xvfb, "-displayfd", std::to_string(ready[1]), "-nolisten", "tcp", "-screen", "0", "320x240x24"},
                  folder_ / "xvfb.log", ready[1]);
    close(ready[1]);
    const std::string number = ReadLine(ready[0], 30s);
    close(ready[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start:\n" << ReadLog(folder_ / "xvfb.log");
    display_ = std::make_unique<ScopedEnv>("DISPLAY", (":" + number).c_str());
  }

  void TearDown() override {
    Stop(&cell_desk_);
    Stop(&impact_ward_);
    Stop(&xvfb_);
    display_.reset();
    drive_c_.reset();
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
  }

  pid_t StartViewer(const char* log, bool impact_ward) {
    std::vector<std::string> args{TAVRIN_TEST_SIMVIEW_PATH, "--sim", (folder_ / "no-cnc.toml").string()};
    if (impact_ward) args.push_back("--impact-ward");
    return Spawn(args, folder_ / log);
  }

  // Looks through the library until the window is there (true), or until 30 s
  // have passed or its viewer has ended (false).  The limit is generous for a
  // loaded machine running sanitized programs; a window normally shows within
  // a fraction of a second.
  static bool WaitForWindow(const char* title, pid_t* viewer) {
    const auto deadline = Clock::now() + 30s;
    while (!platform::TopLevelWindowExists(title)) {
      if (Clock::now() > deadline || Reap(viewer, 0ms) != -1) return false;
      platform::PauseMilliseconds(20);
    }
    return true;
  }

  // EndSimulationSoft on a thread of its own, so that a call that does not
  // return fails the test instead of hanging it: the X server is then
  // stopped, after which no window exists and the call ends.
  bool EndWithin(bool cell_desk, std::chrono::milliseconds limit) {
    auto call = std::async(std::launch::async, [cell_desk] { CLibSimuModule().EndSimulationSoft(cell_desk); });
    if (call.wait_for(limit) == std::future_status::ready) return true;
    Stop(&xvfb_);
    return false;
  }

  fs::path folder_;
  std::unique_ptr<ScopedEnv> drive_c_;
  std::unique_ptr<ScopedEnv> display_;
  pid_t xvfb_ = 0;
  pid_t cell_desk_ = 0;
  pid_t impact_ward_ = 0;
};

TEST_F(SimuWindowTest, EndClosesTheTitledWindowAloneAndWaitsUntilItIsGone) {
  cell_desk_ = StartViewer("cell-desk.log", false);
  impact_ward_ = StartViewer("impact-ward.log", true);
  ASSERT_TRUE(WaitForWindow(kCellDesk, &cell_desk_)) << ReadLog(folder_ / "cell-desk.log");
  ASSERT_TRUE(WaitForWindow(kImpactWard, &impact_ward_)) << ReadLog(folder_ / "impact-ward.log");

  ASSERT_TRUE(EndWithin(true, 20s)) << "EndSimulationSoft(true) did not return";
  EXPECT_FALSE(platform::TopLevelWindowExists(kCellDesk));
  EXPECT_EQ(0, Reap(&cell_desk_, 10s)) << "the viewer did not end on the close request";
  EXPECT_TRUE(platform::TopLevelWindowExists(kImpactWard)) << "the other title was closed too";
  EXPECT_EQ(-1, Reap(&impact_ward_, 0ms));

  ASSERT_TRUE(EndWithin(false, 20s)) << "EndSimulationSoft(false) did not return";
  EXPECT_FALSE(platform::TopLevelWindowExists(kImpactWard));
  EXPECT_EQ(0, Reap(&impact_ward_, 10s));
}

// The demo's viewer road: the viewer started through the library takes the
// redraw request from the demo's state file and is closed again, and it keeps
// the demo's output to the demo.
TEST_F(SimuWindowTest, DemoShowsTheMovedChuckInTheViewerAndClosesIt) {
  if (std::string(TAVRIN_TEST_COMMAND_PATH).empty()) GTEST_SKIP() << "the tavrin command is not built";
  CommandResult demo = RunCommand(TAVRIN_TEST_COMMAND_PATH, {"demo"});
  EXPECT_EQ(0, demo.exit_code) << demo.out << demo.err;
  EXPECT_NE(std::string::npos, demo.out.find("the viewer redrew: D9693.3 is clear again")) << demo.out;
  EXPECT_NE(std::string::npos, demo.out.find("The viewer's window is closed.")) << demo.out;
  EXPECT_EQ(std::string::npos, demo.out.find("[draw")) << "the viewer printed into the demo's output";
  EXPECT_FALSE(platform::TopLevelWindowExists("LatheA.ovp - QV Cell Desk"));
}

TEST_F(SimuWindowTest, EndWithoutTheWindowReturnsAtOnce) {
  EXPECT_TRUE(EndWithin(true, 10s));
  EXPECT_TRUE(EndWithin(false, 10s));
}

}  // namespace
}  // namespace tavrin::test
