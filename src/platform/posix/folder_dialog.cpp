// The folder dialog on Linux: zenity's directory chooser, run without a
// shell, its answer read from a pipe.
#include "platform/folder_dialog.h"

#include <errno.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/syscalls.h"

extern char** environ;

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)        \
  CALL(access, "folder:access")           \
  CALL(pipe, "folder:pipe")               \
  CALL(posix_spawn, "folder:posix_spawn") \
  CALL(read, "folder:read")               \
  CALL(close, "folder:close")             \
  CALL(waitpid, "folder:waitpid")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

// More output than this is no folder of ours; reading stops there.
constexpr std::size_t kMostOutput = 8192;

bool HasDisplay() {
  std::string value;
  return (GetEnvironmentValue("DISPLAY", &value) && !value.empty()) ||
         (GetEnvironmentValue("WAYLAND_DISPLAY", &value) && !value.empty());
}

// The first executable file named `program` in a folder of PATH.
bool FindOnPath(const char* program, std::string* found) {
  std::string path;
  if (!GetEnvironmentValue("PATH", &path)) return false;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    std::string folder = path.substr(start, end - start);
    if (folder.empty()) folder = ".";
    std::string candidate = folder + "/" + program;
    if (sys::access(candidate.c_str(), X_OK) == 0) {
      *found = candidate;
      return true;
    }
    start = end + 1;
  }
  return false;
}

// Runs the chooser; true with its standard output when it exited with 0.
bool RunChooser(const std::string& program, std::string* output) {
  int fds[2];
  if (sys::pipe(fds) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  char* argv[] = {const_cast<char*>("zenity"), const_cast<char*>("--file-selection"),
                  const_cast<char*>("--directory"), const_cast<char*>("--title=Reference"), nullptr};
  pid_t child = 0;
  int spawned = sys::posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  sys::close(fds[1]);
  if (spawned != 0) {
    sys::close(fds[0]);
    return false;
  }
  char chunk[512];
  for (;;) {
    ssize_t got = sys::read(fds[0], chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    if (output->size() < kMostOutput) output->append(chunk, static_cast<std::size_t>(got));
  }
  sys::close(fds[0]);
  int status = 0;
  while (sys::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool ShowFolderDialog(void* /*owner*/, char* path, std::size_t size) {
  if (path == nullptr || size == 0 || !HasDisplay()) return false;
  std::string program;
  std::string output;
  if (!FindOnPath("zenity", &program) || !RunChooser(program, &output)) return false;
  std::size_t line_end = output.find('\n');
  if (line_end != std::string::npos) output.resize(line_end);
  if (output.empty() || output.size() + 1 > size) return false;
  std::memcpy(path, output.c_str(), output.size() + 1);
  return true;
}

}  // namespace tavrin::platform
