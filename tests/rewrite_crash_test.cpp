// A SetPosZ killed at any moment never loses a file: each of the two files is
// wholly old or wholly new.  Linux only: it copies the running test program
// (fork) to have a process to kill; Windows has no such copy, so it skips.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "support/child_process.h"
#include "support/sim_folder.h"
#include "tavrin/simulation/jaw_model.h"

namespace tavrin::test {
namespace {

// 1500 lathe assemblies, alternately left and right, with three jaws each: about 1.5 MB.
std::string BigMachine(const std::string& eol) {
  std::string text;
  for (int i = 0; i < 1500; ++i) {
    text += "<latheassembly>" + eol + "  <name>" + (i % 2 == 0 ? "S11" : "S12") + "</name>" + eol;
    for (int jaw = 0; jaw < 3; ++jaw) {
      text += "  <linearassembly>" + eol + "\t\t" + Matrix(-95.5 - i) + eol + "    <part file=\"jaw.stl\"/>" + eol +
              "  </linearassembly>" + eol;
    }
    text += "</latheassembly>" + eol;
  }
  return text;
}

void MoveLeftJaws(void*) { CLibJawModel('L').SetPosZ(-42.125); }

using RewriteCrashTest = SimFolderTest;

TEST_F(RewriteCrashTest, AKilledRewriteLeavesEachFileWhollyOldOrWhollyNew) {
  if (!ChildProcessesSupported()) GTEST_SKIP() << "no fork on this platform";
  const std::string old_machine = BigMachine("\r\n"), old_assembly = BigMachine("\n");
  auto restore = [&] {
    SetFiles(old_machine, old_assembly);
    std::filesystem::remove(Path(kAssemblyFile).replace_filename("LatheATemp.ovx"));
    std::filesystem::remove(Path(kMachineFile).replace_filename("LatheATemp.ovp"));
  };
  // One whole run gives the new contents and the time a rewrite takes.
  restore();
  auto start = std::chrono::steady_clock::now();
  MoveLeftJaws(nullptr);
  const long duration_us = static_cast<long>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
  const std::string new_machine = Read(kMachineFile), new_assembly = Read(kAssemblyFile);
  ASSERT_NE(old_machine, new_machine);
  ASSERT_NE(old_assembly, new_assembly);

  // 40 kills spread over the rewrite and a little beyond (a child starts
  // slower than a call), each bounded by the rewrite's time.
  constexpr int kKills = 40;
  int killed = 0;
  for (int i = 0; i < kKills; ++i) {
    restore();
    const long delay = 200 + duration_us * 3 / 2 * i / kKills;
    ChildOutcome outcome = RunChildAndKill(&MoveLeftJaws, nullptr, delay);
    ASSERT_NE(ChildOutcome::kNotStarted, outcome);
    killed += outcome == ChildOutcome::kKilled ? 1 : 0;
    const std::string machine = Read(kMachineFile), assembly = Read(kAssemblyFile);
    EXPECT_TRUE(machine == old_machine || machine == new_machine) << "killed after " << delay << " us";
    EXPECT_TRUE(assembly == old_assembly || assembly == new_assembly) << "killed after " << delay << " us";
  }
  EXPECT_GT(killed, 0);
  // After any kill the next SetPosZ completes the move.
  EXPECT_EQ(0, CLibJawModel('L').SetPosZ(-42.125));
  EXPECT_EQ(new_machine, Read(kMachineFile));
  EXPECT_EQ(new_assembly, Read(kAssemblyFile));
}

}  // namespace
}  // namespace tavrin::test
