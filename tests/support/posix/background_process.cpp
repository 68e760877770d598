#include "support/background_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace tavrin::test {

namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<unsigned short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

}  // namespace

bool BackgroundProcess::Start(const std::string& program, const std::vector<std::string>& args,
                              const std::string& log_file, const std::vector<std::string>& environment,
                              int keep_fd) {
  Stop(9);
  exit_code_ = -1;
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    int log = open(log_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (log >= 0) {
      dup2(log, 1);
      dup2(log, 2);
    }
    if (keep_fd >= 0) fcntl(keep_fd, F_SETFD, 0);
    for (const std::string& e : environment) putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  pid_ = child;
  return true;
}

bool BackgroundProcess::Reaped(int wait_options) {
  if (pid_ < 0) return true;
  int status = 0;
  if (waitpid(static_cast<pid_t>(pid_), &status, wait_options) != static_cast<pid_t>(pid_)) return false;
  exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  pid_ = -1;
  return true;
}

bool BackgroundProcess::Running() { return !Reaped(WNOHANG); }

int BackgroundProcess::WaitForExit(std::chrono::milliseconds timeout) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (!Reaped(WNOHANG)) {
    if (std::chrono::steady_clock::now() >= until) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // polling the exit, bounded
  }
  return exit_code_;
}

int BackgroundProcess::Stop(int signal_number, std::chrono::milliseconds timeout) {
  if (pid_ < 0) return exit_code_;
  kill(static_cast<pid_t>(pid_), signal_number);
  int result = WaitForExit(timeout);
  if (result == -1) {
    kill(static_cast<pid_t>(pid_), SIGKILL);
    Reaped(0);
  }
  return result;
}

std::string BackgroundProcess::VisibleArguments() const {
  std::ifstream in("/proc/" + std::to_string(pid_) + "/cmdline", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int FreeLoopbackPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = Loopback(0);
  socklen_t size = sizeof address;
  int port = -1;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

bool WaitUntilAccepting(int port, std::chrono::milliseconds timeout) {
  auto until = std::chrono::steady_clock::now() + timeout;
  do {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(port);
    bool accepted = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    if (accepted) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // polling the port, bounded
  } while (std::chrono::steady_clock::now() < until);
  return false;
}

}  // namespace tavrin::test
