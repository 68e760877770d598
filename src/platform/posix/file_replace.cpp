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
using OpenCall = int (*)(const char*, int, mode_t);
int OpenWithMode(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

SyscallEntry calls[] = {
    OwnEntry("open", &OpenWithMode),
    TAVRIN_SYSCALL(stat),
    TAVRIN_SYSCALL(fchmod),
    TAVRIN_SYSCALL(fsync),
    TAVRIN_SYSCALL(rename),
    TAVRIN_SYSCALL(close)};
SyscallGroup group(calls);

int Open(const char* path, int flags) { return Call<OpenCall>(calls[0])(path, flags, 0); }
int Close(int fd) { return Call<decltype(&::close)>(calls[5])(fd); }

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
  Call<decltype(&::fsync)>(calls[3])(fd);
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
  if (Call<decltype(&::stat)>(calls[1])(to, &target_info) == 0) {
    Call<decltype(&::fchmod)>(calls[2])(fd, target_info.st_mode & 07777);
  }
  // fsync through a descriptor opened for reading flushes the file's data
  // all the same: it works on the file, not on the descriptor.
  bool flushed = Call<decltype(&::fsync)>(calls[3])(fd) == 0;
  Close(fd);
  if (!flushed) return false;

  if (Call<decltype(&::rename)>(calls[4])(from, to) != 0) return false;
  FlushFolderOf(to);
  return true;
}

}  // namespace tavrin::platform
