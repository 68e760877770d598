// The executable's path from /proc, and log lines appended with O_APPEND.
#include "platform/module_path.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
// open is always called with a mode here, so its type is fixed.
int OpenWithMode(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

#define TAVRIN_SYSCALLS(CALL, OWN)    \
  CALL(readlink, "module:readlink")   \
  OWN(open, "log:open", OpenWithMode) \
  CALL(write, "log:write")            \
  CALL(close, "log:close")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

bool ExecutablePath(char* path, std::size_t size) {
  if (path == nullptr || size == 0) return false;
  path[0] = '\0';
  ssize_t length = sys::readlink("/proc/self/exe", path, size);
  // readlink neither terminates nor tells about a cut: a result that fills
  // the buffer may have been cut.
  if (length <= 0 || static_cast<std::size_t>(length) >= size) {
    path[0] = '\0';
    return false;
  }
  path[length] = '\0';
  return true;
}

bool AppendLine(const char* path, const char* text) {
  if (path == nullptr || text == nullptr) return false;
  int fd = sys::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  // One write of the whole line: with O_APPEND the system puts it at the
  // end in one piece, whoever else is appending.
  std::string line(text);
  line += '\n';
  bool written = false;
  for (;;) {
    ssize_t done = sys::write(fd, line.data(), line.size());
    if (done < 0 && errno == EINTR) continue;
    written = done == static_cast<ssize_t>(line.size());
    break;
  }
  sys::close(fd);
  return written;
}

}  // namespace tavrin::platform
