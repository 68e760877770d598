#include "support/file_faults.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

using tavrin::platform::AsSyscall;

namespace tavrin::test {

namespace {
const char* failing_fragment = nullptr;
std::FILE* (*original_fopen)(const char*, const char*) = nullptr;

std::FILE* FopenFailingFor(const char* name, const char* mode) {
  if (std::strstr(name, failing_fragment) != nullptr) {
    errno = EACCES;
    return nullptr;
  }
  return original_fopen(name, mode);
}
}  // namespace

ScopedOpenFailure::ScopedOpenFailure(const char* fragment)
    : ScopedSyscall("fopen", AsSyscall(&FopenFailingFor)) {
  failing_fragment = fragment;
  original_fopen = reinterpret_cast<std::FILE* (*)(const char*, const char*)>(previous());
}

}  // namespace tavrin::test
