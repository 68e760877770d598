// The system-call tables of the platform layer.
//
// Every system call that a backend makes goes through an entry of a table kept
// by the file that makes it.  A test looks an entry up by its name and
// replaces it with a function of the same type (to make it fail, once or
// always), then restores it; the library itself never changes the tables.
//
// A file lists its calls once, one line a call, in a macro
// TAVRIN_SYSCALLS(CALL, OWN); TAVRIN_SYSCALL_TABLE makes the file's table of
// that list, registered at start-up, and for each line an accessor sys::name
// through which the file makes the call:
//   CALL(name, "label")            the system call ::name
//   OWN(name, "label", function)   a function of the library's own that stands
//                                  where a system call would (a wrapper that
//                                  fixes the type of a call with variable
//                                  arguments, a seam above the OS); `name`
//                                  must differ from `function`
// The label is the name a test replaces the call by: the call's own name, or
// one with a prefix ("serial:open", "log:open") where several files make the
// same call, so that each file's entry can be replaced alone.
//
// In a backend file (the list inside the file's unnamed namespace):
/*
     namespace {
     int OpenWithMode(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

     #define TAVRIN_SYSCALLS(CALL, OWN)    \
       CALL(readlink, "module:readlink")   \
       OWN(open, "log:open", OpenWithMode) \
       CALL(close, "log:close")
     TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
     }  // namespace

     ... ssize_t length = sys::readlink("/proc/self/exe", path, size); ...
     ... int fd = sys::open(path, O_WRONLY | O_APPEND, 0666); ...
*/
// An accessor converts to the function in force, with the function's own
// type, so a call through it takes the arguments a direct call would (variable
// arguments and the Windows calling convention included).
#ifndef TAVRIN_PLATFORM_SYSCALLS_H
#define TAVRIN_PLATFORM_SYSCALLS_H

#include <cstddef>
#include <type_traits>

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

// An entry with the type F of its function (a function pointer type): calling
// the accessor calls the function in force, through this conversion.
template <typename F>
struct Syscall {
  operator F() const { return reinterpret_cast<F>(entry.current); }
  SyscallEntry entry;
};

// The accessor type for the function `function` points to, named through
// decltype only: a deduced type leaves out the attributes (nonnull, and the
// like) that a declaration puts on the function's type.
template <typename F>
Syscall<F> SyscallFor(F function);

template <typename F>
constexpr bool IsFunctionAddress(F) {
  return std::is_function<std::remove_pointer_t<F>>::value;
}

// Registers a file's table at start-up so that tests can find its entries.
class SyscallGroup {
 public:
  template <std::size_t N>
  explicit SyscallGroup(SyscallEntry* const (&entries)[N]) : SyscallGroup(entries, N) {}
  SyscallGroup(SyscallEntry* const* entries, std::size_t count);
};

// A function of any type as a table entry's value, for tavrin_set_syscall.
template <typename F>
tavrin_syscall_ptr AsSyscall(F function) {
  return reinterpret_cast<tavrin_syscall_ptr>(function);
}

}  // namespace tavrin::platform

// The accessors of the list `LIST` in the namespace sys, then the file's table
// of their entries and its registration.
#define TAVRIN_SYSCALL_TABLE(LIST)                                          \
  namespace sys {                                                           \
  LIST(TAVRIN_SYSCALL_ACCESSOR_CALL_, TAVRIN_SYSCALL_ACCESSOR_)             \
  }                                                                         \
  ::tavrin::platform::SyscallEntry* const syscall_table[] = {              \
      LIST(TAVRIN_SYSCALL_TABLE_ENTRY_CALL_, TAVRIN_SYSCALL_TABLE_ENTRY_)}; \
  const ::tavrin::platform::SyscallGroup syscall_group(syscall_table);

// The pieces of TAVRIN_SYSCALL_TABLE, one of each per line of the list.  An
// entry is a braced list of address constants, so that the compiler lays it
// out as data, in place before any start-up code runs.  An accessor named
// like its own function would stand for it in its own initializer, which the
// assertion stops.
#define TAVRIN_SYSCALL_ACCESSOR_(name, label, function)                        \
  decltype(::tavrin::platform::SyscallFor(&function)) name{{                   \
      label,                                                                   \
      reinterpret_cast<tavrin_syscall_ptr>(&function),                         \
      reinterpret_cast<tavrin_syscall_ptr>(&function),                         \
  }};                                                                          \
  static_assert(::tavrin::platform::IsFunctionAddress(&function),              \
                #name ": an accessor needs a name other than its function's");
#define TAVRIN_SYSCALL_ACCESSOR_CALL_(name, label) TAVRIN_SYSCALL_ACCESSOR_(name, label, ::name)
#define TAVRIN_SYSCALL_TABLE_ENTRY_(name, label, function) &sys::name.entry,
#define TAVRIN_SYSCALL_TABLE_ENTRY_CALL_(name, label) &sys::name.entry,

#endif
