// CLibSimuModule::EndSimulationSoft against real X windows: each test starts
// its own Xvfb server (on a display number the server picks and reports on a
// pipe) and tavrin-simview windows on it, and stops them all afterwards.
// Linux only; skips when Xvfb is not installed.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tavrin/util/system.h"
#include "support/background_process.h"
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
    const bool started = xvfb_.Start(xvfb, {"-displayfd", std::to_string(ready[1]), "-nolisten", "tcp", "-screen", "0",
                                            "320x240x24"},
                                     (folder_ / "xvfb.log").string(), {}, ready[1]);
    close(ready[1]);
    ASSERT_TRUE(started);
    const std::string number = ReadLine(ready[0], 30s);
    close(ready[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start:\n" << ReadLog(folder_ / "xvfb.log");
    display_ = std::make_unique<ScopedEnv>("DISPLAY", (":" + number).c_str());
  }

  void TearDown() override {
    cell_desk_.Stop(SIGTERM, 2s);
    impact_ward_.Stop(SIGTERM, 2s);
    xvfb_.Stop(SIGTERM, 2s);
    display_.reset();
    drive_c_.reset();
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
  }

  void StartViewer(BackgroundProcess* viewer, const char* log, bool impact_ward) {
    std::vector<std::string> args{"--sim", (folder_ / "no-cnc.toml").string()};
    if (impact_ward) args.push_back("--impact-ward");
    ASSERT_TRUE(viewer->Start(TAVRIN_TEST_SIMVIEW_PATH, args, (folder_ / log).string()));
  }

  // Looks through the library until the window is there (true), or until 30 s
  // have passed or its viewer has ended (false).  The limit is generous for a
  // loaded machine running sanitized programs; a window normally shows within
  // a fraction of a second.
  static bool WaitForWindow(const char* title, BackgroundProcess* viewer) {
    const auto deadline = Clock::now() + 30s;
    while (!lib_IsTopLevelWindowOpen(title)) {
      if (Clock::now() > deadline || !viewer->Running()) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }

  // EndSimulationSoft on a thread of its own, so that a call that does not
  // return fails the test instead of hanging it: the X server is then
  // stopped, after which no window exists and the call ends.
  bool EndWithin(bool cell_desk, std::chrono::milliseconds limit) {
    auto call = std::async(std::launch::async, [cell_desk] { CLibSimuModule().EndSimulationSoft(cell_desk); });
    if (call.wait_for(limit) == std::future_status::ready) return true;
    xvfb_.Stop(SIGTERM, 2s);
    return false;
  }

  fs::path folder_;
  std::unique_ptr<ScopedEnv> drive_c_;
  std::unique_ptr<ScopedEnv> display_;
  BackgroundProcess xvfb_;
  BackgroundProcess cell_desk_;
  BackgroundProcess impact_ward_;
};

TEST_F(SimuWindowTest, EndClosesTheTitledWindowAloneAndWaitsUntilItIsGone) {
  StartViewer(&cell_desk_, "cell-desk.log", false);
  StartViewer(&impact_ward_, "impact-ward.log", true);
  ASSERT_TRUE(WaitForWindow(kCellDesk, &cell_desk_)) << ReadLog(folder_ / "cell-desk.log");
  ASSERT_TRUE(WaitForWindow(kImpactWard, &impact_ward_)) << ReadLog(folder_ / "impact-ward.log");

  ASSERT_TRUE(EndWithin(true, 20s)) << "EndSimulationSoft(true) did not return";
  EXPECT_FALSE(lib_IsTopLevelWindowOpen(kCellDesk));
  EXPECT_EQ(0, cell_desk_.WaitForExit(10s)) << "the viewer did not end on the close request";
  EXPECT_TRUE(lib_IsTopLevelWindowOpen(kImpactWard)) << "the other title was closed too";
  EXPECT_TRUE(impact_ward_.Running());

  ASSERT_TRUE(EndWithin(false, 20s)) << "EndSimulationSoft(false) did not return";
  EXPECT_FALSE(lib_IsTopLevelWindowOpen(kImpactWard));
  EXPECT_EQ(0, impact_ward_.WaitForExit(10s));
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
  EXPECT_FALSE(lib_IsTopLevelWindowOpen("LatheA.ovp - QV Cell Desk"));
}

TEST_F(SimuWindowTest, EndWithoutTheWindowReturnsAtOnce) {
  EXPECT_TRUE(EndWithin(true, 10s));
  EXPECT_TRUE(EndWithin(false, 10s));
}

}  // namespace
}  // namespace tavrin::test
