// A SetPosZ killed at any moment never loses a file: each of the two files
// is wholly old or wholly new.  Needs a process to kill, so only where the
// test support can fork (not on Windows).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "support/child_process.h"
#include "support/sim_folder.h"
#include "tavrin/simulation/jaw_model.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;

// A machine of `count` lathe assemblies, alternately left and right, each
// with three jaws; about 1 KB each.
std::string BigMachine(int count, const std::string& eol) {
  std::string text = "<?xml version=\"1.0\"?>" + eol + "<machine>" + eol;
  for (int i = 0; i < count; ++i) {
    text += "  <latheassembly>" + eol + "    <name>" + (i % 2 == 0 ? "S11" : "S12") + "</name>" + eol;
    for (int jaw = 0; jaw < 3; ++jaw) {
      text += "    <linearassembly>" + eol + "      <name>Jaw" + std::to_string(jaw) + "</name>" + eol + "\t\t" +
              Matrix(-95.5 - i) + eol + "      <part file=\"jaw.stl\" color=\"12632256\"/>" + eol +
              "    </linearassembly>" + eol;
    }
    text += "  </latheassembly>" + eol;
  }
  return text + "</machine>" + eol;
}

void MoveLeftJaws(void*) { CLibJawModel('L').SetPosZ(-42.125); }

using RewriteCrashTest = SimFolderTest;

TEST_F(RewriteCrashTest, AKilledRewriteLeavesEachFileWhollyOldOrWhollyNew) {
  if (!ChildProcessesSupported()) GTEST_SKIP() << "no fork on this platform";
  const std::string old_machine = BigMachine(1500, "\r\n");
  const std::string old_assembly = BigMachine(1500, "\n");
  const fs::path temp_ovx = Path(kAssemblyFile).replace_filename("LatheATemp.ovx");
  const fs::path temp_ovp = Path(kMachineFile).replace_filename("LatheATemp.ovp");
  auto restore = [&] {
    SetFiles(old_machine, old_assembly);
    fs::remove(temp_ovx);
    fs::remove(temp_ovp);
  };

  // One whole run gives the new contents and the time a rewrite takes.
  restore();
  auto start = std::chrono::steady_clock::now();
  MoveLeftJaws(nullptr);
  long duration_us = static_cast<long>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
  const std::string new_machine = Read(kMachineFile);
  const std::string new_assembly = Read(kAssemblyFile);
  ASSERT_NE(old_machine, new_machine);
  ASSERT_NE(old_assembly, new_assembly);

  // Kills spread over the rewrite and a little beyond (a child starts slower
  // than a call).  At most 40 of them, each bounded by the rewrite's time.
  constexpr int kKills = 40;
  int killed = 0, mixed = 0;
  for (int i = 0; i < kKills; ++i) {
    restore();
    long delay = 200 + duration_us * 3 / 2 * i / kKills;
    ChildOutcome outcome = RunChildAndKill(&MoveLeftJaws, nullptr, delay);
    ASSERT_NE(ChildOutcome::kNotStarted, outcome);
    if (outcome == ChildOutcome::kKilled) ++killed;
    std::string machine = Read(kMachineFile), assembly = Read(kAssemblyFile);
    EXPECT_TRUE(machine == old_machine || machine == new_machine) << "kill " << i << " after " << delay << " us";
    EXPECT_TRUE(assembly == old_assembly || assembly == new_assembly) << "kill " << i << " after " << delay << " us";
    if (assembly == new_assembly && machine == old_machine) ++mixed;
  }
  EXPECT_GT(killed, 0);
  RecordProperty("killed", killed);
  RecordProperty("assembly_new_machine_old", mixed);

  // After any kill the next SetPosZ completes the move.
  EXPECT_EQ(0, CLibJawModel('L').SetPosZ(-42.125));
  EXPECT_EQ(new_machine, Read(kMachineFile));
  EXPECT_EQ(new_assembly, Read(kAssemblyFile));
}

}  // namespace
}  // namespace tavrin::test
