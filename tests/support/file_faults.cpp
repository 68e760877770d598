#include "support/file_faults.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tavrin::test {

namespace {
const char* failing_fragment = nullptr;
using FopenCall = std::FILE* (*)(const char*, const char*);
FopenCall original_fopen = nullptr;

std::FILE* FopenFailingFor(const char* name, const char* mode) {
  if (NameFails(name)) {
    errno = EACCES;
    return nullptr;
  }
  return original_fopen(name, mode);
}
}  // namespace

ScopedOpenFailure::ScopedOpenFailure(const char* fragment)
    : ScopedSyscalls{{"fopen", &FopenFailingFor}} {
  failing_fragment = fragment;
  original_fopen = previous<FopenCall>("fopen");
  Replace(FreshCreateFailure());
}

bool NameFails(const char* name) { return failing_fragment != nullptr && std::strstr(name, failing_fragment) != nullptr; }

}  // namespace tavrin::test
