#include <errno.h>
#include <fcntl.h>

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
int CreateFailingFor(const char* name, int flags, mode_t mode) {
  if (NameFails(name)) {
    errno = EACCES;
    return -1;
  }
  return ::open(name, flags, mode);
}
}  // namespace

SyscallFake FreshCreateFailure() { return {"text:open", &CreateFailingFor}; }

ScopedReplaceFailure::ScopedReplaceFailure() : ScopedSyscalls{{"rename", &FailingRename}} {}

ScopedFlushFailure::ScopedFlushFailure() : ScopedSyscalls{{"fsync", &FailingFsync}} {}

}  // namespace tavrin::test
