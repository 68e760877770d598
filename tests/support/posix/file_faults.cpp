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

ScopedReplaceFailure::ScopedReplaceFailure() : ScopedSyscalls{{"rename", &FailingRename}} {}

ScopedFlushFailure::ScopedFlushFailure() : ScopedSyscalls{{"fsync", &FailingFsync}} {}

}  // namespace tavrin::test
