#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/settings.h"
#include "platform/process.h"
#include "platform/syscalls.h"
#include "platform/windows_path.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN) \
  CALL(fork, "process:fork")       \
  CALL(waitpid, "process:waitpid")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

// The full name of `name` in one of the PATH's folders; empty when none holds
// an executable file of that name.
std::string FindOnPath(const char* name) {
  std::string path;
  if (!GetEnvironmentValue("PATH", &path)) return std::string();
  std::size_t begin = 0;
  while (begin <= path.size()) {
    std::size_t end = path.find(':', begin);
    if (end == std::string::npos) end = path.size();
    std::string folder = path.substr(begin, end - begin);
    std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
      return candidate;
    begin = end + 1;
  }
  return std::string();
}

void SplitAtBlanks(const char* text, std::vector<std::string>* words) {
  std::string word;
  for (const char* c = text; c != nullptr && *c != '\0'; ++c) {
    if (*c == ' ' || *c == '\t') {
      if (!word.empty()) words->push_back(word);
      word.clear();
    } else {
      word += *c;
    }
  }
  if (!word.empty()) words->push_back(word);
}

// Closes every descriptor above standard error (only async-signal-safe calls:
// this runs between fork and exec).
void CloseInheritedDescriptors() {
#ifdef SYS_close_range
  if (syscall(SYS_close_range, 3u, ~0u, 0u) == 0) return;
#endif
  long last = sysconf(_SC_OPEN_MAX);
  if (last < 0 || last > 65536) last = 65536;
  for (long fd = 3; fd < last; ++fd) close(static_cast<int>(fd));
}

// Runs in the intermediate child: forks the program and ends.
[[noreturn]] void StartGrandchild(const std::string& executable, char* const* argv, char* const* envp,
                                  const std::string& folder) {
  pid_t grandchild = fork();
  if (grandchild == 0) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    setsid();
    CloseInheritedDescriptors();
    if (chdir(folder.c_str()) == 0) execve(executable.c_str(), argv, envp);
    _exit(127);
  }
  _exit(grandchild < 0 ? 1 : 0);
}
}  // namespace

bool StartDetachedProgram(const ProgramStart& start) {
  std::string substitute;
  bool substituted = start.substitute != nullptr && GetSetting(start.substitute, &substitute) &&
                     !substitute.empty();
  std::vector<std::string> words;
  std::string executable;
  if (substituted) {
    executable = substitute.find('/') == std::string::npos ? FindOnPath(substitute.c_str()) : substitute;
    if (executable.empty()) return false;
    words.push_back(substitute);
  } else {
    executable = FindOnPath("wine");
    if (executable.empty() || start.program == nullptr) return false;
    words.push_back("wine");
    words.push_back(start.program);
  }
  SplitAtBlanks(start.arguments, &words);

  char folder[kNativePathSize];
  if (start.folder == nullptr || !ToNativePath(start.folder, folder, sizeof folder)) return false;

  // Everything the children need is made before fork: after it only
  // async-signal-safe calls are made.
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  std::string folder_name(folder);
  // A stand-in program gets the library's settings (its drive folders) as
  // variables; wine and the real program get the environment as it is.
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) environment.push_back(*entry);
  if (substituted) environment = WithSettings(std::move(environment));
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(&entry[0]);
  envp.push_back(nullptr);

  pid_t child = sys::fork();
  if (child < 0) return false;
  if (child == 0) StartGrandchild(executable, argv.data(), envp.data(), folder_name);
  int status = 0;
  pid_t waited;
  do {
    waited = sys::waitpid(child, &status, 0);
  } while (waited < 0 && errno == EINTR);
  return waited == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace tavrin::platform
