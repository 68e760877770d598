#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/file_lock.h"
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
  CALL(lstat, "lstat")             \
  CALL(fchmod, "fchmod")           \
  CALL(fsync, "fsync")             \
  CALL(rename, "rename")           \
  CALL(unlink, "unlink")           \
  CALL(read, "read")               \
  CALL(write, "write")             \
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

// fsync through a descriptor opened for reading flushes the file's data all
// the same: it works on the file, not on the descriptor.
bool FlushNative(const char* native) {
  int fd = Open(native, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool flushed = sys::fsync(fd) == 0;
  Close(fd);
  return flushed;
}

// Copies `from` into a fresh file `to` (created exclusively) and flushes it.
bool CopyNative(const char* from, const char* to, mode_t mode) {
  int in = Open(from, O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  sys::unlink(to);
  int out = sys::open(to, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode & 07777);
  bool ok = out >= 0;
  char block[65536];
  while (ok) {
    ssize_t got = sys::read(in, block, sizeof block);
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    for (ssize_t done = 0; ok && done < got;) {
      ssize_t put = sys::write(out, block + done, static_cast<std::size_t>(got - done));
      ok = put > 0;
      done += put > 0 ? put : 0;
    }
  }
  if (ok) ok = sys::fsync(out) == 0;
  if (out >= 0 && Close(out) != 0) ok = false;
  Close(in);
  if (!ok) sys::unlink(to);
  return ok;
}

// Puts the temporary file in the place of the file that the link `link`
// leads to.  A rename does it on one file system; elsewhere the contents go
// to a copy beside the link's target first.
bool ReplaceLinkTarget(const char* from, const char* link) {
  const std::string target = LinkTarget(link);
  if (target.size() >= kNativePathSize) return false;
  struct stat target_info;
  if (sys::stat(target.c_str(), &target_info) != 0) return false;
  if (sys::rename(from, target.c_str()) == 0) {
    FlushFolderOf(target.c_str());
    return true;
  }
  if (errno != EXDEV) return false;
  const std::string copy = target + ".tavrin-new";
  if (!CopyNative(from, copy.c_str(), target_info.st_mode)) return false;
  if (sys::rename(copy.c_str(), target.c_str()) != 0) {
    sys::unlink(copy.c_str());
    return false;
  }
  sys::unlink(from);
  FlushFolderOf(target.c_str());
  return true;
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
  bool flushed = sys::fsync(fd) == 0;
  Close(fd);
  if (!flushed) return false;

  struct stat link_info;
  if (sys::lstat(to, &link_info) == 0 && S_ISLNK(link_info.st_mode)) return ReplaceLinkTarget(from, to);
  if (sys::rename(from, to) != 0) return false;
  FlushFolderOf(to);
  return true;
}

bool FlushFileToDisk(const char* path) {
  char native[kNativePathSize];
  return ToNativePath(path, native, sizeof native) && FlushNative(native);
}

bool CreateMarkerFile(const char* path) {
  char native[kNativePathSize];
  if (!ToNativePath(path, native, sizeof native)) return false;
  if (sys::unlink(native) != 0 && errno != ENOENT) return false;
  int fd = sys::open(native, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool flushed = sys::fsync(fd) == 0;
  if (Close(fd) != 0) flushed = false;
  if (flushed) FlushFolderOf(native);
  return flushed;
}

bool FileExists(const char* path) {
  char native[kNativePathSize];
  struct stat info;
  return ToNativePath(path, native, sizeof native) && sys::lstat(native, &info) == 0;
}

bool RemoveFile(const char* path) {
  char native[kNativePathSize];
  if (!ToNativePath(path, native, sizeof native)) return false;
  return sys::unlink(native) == 0 || errno == ENOENT;
}

}  // namespace tavrin::platform
