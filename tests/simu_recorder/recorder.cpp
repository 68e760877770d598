// The tests' stand-in for the simulation program: reports how it was started
// (its arguments, working folder, parent and the descriptors it inherited
// above standard error) to the FIFO named by TAVRIN_TEST_RECORDER_REPORT, in
// lines "key value", and ends.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  std::string report;
  // The descriptors first, before this program opens any of its own.
  if (DIR* fds = opendir("/proc/self/fd")) {
    while (dirent* entry = readdir(fds)) {
      int fd = std::atoi(entry->d_name);
      if (entry->d_name[0] != '.' && fd > 2 && fd != dirfd(fds)) report += "fd " + std::to_string(fd) + "\n";
    }
    closedir(fds);
  }
  for (int i = 1; i < argc; ++i) report += std::string("arg ") + argv[i] + "\n";
  char folder[4096];
  if (getcwd(folder, sizeof folder) != nullptr) report += std::string("cwd ") + folder + "\n";
  report += "ppid " + std::to_string(getppid()) + "\n";
  const char* target = std::getenv("TAVRIN_TEST_RECORDER_REPORT");
  int out = target != nullptr ? open(target, O_WRONLY) : -1;
  if (out < 0) return 1;
  bool written = write(out, report.data(), report.size()) == static_cast<ssize_t>(report.size());
  close(out);
  return written ? 0 : 1;
}
