// Throughput of the simulation-file operations of the chuck, jaw and work
// models on a large machine file and assembly file, each beside the same
// run's baselines:
//   read    `cat FILE > /dev/null` (files already in the page cache)
//   copy    `cp --reflink=never` of both files, a flush of each (`sync FILE`,
//           timed on its own line) and a rename over the originals
// IsDefine reads the machine file, GetPosZ the assembly file, SetPosZ reads
// and writes both; its flushes (fsync) are timed on their own line too.  The
// aim is each within 1.5 times its baseline.  Every figure is the best of
// five rounds, since the machine's noise only ever adds time.
//
//   tavrin_sim_files_bench [MB per file, default 100]
// The files are made in a fresh folder under $TMPDIR (or /tmp) and removed
// at the end.  Linux only (it runs cat, cp and sync).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/syscalls.h"
#include "tavrin/configuration.h"
#include "tavrin/simulation/chuck_model.h"
#include "tavrin/simulation/jaw_model.h"
#include "tavrin/simulation/work_model.h"

using tavrin::platform::AsSyscall;

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& work) {
  auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The best of `rounds` runs: the machine's noise only ever adds time.
constexpr int kRounds = 5;
double Best(const std::function<void()>& work) {
  double best = Seconds(work);
  for (int i = 1; i < kRounds; ++i) best = std::min(best, Seconds(work));
  return best;
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

// One lathe assembly of 30 lines: a chuck, three jaws and a workpiece, each
// with a part line whose file name has `name_length` characters.
std::string Lathe(const char* side, int index, std::size_t name_length) {
  std::string long_part = "      <part file=\"models/" + std::string(name_length, 'p') + ".stl\" color=\"8421504\"/>\n";
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
// end so that a left model's scan reads the whole file.  Returns its lines.
std::size_t MakeFile(const fs::path& path, std::size_t bytes, std::size_t name_length) {
  std::ofstream out(path, std::ios::binary);
  out << "<?xml version=\"1.0\"?>\n<machine>\n";
  std::string right = Lathe("S12", 0, name_length);
  std::size_t written = 0, lathes = 0;
  for (; written + right.size() < bytes; ++lathes) {
    out << right;
    written += right.size();
  }
  out << Lathe("S11", 1, name_length) << "</machine>\n";
  return (lathes + 1) * 30 + 3;
}

int Run(const std::string& command) { return std::system(command.c_str()); }

void Report(const char* what, double megabytes, double seconds, double baseline_seconds) {
  std::printf("%-28s %8.3f s %9.1f MB/s   %5.2f x baseline\n", what, seconds, megabytes / seconds,
              seconds / baseline_seconds);
}


// Makes the two files with part lines of the given name length, measures
// the baselines and each model against them, and removes the files.
void MeasureShape(const fs::path& root, std::size_t megabytes, std::size_t name_length) {
  fs::path folder = root / "QvApplication" / "Qv Crash Preview";
  fs::create_directories(folder / "Machines");
  std::ofstream(folder / "Orvex.ini") << "[OVX]\r\nfilepath=C:\\QvApplication\\Qv Crash Preview\\Machines\\Big.ovp\r\n";
  fs::path machine = folder / "Machines" / "Big.ovp";
  fs::path assembly = folder / "Machines" / "Big.ovx";
  std::size_t lines = MakeFile(machine, megabytes << 20, name_length);
  MakeFile(assembly, megabytes << 20, name_length);

  const double one_mb = static_cast<double>(fs::file_size(machine)) / (1 << 20);
  const double both_mb = one_mb + static_cast<double>(fs::file_size(assembly)) / (1 << 20);
  const std::string m = "'" + machine.string() + "'", a = "'" + assembly.string() + "'";
  std::printf("\n=== part lines of %zu characters: %.0f MB and %zu lines per file, %.0f bytes a line\n",
              name_length + 49, one_mb, lines, one_mb * (1 << 20) / static_cast<double>(lines));

  // Baselines, with both files in the page cache first.
  Run("cat " + m + " " + a + " > /dev/null");
  double read = Best([&] { Run("cat " + m + " > /dev/null"); });
  // The best round of the copy, with its own flush and replace times.
  double copy = 0.0, sync = 0.0, rename = 0.0, copy_total = 0.0;
  for (int round = 0; round < kRounds; ++round) {
    double c = Seconds([&] {
      Run("cp --reflink=never " + m + " " + m + ".copy && cp --reflink=never " + a + " " + a + ".copy");
    });
    double s = Seconds([&] { Run("sync " + m + ".copy " + a + ".copy"); });
    double r = Seconds([&] { Run("mv " + m + ".copy " + m + " && mv " + a + ".copy " + a); });
    if (round == 0 || c + s + r < copy_total) copy = c, sync = s, rename = r, copy_total = c + s + r;
  }
  std::printf("baselines\n");
  std::printf("%-28s %8.3f s %9.1f MB/s\n", "read (cat)", read, one_mb / read);
  std::printf("%-28s %8.3f s %9.1f MB/s\n", "copy both (cp)", copy, both_mb / copy);
  std::printf("%-28s %8.3f s\n", "  flush both (sync)", sync);
  std::printf("%-28s %8.3f s\n", "  replace both (mv)", rename);
  std::printf("%-28s %8.3f s %9.1f MB/s\n", "copy + flush + replace", copy_total, both_mb / copy_total);

  auto measure = [&](const char* name, auto model) {
    std::printf("%s\n", name);
    bool defined = false;
    double is_define = Best([&] { defined = model.IsDefine(); });
    double z = 0.0;
    double get = Best([&] { z = model.GetPosZ(); });
    // Each round moves the model by 1; the flushes are those of the best round.
    short result = 0;
    double set = 0.0, flushes = 0.0;
    for (int round = 0; round < kRounds; ++round) {
      flush_seconds = 0.0;
      double took = Seconds([&] { result = model.SetPosZ(z + 1.0 + round); });
      if (round == 0 || took < set) set = took, flushes = flush_seconds;
    }
    if (!defined || result != 0) std::printf("  (unexpected: IsDefine %d, SetPosZ %d)\n", defined, result);
    Report("  IsDefine (machine file)", one_mb, is_define, read);
    Report("  GetPosZ (assembly file)", one_mb, get, read);
    std::printf("%-28s %8.1f ns a line beyond the read\n", "", (get - read) * 1e9 / static_cast<double>(lines));
    Report("  SetPosZ (both files)", both_mb, set, copy_total);
    std::printf("%-28s %8.3f s   (copy's flush: %.3f s)\n", "    of which flushes", flushes, sync);
  };
  measure("chuck (left)", CLibChuckModel('L'));
  measure("jaws (left)", CLibJawModel('L'));
  measure("workpiece (left)", CLibWorkModel('L'));

  std::error_code ignored;
  fs::remove_all(root / "QvApplication", ignored);
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t megabytes = argc > 1 ? static_cast<std::size_t>(std::atol(argv[1])) : 100;
  if (megabytes == 0) megabytes = 100;
  const char* tmp = std::getenv("TMPDIR");
  fs::path root = fs::path(tmp != nullptr ? tmp : "/tmp") / ("tavrin-sim-bench-" + std::to_string(getpid()));
  lib_SetDriveFolder('C', root.c_str());
  real_fsync = reinterpret_cast<FsyncCall>(tavrin_set_syscall("fsync", AsSyscall(&TimedFsync)));
  std::printf("two files of %zu MB each in %s\n", megabytes, root.c_str());
  // Lines of 60 to 220 characters (80 on average), then long part lines of
  // 500 characters, the longest that a 512-character line buffer holds whole.
  MeasureShape(root, megabytes, 180);
  MeasureShape(root, megabytes, 458);  // part lines of 507 characters
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return 0;
}
