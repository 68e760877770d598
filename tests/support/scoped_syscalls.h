// Replacing the library's system calls by name (platform/syscalls.h), for as
// long as an object lives: how every fake of the test support stands in for
// the system.
#ifndef TAVRIN_TESTS_SUPPORT_SCOPED_SYSCALLS_H
#define TAVRIN_TESTS_SUPPORT_SCOPED_SYSCALLS_H

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/syscalls.h"

namespace tavrin::test {

// A stand-in for the call whose table entry is named `name`; `function` must
// have the call's type.
struct SyscallFake {
  template <typename F>
  SyscallFake(const char* name, F function) : name(name), function(platform::AsSyscall(function)) {}
  const char* name;
  tavrin_syscall_ptr function;
};

// Replaces calls for the object's life.  At its end each entry gets back the
// function that was in force before, the last replaced first, so that a fake
// made inside another's life leaves the outer one in place.
class ScopedSyscalls {
 public:
  ScopedSyscalls() = default;
  ScopedSyscalls(std::initializer_list<SyscallFake> fakes) {
    for (const SyscallFake& fake : fakes) Replace(fake);
  }
  ~ScopedSyscalls() {
    for (auto it = replaced_.rbegin(); it != replaced_.rend(); ++it) tavrin_set_syscall(it->first.c_str(), it->second);
  }
  ScopedSyscalls(const ScopedSyscalls&) = delete;
  ScopedSyscalls& operator=(const ScopedSyscalls&) = delete;

  // Replaces one more call; false when no table has its name.
  bool Replace(const SyscallFake& fake) {
    tavrin_syscall_ptr previous = tavrin_set_syscall(fake.name, fake.function);
    if (previous == nullptr) {
      ++unknown_;
      return false;
    }
    replaced_.emplace_back(fake.name, previous);
    return true;
  }

  // True when calls were replaced and every name was found: a test whose
  // fake is not in place must stop, or it reaches the real system.
  bool installed() const { return !replaced_.empty() && unknown_ == 0; }

  // The function that was in force for `name` before this object, as type F
  // (null when the object did not replace `name`).
  template <typename F>
  F previous(const char* name) const {
    for (const auto& entry : replaced_) {
      if (entry.first == name) return reinterpret_cast<F>(entry.second);
    }
    return nullptr;
  }

 private:
  std::vector<std::pair<std::string, tavrin_syscall_ptr>> replaced_;  // name, function before
  int unknown_ = 0;
};

}  // namespace tavrin::test

#endif
