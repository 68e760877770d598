#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include "platform/syscalls.h"
#include "platform/text_file.h"
#include "platform/windows_path.h"

namespace tavrin::platform {

namespace {
int OpenWithMode(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

#define TAVRIN_SYSCALLS(CALL, OWN)     \
  CALL(fopen, "fopen")                 \
  OWN(open, "text:open", OpenWithMode) \
  CALL(unlink, "text:unlink")          \
  CALL(fdopen, "fdopen")               \
  CALL(close, "text:close")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

std::FILE* CreateFresh(const char* native) {
  if (sys::unlink(native) != 0 && errno != ENOENT) return nullptr;
  int fd = sys::open(native, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* stream = sys::fdopen(fd, "w");
  if (stream == nullptr) sys::close(fd);
  return stream;
}
}  // namespace

// Text mode and binary mode are the same here; "e" keeps the stream out of
// programs that the application starts.
std::FILE* OpenTextFile(const char* path, TextFileMode mode) {
  char native[kNativePathSize];
  if (!ToNativePath(path, native, sizeof native)) return nullptr;
  if (mode == TextFileMode::kCreateFresh) return CreateFresh(native);
  return sys::fopen(native, mode == TextFileMode::kRead ? "re" : "we");
}

}  // namespace tavrin::platform
