// A SetPosZ killed at any moment, followed by any later call of a model,
// leaves the machine file and the assembly file as before it or as after it:
// never one old and one new, never a part of either, and the workpiece never
// drifts between the two.  Kills come two ways: at every system call of the
// rewrite in turn (the process ends there, as at a crash), and at random
// times while the files of some megabytes are written.  Linux only: it
// copies the running test program (fork) to have a process to kill.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include <sys/types.h>

#include "support/child_process.h"
#include "support/scoped_syscalls.h"
#include "support/sim_folder.h"
#include "tavrin/simulation/chuck_model.h"
#include "tavrin/simulation/work_model.h"

namespace tavrin::test {
namespace {

// 1500 lathe assemblies, alternately left and right, each with a chuck and a
// workpiece: about 1.4 MB.
std::string BigMachine(const std::string& eol, double work_z) {
  std::string text;
  for (int i = 0; i < 1500; ++i) {
    text += "<latheassembly>" + eol + "  <name>" + (i % 2 == 0 ? "S11" : "S12") + "</name>" + eol;
    text += "  <fixture>" + eol + "\t\t" + Matrix(-120.5 - i) + eol + "    <part file=\"chuck.stl\"/>" + eol +
            "  </fixture>" + eol;
    text += "  <stock>" + eol + "\t\t" + Matrix(work_z) + eol + "    <cylinder diameter=\"80\"/>" + eol + "  </stock>" +
            eol;
    text += "</latheassembly>" + eol;
  }
  return text;
}

// The move each child makes: the workpiece keeps its offset between the files.
void MoveLeftWork() { CLibWorkModel('L').SetPosZ(-42.125); }
void MoveLeftChuck() { CLibChuckModel('L').SetPosZ(7.25); }

// Ends the process at the n-th file system call that a rewrite makes, before
// making it, as a crash there would.
long calls_left = 0;
template <typename R, typename... Args>
struct Countdown {
  static R Call(Args... args) {
    if (--calls_left == 0) std::_Exit(3);
    return original(args...);
  }
  static inline R (*original)(Args...) = nullptr;
};
using RenameCountdown = Countdown<int, const char*, const char*>;
using FsyncCountdown = Countdown<int, int>;
using UnlinkCountdown = Countdown<int, const char*>;
using OpenCountdown = Countdown<int, const char*, int, mode_t>;

// Runs `move` with every rewrite call counted down from `calls`; with 0 it
// runs to the end and the result is the number of calls it made.
long RunCountingDown(void (*move)(), long calls) {
  ScopedSyscalls counting;
  counting.Replace({"rename", &RenameCountdown::Call});
  counting.Replace({"fsync", &FsyncCountdown::Call});
  counting.Replace({"unlink", &UnlinkCountdown::Call});
  counting.Replace({"text:unlink", &UnlinkCountdown::Call});
  counting.Replace({"text:open", &OpenCountdown::Call});
  counting.Replace({"open", &OpenCountdown::Call});
  RenameCountdown::original = counting.previous<int (*)(const char*, const char*)>("rename");
  FsyncCountdown::original = counting.previous<int (*)(int)>("fsync");
  UnlinkCountdown::original = counting.previous<int (*)(const char*)>("unlink");
  OpenCountdown::original = counting.previous<int (*)(const char*, int, mode_t)>("open");
  calls_left = calls > 0 ? calls : -1;
  move();
  return -1 - calls_left;
}

class RewriteCrashTest : public SimFolderTest {
 protected:
  void Restore() {
    SetFiles(old_machine_, old_assembly_);
    for (const char* temporary : {"LatheATemp.ovx", "LatheATemp.ovp", "LatheATemp.ovi"}) {
      std::filesystem::remove(Path(kMachineFile).replace_filename(temporary));
    }
  }
  // The pair after the next call of a model: old and old, or new and new.
  void ExpectWholePair(const std::string& after) {
    CLibChuckModel('R').IsDefine();
    const std::string machine = Read(kMachineFile), assembly = Read(kAssemblyFile);
    const bool old_pair = machine == old_machine_ && assembly == old_assembly_;
    const bool new_pair = machine == new_machine_ && assembly == new_assembly_;
    EXPECT_TRUE(old_pair || new_pair) << after;
    old_pairs_ += old_pair ? 1 : 0;
    new_pairs_ += new_pair ? 1 : 0;
  }
  void KillMovesEverywhere(void (*move)()) {
    old_machine_ = BigMachine("\r\n", 130);
    old_assembly_ = BigMachine("\n", 100);
    Restore();
    const auto start = std::chrono::steady_clock::now();
    const long calls = RunCountingDown(move, 0);
    const long duration_us = static_cast<long>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
    new_machine_ = Read(kMachineFile);
    new_assembly_ = Read(kAssemblyFile);
    ASSERT_NE(old_machine_, new_machine_);
    ASSERT_NE(old_assembly_, new_assembly_);
    ASSERT_GT(calls, 4);

    // At each call of the rewrite in turn.
    static void (*current)() = nullptr;
    static long stop_at = 0;
    current = move;
    for (stop_at = 1; stop_at <= calls; ++stop_at) {
      Restore();
      long child = StartChild([](void*) { return RunCountingDown(current, stop_at) >= 0; }, nullptr);
      ASSERT_GE(child, 0);
      ChildSucceeded(child);
      ExpectWholePair("ended at call " + std::to_string(stop_at) + " of " + std::to_string(calls));
    }
    // At random times over the rewrite and a little beyond.
    std::mt19937 random(20261206);
    std::uniform_int_distribution<long> delay(0, duration_us * 3 / 2 + 200);
    for (int i = 0; i < 120; ++i) {
      Restore();
      const long after = delay(random);
      ASSERT_NE(ChildOutcome::kNotStarted, RunChildAndKill([](void*) { current(); }, nullptr, after));
      ExpectWholePair("killed after " + std::to_string(after) + " us");
    }
    EXPECT_GT(old_pairs_, 0);
    EXPECT_GT(new_pairs_, 0);
  }

  std::string old_machine_, old_assembly_, new_machine_, new_assembly_;
  int old_pairs_ = 0, new_pairs_ = 0;
};

TEST_F(RewriteCrashTest, AKilledWorkpieceMoveLeavesThePairWhollyOldOrWhollyNew) {
  if (!ChildProcessesSupported()) GTEST_SKIP() << "no fork on this platform";
  KillMovesEverywhere(&MoveLeftWork);
  // A rerun after the last kill moves it again by the same offset: no drift.
  MoveLeftWork();
  EXPECT_EQ(new_machine_, Read(kMachineFile));
  EXPECT_EQ(new_assembly_, Read(kAssemblyFile));
}

TEST_F(RewriteCrashTest, AKilledChuckMoveLeavesThePairWhollyOldOrWhollyNew) {
  if (!ChildProcessesSupported()) GTEST_SKIP() << "no fork on this platform";
  KillMovesEverywhere(&MoveLeftChuck);
}

}  // namespace
}  // namespace tavrin::test
