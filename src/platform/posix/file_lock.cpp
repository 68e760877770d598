#include "platform/file_lock.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace tavrin::platform {

namespace {

void SetError(std::string* error, const std::string& what, const std::string& path, int code) {
  if (error != nullptr) *error = what + " " + path + ": " + strerror(code);
}

// Writes all of `size` bytes, going on after short writes and signals.
bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

FileLock::~FileLock() { Release(); }

// flock locks belong to the open file description, so two FileLocks of one
// process on the same file exclude each other just as two processes do.
bool FileLock::Acquire(const std::string& path, std::string* error) {
  Release();
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    SetError(error, "cannot open lock file", path, errno);
    return false;
  }
  int result;
  do {
    result = flock(fd, LOCK_EX);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    int code = errno;
    close(fd);
    SetError(error, "cannot lock", path, code);
    return false;
  }
  handle_ = fd;
  return true;
}

FileLock::Probe FileLock::TryAcquireExisting(const std::string& path) {
  Release();
  int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return Probe::kNoFile;
  int result;
  do {
    result = flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    close(fd);
    return Probe::kBusy;
  }
  handle_ = fd;
  return Probe::kAcquired;
}

void FileLock::Release() {
  if (handle_ == kNoHandle) return;
  int fd = static_cast<int>(handle_);
  flock(fd, LOCK_UN);
  close(fd);
  handle_ = kNoHandle;
}

std::string LinkTarget(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string target = resolved;
  free(resolved);
  return target;
}

bool WriteFileAtomically(const std::string& link_or_path, const std::string& contents, std::string* error) {
  const std::string path = LinkTarget(link_or_path);
  // The temporary name carries the process and a counter, so that writers in
  // several processes and threads never share one.
  static std::atomic<unsigned> counter{0};
  std::string temporary = path + ".tmp." + std::to_string(getpid()) + "." + std::to_string(++counter);
  int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    SetError(error, "cannot create", temporary, errno);
    return false;
  }
  bool written = WriteAll(fd, contents.data(), contents.size()) && fsync(fd) == 0;
  int code = errno;
  if (close(fd) != 0 && written) {
    written = false;
    code = errno;
  }
  if (!written) {
    unlink(temporary.c_str());
    SetError(error, "cannot write", temporary, code);
    return false;
  }
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    code = errno;
    unlink(temporary.c_str());
    SetError(error, "cannot replace", path, code);
    return false;
  }
  return true;
}

}  // namespace tavrin::platform
