#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "support/child_process.h"

namespace tavrin::test {

bool ChildProcessesSupported() { return true; }

ChildOutcome RunChildAndKill(void (*body)(void*), void* context, long delay_microseconds) {
  pid_t child = fork();
  if (child < 0) return ChildOutcome::kNotStarted;
  if (child == 0) {
    body(context);
    _exit(0);
  }
  timespec delay{delay_microseconds / 1000000, (delay_microseconds % 1000000) * 1000};
  while (nanosleep(&delay, &delay) != 0) {
  }
  kill(child, SIGKILL);
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  return WIFSIGNALED(status) ? ChildOutcome::kKilled : ChildOutcome::kFinished;
}

long StartChild(bool (*body)(void*), void* context) {
  pid_t child = fork();
  if (child == 0) _exit(body(context) ? 0 : 1);
  return child;
}

bool ChildSucceeded(long child) {
  int status = 0;
  while (waitpid(static_cast<pid_t>(child), &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace tavrin::test
