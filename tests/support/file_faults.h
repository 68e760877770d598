// Making the library's file operations fail through the platform layer's
// system-call tables, for as long as an object lives (root is not stopped by
// permissions, so these stand for a locked file or an unwritable folder).
#ifndef TAVRIN_TESTS_SUPPORT_FILE_FAULTS_H
#define TAVRIN_TESTS_SUPPORT_FILE_FAULTS_H

#include "support/scoped_syscalls.h"

namespace tavrin::test {

// Opening a file whose system name contains `fragment` fails (one at a time),
// also the fresh creation of a temporary file.
struct ScopedOpenFailure : ScopedSyscalls {
  explicit ScopedOpenFailure(const char* fragment);
};
// The fresh creation's call made to fail for names containing the fragment
// (one file per platform).
SyscallFake FreshCreateFailure();
bool NameFails(const char* name);
// Putting a temporary file in its target's place fails (rename, MoveFileExA).
struct ScopedReplaceFailure : ScopedSyscalls {
  ScopedReplaceFailure();
};
// Flushing a file to the disk fails (fsync, FlushFileBuffers).
struct ScopedFlushFailure : ScopedSyscalls {
  ScopedFlushFailure();
};

}  // namespace tavrin::test

#endif
