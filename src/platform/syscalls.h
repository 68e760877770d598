// The system-call tables of the platform layer.
//
// Every system call that a backend makes goes through an entry of a table kept
// by the file that makes it.  A test looks an entry up by the call's name and
// replaces it with a function of the same type (to make it fail, once or
// always), then restores it; the library itself never changes the tables.
//
// In a backend file:
//   namespace {
//   tavrin::platform::SyscallEntry calls[] = {TAVRIN_SYSCALL(dlopen), TAVRIN_SYSCALL(dlsym)};
//   tavrin::platform::SyscallGroup group(calls);
//   }
//   ... tavrin::platform::Call<decltype(&::dlopen)>(calls[0])(path, flags) ...
#ifndef TAVRIN_PLATFORM_SYSCALLS_H
#define TAVRIN_PLATFORM_SYSCALLS_H

#include <cstddef>

#include "tavrin/export.h"

TAVRIN_EXTERN_C_BEGIN

typedef void (*tavrin_syscall_ptr)(void);

/* Replaces the system call `name` with `replacement` (null restores the
 * original).  Returns the function that was in force, or null when no table
 * has that name.  For tests only. */
TAVRIN_API tavrin_syscall_ptr tavrin_set_syscall(const char* name, tavrin_syscall_ptr replacement);

/* The function in force for `name`, or null for an unknown name. */
TAVRIN_API tavrin_syscall_ptr tavrin_get_syscall(const char* name);

TAVRIN_EXTERN_C_END

namespace tavrin::platform {

struct SyscallEntry {
  const char* name;
  tavrin_syscall_ptr current;
  tavrin_syscall_ptr original;
};

// Registers a file's table at start-up so that tests can find its entries.
class SyscallGroup {
 public:
  template <std::size_t N>
  explicit SyscallGroup(SyscallEntry (&entries)[N]) : SyscallGroup(entries, N) {}
  SyscallGroup(SyscallEntry* entries, std::size_t count);
};

// A function of any type as a table entry's value, for tavrin_set_syscall.
template <typename F>
tavrin_syscall_ptr AsSyscall(F function) {
  return reinterpret_cast<tavrin_syscall_ptr>(function);
}

// An entry for a function of the library's own, under `label`.
template <typename F>
SyscallEntry OwnEntry(const char* label, F function) {
  return SyscallEntry{label, AsSyscall(function), AsSyscall(function)};
}

// The function in force for an entry, as its own type.
template <typename F>
F Call(const SyscallEntry& entry) {
  return reinterpret_cast<F>(entry.current);
}

}  // namespace tavrin::platform

#define TAVRIN_SYSCALL(name)                                                   \
  tavrin::platform::SyscallEntry {                                             \
    #name, reinterpret_cast<tavrin_syscall_ptr>(&::name), reinterpret_cast<tavrin_syscall_ptr>(&::name) \
  }

// The same under a name that the file chooses, such as "log:open", for a call
// that several files make: each file's entry can then be replaced alone.
#define TAVRIN_SYSCALL_AS(label, name)                                         \
  tavrin::platform::SyscallEntry {                                             \
    label, reinterpret_cast<tavrin_syscall_ptr>(&::name), reinterpret_cast<tavrin_syscall_ptr>(&::name) \
  }

#endif
