#include "process_info.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>


namespace tavrin::tools {

std::string ProgramFile() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return {};
  return std::string(path, static_cast<std::size_t>(length));
}

bool SetEnvironment(const char* name, const char* value) {
  if (name == nullptr || name[0] == '\0') return false;
  return (value == nullptr ? unsetenv(name) : setenv(name, value, 1)) == 0;
}

std::string StateFolder() {
  const char* state = getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return state;
  const char* home = getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return std::string(home) + "/.local/state";
}

std::string HostName() {
  char name[256] = "";
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

bool StandardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

bool StartsWindowsProgramsItself() { return false; }

}  // namespace tavrin::tools
