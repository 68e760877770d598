#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/file_replace.h"
#include "platform/syscalls.h"
#include "platform/windows_path.h"

namespace tavrin::platform {

namespace {
// open is called with three arguments everywhere, so its type is fixed here.
int OpenWithMode(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

#define TAVRIN_SYSCALLS(CALL, OWN) \
  OWN(open, "open", OpenWithMode)  \
  CALL(stat, "stat")               \
  CALL(fchmod, "fchmod")           \
  CALL(fsync, "fsync")             \
  CALL(rename, "rename")           \
  CALL(close, "close")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

int Open(const char* path, int flags) { return sys::open(path, flags, 0); }
int Close(int fd) { return sys::close(fd); }

// Flushes the folder that holds `path`, so that a rename in it is on the disk.
void FlushFolderOf(const char* path) {
  char folder[kNativePathSize];
  std::size_t length = std::strlen(path);
  if (length >= sizeof folder) return;
  std::memcpy(folder, path, length + 1);
  char* slash = std::strrchr(folder, '/');
  if (slash == nullptr) {
    std::strcpy(folder, ".");
  } else if (slash == folder) {
    folder[1] = '\0';
  } else {
    *slash = '\0';
  }
  int fd = Open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  sys::fsync(fd);
  Close(fd);
}

}  // namespace

bool ReplaceWithTemporary(const char* temporary, const char* target) {
  char from[kNativePathSize];
  char to[kNativePathSize];
  if (!ToNativePath(temporary, from, sizeof from) || !ToNativePath(target, to, sizeof to)) return false;

  int fd = Open(from, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat target_info;
  if (sys::stat(to, &target_info) == 0) {
    sys::fchmod(fd, target_info.st_mode & 07777);
  }
  // fsync through a descriptor opened for reading flushes the file's data
  // all the same: it works on the file, not on the descriptor.
  bool flushed = sys::fsync(fd) == 0;
  Close(fd);
  if (!flushed) return false;

  if (sys::rename(from, to) != 0) return false;
  FlushFolderOf(to);
  return true;
}

}  // namespace tavrin::platform
