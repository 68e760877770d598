#include <errno.h>

#include "support/file_faults.h"

namespace tavrin::test {

namespace {
int FailingRename(const char*, const char*) {
  errno = EACCES;
  return -1;
}
int FailingFsync(int) {
  errno = EIO;
  return -1;
}
}  // namespace

ScopedReplaceFailure::ScopedReplaceFailure()
    : ScopedSyscall("rename", reinterpret_cast<tavrin_syscall_ptr>(&FailingRename)) {}

ScopedFlushFailure::ScopedFlushFailure()
    : ScopedSyscall("fsync", reinterpret_cast<tavrin_syscall_ptr>(&FailingFsync)) {}

}  // namespace tavrin::test
