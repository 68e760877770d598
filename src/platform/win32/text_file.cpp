#include <stdio.h>

#include "platform/syscalls.h"
#include "platform/text_file.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN) \
  CALL(fopen, "fopen")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

// "t" asks for text mode whatever the runtime's default (_fmode) is; "N"
// keeps the handle out of programs that the application starts.
std::FILE* OpenTextFile(const char* path, TextFileMode mode) {
  if (path == nullptr) return nullptr;
  return sys::fopen(path, mode == TextFileMode::kRead ? "rtN" : "wtN");
}

}  // namespace tavrin::platform
