#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <errno.h>
#include <io.h>

#include "support/file_faults.h"

namespace tavrin::test {

namespace {
// A refusal that is not retried (retries are for sharing refusals only).
BOOL WINAPI FailingMove(LPCSTR, LPCSTR, DWORD) {
  SetLastError(ERROR_WRITE_PROTECT);
  return FALSE;
}
BOOL WINAPI FailingFlush(HANDLE) {
  SetLastError(ERROR_WRITE_FAULT);
  return FALSE;
}
int CreateFailingFor(const char* name, int flags, int mode) {
  if (NameFails(name)) {
    errno = EACCES;
    return -1;
  }
  return ::_open(name, flags, mode);
}
}  // namespace

SyscallFake FreshCreateFailure() { return {"text:_open", &CreateFailingFor}; }

ScopedReplaceFailure::ScopedReplaceFailure() : ScopedSyscalls{{"MoveFileExA", &FailingMove}} {}

ScopedFlushFailure::ScopedFlushFailure() : ScopedSyscalls{{"FlushFileBuffers", &FailingFlush}} {}

}  // namespace tavrin::test
