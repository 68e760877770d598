#include "support/environment.h"
#include "support/fake_windows.h"
#include "support/process_capture.h"
#include "support/sim_folder.h"
#include "support/test_support.h"
#include "support/test_windows.h"

#include <chrono>
#include <future>
#include <thread>

namespace tavrin::test {
namespace {

using SimuSignalTest = CncTest;

std::uint8_t SignalByte() {
  std::uint8_t byte = 0;
  sim::GetPmcByte('D', 9693, &byte);
  return byte;
}

TEST_F(SimuSignalTest, RedrawRequestSetsBit3OfTheByteAsRead) {
  ASSERT_TRUE(sim::SetPmcByte('D', 9693, 0x41));
  CLibSimuModule simu(handle_);
  EXPECT_EQ(0, simu.RequireSimuRedraw());
  EXPECT_EQ(0x49, SignalByte());
  EXPECT_EQ((std::vector<std::string>{"pmc_rdpmcrng", "pmc_wrpmcrng"}), CallNames());

  sim::FailNext(sim::Call::pmc_wrpmcrng, EW_PROT);
  EXPECT_EQ(EW_PROT, simu.RequireSimuRedraw());  // the write's code
  sim::FailNext(sim::Call::pmc_rdpmcrng, EW_DATA);
  sim::ClearJournal();
  EXPECT_EQ(EW_DATA, simu.RequireSimuRedraw());
  EXPECT_EQ((std::vector<std::string>{"pmc_rdpmcrng"}), CallNames());
}

TEST_F(SimuSignalTest, SimulationSoftSignalIsBit6AndKeepsTheOthers) {
  CLibSimuModule simu(handle_);
  ASSERT_TRUE(sim::SetPmcByte('D', 9693, 0xFF));
  simu.SetSimulationSoft(false);
  EXPECT_EQ(0xBF, SignalByte());
  EXPECT_FALSE(simu.GetSimulationSoft());
  ASSERT_TRUE(sim::SetPmcByte('D', 9693, 0x00));
  simu.SetSimulationSoft(true);
  EXPECT_EQ(0x40, SignalByte());
  EXPECT_TRUE(simu.GetSimulationSoft());

  sim::ClearJournal();
  sim::FailNext(sim::Call::pmc_rdpmcrng, EW_DATA);
  simu.SetSimulationSoft(false);
  EXPECT_EQ((std::vector<std::string>{"pmc_rdpmcrng"}), CallNames());
  EXPECT_EQ(0x40, SignalByte());
  sim::FailNext(sim::Call::pmc_rdpmcrng, EW_DATA);
  EXPECT_FALSE(simu.GetSimulationSoft());
}

TEST(SimuStart, StartsTheProgramDetachedInItsFolderOrFailsUnnoticed) {
  for (bool debug : {true, false}) {
    CLibSimuModule simu;
    CapturedStart start = CaptureStart([&] { simu.StartSimulationSoft(debug); }, false);
    ASSERT_TRUE(start.started) << debug;
    EXPECT_EQ(ExpectedStartCommand(debug), start.command);
    EXPECT_EQ("C:\\QvApplication\\Qv Crash Preview\\", start.folder);
    EXPECT_EQ("", start.problems);
    EXPECT_EQ(debug, simu.IsDebugMode());
  }
  // A failed start goes unnoticed but sets the flag.
  CLibSimuModule refused;
  EXPECT_FALSE(CaptureStart([&] { refused.StartSimulationSoft(true); }, true).started);
  EXPECT_TRUE(refused.IsDebugMode());
}

class SimuSettingsTest : public SimFolderTest {
 protected:
  void SetFilePath(const std::string& line) { Write(kSettingsFile, "[OVX]\n" + line + "\n"); }
  CLibSimuModule simu_;
};

TEST_F(SimuSettingsTest, EndClosesTheTitledWindowAndWaitsUntilItIsGone) {
  SetFilePath("filepath=D:\\Jobs\\Lathe1.ovp");
  FakeWindows windows;
  windows.Add("Lathe1.ovp - QV Impact Ward", 3);
  windows.Add("Lathe1.ovp - QV Cell Des", 0);  // a near miss stays
  simu_.EndSimulationSoft(false);
  EXPECT_EQ((std::vector<std::string>{"Lathe1.ovp - QV Impact Ward"}), windows.closes_posted);
  EXPECT_EQ((std::vector<unsigned>{100, 100, 100}), windows.pauses);
  EXPECT_FALSE(windows.Has("Lathe1.ovp - QV Impact Ward"));

  simu_.EndSimulationSoft(true);  // no "... - QV Cell Desk" window
  EXPECT_EQ(1u, windows.closes_posted.size());
  EXPECT_TRUE(windows.Has("Lathe1.ovp - QV Cell Des"));

  windows.Add("Lathe1.ovp - QV Cell Desk", 0);
  simu_.EndSimulationSoft(true);
  EXPECT_EQ("Lathe1.ovp - QV Cell Desk", windows.closes_posted.back());
}

TEST_F(SimuSettingsTest, EndLooksForNoWindowWithoutAUsableName) {
  FakeWindows windows;
  const std::string name(83, 'a');
  for (const std::string& line : {std::string("other=x"), std::string("filepath=D:\\Error\\L.ovp"),
                                   std::string("filepath=Lathe1.ovp"), std::string("filepath=D:\\Jobs\\Lathe1.ovx"),
                                   "filepath=D:\\" + name + ".ovp"}) {
    SetFilePath(line);
    simu_.EndSimulationSoft(true);
    EXPECT_EQ(0, windows.looks) << line;
    EXPECT_TRUE(windows.closes_posted.empty()) << line;
  }
  // A 'p' only before the last backslash: the whole file name is taken.
  SetFilePath("filepath=D:\\pJobs\\Lathe1.ovx");
  windows.Add("Lathe1.ovx - QV Cell Desk", 0);
  simu_.EndSimulationSoft(true);
  EXPECT_EQ((std::vector<std::string>{"Lathe1.ovx - QV Cell Desk"}), windows.closes_posted);
}

// Windows only: real top-level windows of the test's own, each going 200 ms
// after it is asked to close.
TEST_F(SimuSettingsTest, EndWaitsForARealWindowAndLeavesANearMiss) {
  if (!CanMakeTestWindows()) GTEST_SKIP() << "real test windows are made on Windows only";
  const std::string title = "Lathe1.ovp - QV Cell Desk", near_miss = title + "2";
  SetFilePath("filepath=D:\\Jobs\\Lathe1.ovp");
  std::promise<bool> gone_on_return;
  std::future<bool> result = gone_on_return.get_future();
  std::thread end;
  {
    TestWindows windows({title, near_miss});  // destroyed at the block's end, which also frees a stuck call
    ASSERT_TRUE(TestWindows::Exists(title));
    end = std::thread([&] {
      simu_.EndSimulationSoft(true);
      gone_on_return.set_value(!TestWindows::Exists(title));
    });
    const bool returned = result.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    EXPECT_TRUE(returned) << "still waiting after 10 s";
    if (returned) {
      EXPECT_TRUE(result.get()) << "returned before the window was gone";
    }
    EXPECT_TRUE(TestWindows::Exists(near_miss));
  }
  end.join();
}

TEST_F(SimuSettingsTest, SettingFilePathGivesMachineOrAssemblyFile) {
  SetFilePath("filepath=D:\\Jobs\\Lathe1.abc");
  char path[TAVRIN_SIMU_PATH_SIZE];
  ASSERT_TRUE(simu_.GetSimuAplSettingFilePath(path, sizeof path, 0));
  EXPECT_STREQ("D:\\Jobs\\Lathe1.abc", path);
  ASSERT_TRUE(simu_.GetSimuAplSettingFilePath(path, sizeof path, 1));
  EXPECT_STREQ("D:\\Jobs\\Lathe1.ovx", path);
  // The size is only as large as the caller says; 1000 counts as 261.
  char exact[19];  // "D:\\Jobs\\Lathe1.ovx" and its terminator
  EXPECT_TRUE(simu_.GetSimuAplSettingFilePath(exact, sizeof exact, 1));
  EXPECT_FALSE(simu_.GetSimuAplSettingFilePath(exact, sizeof exact - 1, 1));
  const std::string long_value = "D:\\" + std::string(251, 'b') + ".ovp";  // 258 characters
  SetFilePath("filepath=" + long_value);
  std::vector<char> heap(TAVRIN_SIMU_PATH_SIZE);  // a sanitizer sees any write beyond it
  ASSERT_TRUE(simu_.GetSimuAplSettingFilePath(heap.data(), 1000, 0));
  EXPECT_EQ(long_value, heap.data());
}

TEST_F(SimuSettingsTest, SettingFilePathRefusesCleanly) {
  char path[8] = "keep";
  SetFilePath("filepath=D:\\Jobs\\Lathe1.ovp");
  EXPECT_FALSE(simu_.GetSimuAplSettingFilePath(path, 0, 0));
  EXPECT_FALSE(simu_.GetSimuAplSettingFilePath(path, sizeof path, 0));
  EXPECT_FALSE(simu_.GetSimuAplSettingFilePath(nullptr, 100, 0));
  SetFilePath("filepath=D:\\" + std::string(255, 'c') + ".p");  // no room for ".ovx"
  EXPECT_FALSE(simu_.GetSimuAplSettingFilePath(path, sizeof path, 1));
  SetFilePath("filepath=");
  EXPECT_FALSE(simu_.GetSimuAplSettingFilePath(path, sizeof path, 0));
  EXPECT_STREQ("keep", path);
}

}  // namespace
}  // namespace tavrin::test
