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
using OpenCall = int (*)(const char*, int, mode_t);
int OpenWithMode(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

enum CallIndex { k_readlink, k_open, k_write, k_close };
SyscallEntry calls[] = {
    TAVRIN_SYSCALL_AS("module:readlink", readlink),
    OwnEntry("log:open", &OpenWithMode),
    TAVRIN_SYSCALL_AS("log:write", write),
    TAVRIN_SYSCALL_AS("log:close", close),
};
SyscallGroup group(calls);
}  // namespace

bool ExecutablePath(char* path, std::size_t size) {
  if (path == nullptr || size == 0) return false;
  path[0] = '\0';
  ssize_t length = Call<decltype(&::readlink)>(calls[k_readlink])("/proc/self/exe", path, size);
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
  int fd = Call<OpenCall>(calls[k_open])(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  // One write of the whole line: with O_APPEND the system puts it at the
  // end in one piece, whoever else is appending.
  std::string line(text);
  line += '\n';
  bool written = false;
  for (;;) {
    ssize_t done = Call<decltype(&::write)>(calls[k_write])(fd, line.data(), line.size());
    if (done < 0 && errno == EINTR) continue;
    written = done == static_cast<ssize_t>(line.size());
    break;
  }
  Call<decltype(&::close)>(calls[k_close])(fd);
  return written;
}

}  // namespace tavrin::platform
