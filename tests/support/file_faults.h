// Making the library's file operations fail through the platform layer's
// system-call tables, for as long as an object lives (root is not stopped by
// permissions, so these stand for a locked file or an unwritable folder).
#ifndef TAVRIN_TESTS_SUPPORT_FILE_FAULTS_H
#define TAVRIN_TESTS_SUPPORT_FILE_FAULTS_H

#include "platform/syscalls.h"

namespace tavrin::test {

// Replaces one system call by name and puts the old one back at the end.
class ScopedSyscall {
 public:
  ScopedSyscall(const char* name, tavrin_syscall_ptr replacement)
      : name_(name), previous_(tavrin_set_syscall(name, replacement)) {}
  ~ScopedSyscall() { tavrin_set_syscall(name_, previous_); }
  ScopedSyscall(const ScopedSyscall&) = delete;
  ScopedSyscall& operator=(const ScopedSyscall&) = delete;
  tavrin_syscall_ptr previous() const { return previous_; }

 private:
  const char* name_;
  tavrin_syscall_ptr previous_;
};

// Opening a file whose system name contains `fragment` fails (one at a time).
struct ScopedOpenFailure : ScopedSyscall {
  explicit ScopedOpenFailure(const char* fragment);
};
// Putting a temporary file in its target's place fails (rename, MoveFileExA).
struct ScopedReplaceFailure : ScopedSyscall {
  ScopedReplaceFailure();
};
// Flushing a file to the disk fails (fsync, FlushFileBuffers).
struct ScopedFlushFailure : ScopedSyscall {
  ScopedFlushFailure();
};

}  // namespace tavrin::test

#endif
