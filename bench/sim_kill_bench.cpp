// The long run of the simulation files' crash test: moves of the workpiece
// and the chuck killed at random times, each followed by a read of the
// models, on files of a few megabytes.  Prints how many kills landed before,
// during and after the move and how many pairs were found whole; any pair
// that is one old and one new file is counted as torn (there must be none).
//
//   tavrin_sim_kill_bench [KILLS]        (default 1000; Linux)
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "tavrin/configuration.h"
#include "tavrin/simulation/chuck_model.h"
#include "tavrin/simulation/work_model.h"

namespace fs = std::filesystem;

namespace {

std::string Matrix(double z) {
  char text[128];
  std::snprintf(text, sizeof text, "<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,%g,1</matrix>", z);
  return text;
}

// 16000 lathe assemblies with a chuck and a workpiece: about 3.7 MB.
std::string Machine(const char* eol, double work_z) {
  std::string text;
  for (int i = 0; i < 16000; ++i) {
    text += std::string("<latheassembly>") + eol + "  <name>" + (i % 2 == 0 ? "S11" : "S12") + "</name>" + eol;
    text += std::string("  <fixture>") + eol + "\t\t" + Matrix(-120.5 - i) + eol + "  </fixture>" + eol;
    text += std::string("  <stock>") + eol + "\t\t" + Matrix(work_z) + eol + "  </stock>" + eol;
    text += std::string("</latheassembly>") + eol;
  }
  return text;
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

}  // namespace

int main(int argc, char** argv) {
  const int kills = argc > 1 ? std::atoi(argv[1]) : 1000;
  const fs::path drive = fs::temp_directory_path() / ("tavrin-kill-bench-" + std::to_string(getpid()));
  const fs::path machines = drive / "Sim";
  fs::create_directories(drive / "QvApplication" / "Qv Crash Preview");
  fs::create_directories(machines);
  Write(drive / "QvApplication" / "Qv Crash Preview" / "Orvex.ini", "[OVX]\nfilepath=C:\\Sim\\M.ovp\n");
  lib_SetDriveFolder('C', drive.c_str());

  const std::string old_machine = Machine("\r\n", 130), old_assembly = Machine("\n", 100);
  int torn = 0, old_pairs = 0, new_pairs = 0;
  double move_ms = 0;
  std::mt19937 random(7);
  for (bool work : {true, false}) {
    auto restore = [&] {
      Write(machines / "M.ovp", old_machine);
      Write(machines / "M.ovx", old_assembly);
      for (const char* name : {"MTemp.ovx", "MTemp.ovp", "MTemp.ovi"}) fs::remove(machines / name);
    };
    auto move = [work] { work ? CLibWorkModel('L').SetPosZ(-42.125) : CLibChuckModel('L').SetPosZ(7.25); };
    restore();
    const auto start = std::chrono::steady_clock::now();
    move();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    move_ms += ms / 2;
    const std::string new_machine = Read(machines / "M.ovp"), new_assembly = Read(machines / "M.ovx");
    std::uniform_int_distribution<long> delay_us(0, static_cast<long>(ms * 1500) + 500);
    for (int i = 0; i < kills / 2; ++i) {
      restore();
      pid_t child = fork();
      if (child == 0) {
        move();
        _exit(0);
      }
      const long us = delay_us(random);
      timespec delay{us / 1000000, (us % 1000000) * 1000};
      while (nanosleep(&delay, &delay) != 0) {
      }
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
      CLibChuckModel('R').IsDefine();  // any call of a model finishes a recorded move
      const std::string machine = Read(machines / "M.ovp"), assembly = Read(machines / "M.ovx");
      if (machine == old_machine && assembly == old_assembly) {
        ++old_pairs;
      } else if (machine == new_machine && assembly == new_assembly) {
        ++new_pairs;
      } else {
        ++torn;
      }
    }
  }
  fs::remove_all(drive);
  std::printf("files: %.1f MB each; one move: %.1f ms\n", old_machine.size() / 1e6, move_ms);
  std::printf("kills: %d; pairs found as before the move: %d, as after it: %d, torn: %d\n", kills / 2 * 2, old_pairs,
              new_pairs, torn);
  return torn == 0 ? 0 : 1;
}
