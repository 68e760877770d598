#include "support/file_faults.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tavrin::test {

ScopedSyscall::ScopedSyscall(const char* name, tavrin_syscall_ptr replacement)
    : name_(name), previous_(tavrin_set_syscall(name, replacement)) {}

ScopedSyscall::~ScopedSyscall() { tavrin_set_syscall(name_, previous_); }

namespace {
const char* open_failure_fragment = nullptr;
using FopenCall = std::FILE* (*)(const char*, const char*);
FopenCall original_fopen = nullptr;

std::FILE* FopenFailingFor(const char* name, const char* mode) {
  if (open_failure_fragment != nullptr && std::strstr(name, open_failure_fragment) != nullptr) {
    errno = EACCES;
    return nullptr;
  }
  return original_fopen(name, mode);
}
}  // namespace

ScopedOpenFailure::ScopedOpenFailure(const char* fragment)
    : hook_("fopen", reinterpret_cast<tavrin_syscall_ptr>(&FopenFailingFor)) {
  open_failure_fragment = fragment;
  original_fopen = reinterpret_cast<FopenCall>(hook_.previous());
}

ScopedOpenFailure::~ScopedOpenFailure() { open_failure_fragment = nullptr; }

}  // namespace tavrin::test
