#include "support/run_command.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace tavrin::test {

namespace {

// A temporary file that takes one stream of the child.
class CaptureFile {
 public:
  CaptureFile() {
    const char* folder = getenv("TMPDIR");
    path_ = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/tavrin-run-XXXXXX";
    fd_ = mkstemp(path_.data());
  }
  ~CaptureFile() {
    if (fd_ >= 0) {
      close(fd_);
      unlink(path_.c_str());
    }
  }
  CaptureFile(const CaptureFile&) = delete;
  CaptureFile& operator=(const CaptureFile&) = delete;
  int fd() const { return fd_; }
  std::string Contents() const {
    std::string text;
    char block[4096];
    ssize_t got = 0;
    for (off_t at = 0; (got = pread(fd_, block, sizeof block, at)) > 0; at += got) text.append(block, got);
    return text;
  }

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment) {
  CommandResult result;
  CaptureFile out;
  CaptureFile err;
  if (out.fd() < 0 || err.fd() < 0) return result;

  std::vector<std::string> env_text;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text = *entry;
    bool replaced = false;
    for (const std::string& extra : environment) {
      replaced = replaced || text.compare(0, extra.find('=') + 1, extra, 0, extra.find('=') + 1) == 0;
    }
    if (!replaced) env_text.push_back(text);
  }
  env_text.insert(env_text.end(), environment.begin(), environment.end());
  std::vector<char*> envp;
  for (std::string& text : env_text) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::vector<std::string> argv_text{program};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& text : argv_text) argv.push_back(text.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.fd(), 1);
  posix_spawn_file_actions_adddup2(&actions, err.fd(), 2);
  pid_t child = 0;
  int failed = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return result;
  int status = 0;
  pid_t waited = 0;
  while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
  }
  if (waited < 0) return result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = out.Contents();
  result.err = err.Contents();
  return result;
}

}  // namespace tavrin::test
