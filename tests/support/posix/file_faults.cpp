#include <errno.h>

#include "support/file_faults.h"

using tavrin::platform::AsSyscall;

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
    : ScopedSyscall("rename", AsSyscall(&FailingRename)) {}

ScopedFlushFailure::ScopedFlushFailure()
    : ScopedSyscall("fsync", AsSyscall(&FailingFsync)) {}

}  // namespace tavrin::test
