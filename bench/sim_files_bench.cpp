// Throughput of the simulation-file operations of the chuck, jaw and work
// models on a large machine file and assembly file, each beside the same
// run's baselines:
//   read    `cat FILE > /dev/null` (files already in the page cache)
//   copy    `cp --reflink=never` of both files, a flush of each (`sync FILE`,
//           timed on its own line) and a rename over the originals
// IsDefine reads the machine file, GetPosZ the assembly file, SetPosZ reads
// and writes both; its flushes (fsync) are timed on their own line too.  The
// aim is each within 1.5 times its baseline.
//
//   tavrin_sim_files_bench [MB per file, default 100]
// The files are made in a fresh folder under $TMPDIR (or /tmp) and removed
// at the end.  Linux only (it runs cat, cp and sync).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/syscalls.h"
#include "tavrin/simulation/chuck_model.h"
#include "tavrin/simulation/jaw_model.h"
#include "tavrin/simulation/work_model.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& work) {
  auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Time spent in the library's fsync calls.
double flush_seconds = 0.0;
using FsyncCall = int (*)(int);
FsyncCall real_fsync = nullptr;
int TimedFsync(int fd) {
  int result = 0;
  flush_seconds += Seconds([&] { result = real_fsync(fd); });
  return result;
}

std::string MatrixLine(const char* indent, double z) {
  char line[200];
  std::snprintf(line, sizeof line, "%s<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,%.15g,1</matrix>\n", indent, z);
  return line;
}

// One lathe assembly: a chuck, three jaws and a workpiece, with long part
// lines; about 2.5 KB.
std::string Lathe(const char* side, int index) {
  std::string long_part = "      <part file=\"models/" + std::string(180, 'p') + ".stl\" color=\"8421504\"/>\n";
  std::string text = "  <latheassembly>\n    <name>" + std::string(side) + "</name>\n" + MatrixLine("    ", 0);
  text += "    <fixture>\n      <name>Chuck</name>\n" + MatrixLine("\t\t\t", -120 - index) + long_part +
          "    </fixture>\n";
  for (int jaw = 0; jaw < 3; ++jaw) {
    text += "    <linearassembly>\n      <name>Jaw</name>\n" + MatrixLine("\t\t\t", -95.5) + long_part +
            "    </linearassembly>\n";
  }
  text += "    <stock>\n      <name>Work</name>\n" + MatrixLine("\t\t\t", 130) +
          "      <cylinder diameter=\"80\" length=\"120\"/>\n" + long_part + "    </stock>\n  </latheassembly>\n";
  return text;
}

// A file of about `bytes`: right-spindle assemblies, and one left one at the
// end so that a left model's scan reads the whole file.
void MakeFile(const fs::path& path, std::size_t bytes) {
  std::ofstream out(path, std::ios::binary);
  out << "<?xml version=\"1.0\"?>\n<machine>\n";
  std::string right = Lathe("S12", 0);
  std::size_t written = 0;
  for (int i = 0; written + right.size() < bytes; ++i) {
    out << right;
    written += right.size();
  }
  out << Lathe("S11", 1) << "</machine>\n";
}

int Run(const std::string& command) { return std::system(command.c_str()); }

void Report(const char* what, double megabytes, double seconds, double baseline_seconds) {
  std::printf("%-28s %8.3f s %9.1f MB/s   %5.2f x baseline\n", what, seconds, megabytes / seconds,
              seconds / baseline_seconds);
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t megabytes = argc > 1 ? static_cast<std::size_t>(std::atol(argv[1])) : 100;
  if (megabytes == 0) megabytes = 100;
  const char* tmp = std::getenv("TMPDIR");
  fs::path root = fs::path(tmp != nullptr ? tmp : "/tmp") / ("tavrin-sim-bench-" + std::to_string(getpid()));
  fs::path folder = root / "QvApplication" / "Qv Crash Preview";
  fs::create_directories(folder / "Machines");
  std::ofstream(folder / "Orvex.ini") << "[OVX]\r\nfilepath=C:\\QvApplication\\Qv Crash Preview\\Machines\\Big.ovp\r\n";
  fs::path machine = folder / "Machines" / "Big.ovp";
  fs::path assembly = folder / "Machines" / "Big.ovx";
  std::printf("making two files of %zu MB in %s\n", megabytes, root.c_str());
  MakeFile(machine, megabytes << 20);
  MakeFile(assembly, megabytes << 20);
  setenv("TAVRIN_DRIVE_C", root.c_str(), 1);
  real_fsync = reinterpret_cast<FsyncCall>(tavrin_set_syscall("fsync", reinterpret_cast<tavrin_syscall_ptr>(&TimedFsync)));

  const double one_mb = static_cast<double>(fs::file_size(machine)) / (1 << 20);
  const double both_mb = one_mb + static_cast<double>(fs::file_size(assembly)) / (1 << 20);
  const std::string m = "'" + machine.string() + "'", a = "'" + assembly.string() + "'";

  // Baselines, with both files in the page cache first.
  Run("cat " + m + " " + a + " > /dev/null");
  double read = Seconds([&] { Run("cat " + m + " > /dev/null"); });
  double copy = Seconds([&] { Run("cp --reflink=never " + m + " " + m + ".copy && cp --reflink=never " + a + " " + a + ".copy"); });
  double sync = Seconds([&] { Run("sync " + m + ".copy " + a + ".copy"); });
  double rename = Seconds([&] { Run("mv " + m + ".copy " + m + " && mv " + a + ".copy " + a); });
  std::printf("\nbaselines (%.0f MB per file)\n", one_mb);
  std::printf("%-28s %8.3f s %9.1f MB/s\n", "read (cat)", read, one_mb / read);
  std::printf("%-28s %8.3f s %9.1f MB/s\n", "copy both (cp)", copy, both_mb / copy);
  std::printf("%-28s %8.3f s\n", "  flush both (sync)", sync);
  std::printf("%-28s %8.3f s\n", "  replace both (mv)", rename);
  double copy_total = copy + sync + rename;
  std::printf("%-28s %8.3f s %9.1f MB/s\n", "copy + flush + replace", copy_total, both_mb / copy_total);

  auto measure = [&](const char* name, auto model) {
    std::printf("\n%s\n", name);
    bool defined = false;
    double is_define = Seconds([&] { defined = model.IsDefine(); });
    double z = 0.0;
    double get = Seconds([&] { z = model.GetPosZ(); });
    flush_seconds = 0.0;
    short result = 0;
    double set = Seconds([&] { result = model.SetPosZ(z + 1.0); });
    if (!defined || result != 0) std::printf("  (unexpected: IsDefine %d, SetPosZ %d)\n", defined, result);
    Report("  IsDefine (machine file)", one_mb, is_define, read);
    Report("  GetPosZ (assembly file)", one_mb, get, read);
    Report("  SetPosZ (both files)", both_mb, set, copy_total);
    std::printf("%-28s %8.3f s   (copy's flush: %.3f s)\n", "    of which flushes", flush_seconds, sync);
  };
  measure("chuck (left)", CLibChuckModel('L'));
  measure("jaws (left)", CLibJawModel('L'));
  measure("workpiece (left)", CLibWorkModel('L'));

  std::error_code ignored;
  fs::remove_all(root, ignored);
  return 0;
}
