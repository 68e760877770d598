// Making the library's file operations fail, through the platform layer's
// system-call tables, for as long as an object lives.  Works for every user,
// root included (who is not stopped by permissions).
#ifndef TAVRIN_TESTS_SUPPORT_FILE_FAULTS_H
#define TAVRIN_TESTS_SUPPORT_FILE_FAULTS_H

#include "platform/syscalls.h"

namespace tavrin::test {

// Replaces one system call by name and puts the old one back at the end.
class ScopedSyscall {
 public:
  ScopedSyscall(const char* name, tavrin_syscall_ptr replacement);
  ~ScopedSyscall();
  ScopedSyscall(const ScopedSyscall&) = delete;
  ScopedSyscall& operator=(const ScopedSyscall&) = delete;
  tavrin_syscall_ptr previous() const { return previous_; }

 private:
  const char* name_;
  tavrin_syscall_ptr previous_;
};

// Opening a file whose system name contains `fragment` fails.
class ScopedOpenFailure {
 public:
  explicit ScopedOpenFailure(const char* fragment);
  ~ScopedOpenFailure();

 private:
  ScopedSyscall hook_;
};

// Putting a temporary file in its target's place fails, as when the target
// cannot be deleted (a rename on POSIX, MoveFileExA on Windows).
class ScopedReplaceFailure {
 public:
  ScopedReplaceFailure();

 private:
  ScopedSyscall hook_;
};

// Flushing a file to the disk fails (fsync, FlushFileBuffers).
class ScopedFlushFailure {
 public:
  ScopedFlushFailure();

 private:
  ScopedSyscall hook_;
};

}  // namespace tavrin::test

#endif
