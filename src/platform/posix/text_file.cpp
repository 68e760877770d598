#include <stdio.h>

#include "platform/syscalls.h"
#include "platform/text_file.h"
#include "platform/windows_path.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN) \
  CALL(fopen, "fopen")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

// Text mode and binary mode are the same here; "e" keeps the stream out of
// programs that the application starts.
std::FILE* OpenTextFile(const char* path, TextFileMode mode) {
  char native[kNativePathSize];
  if (!ToNativePath(path, native, sizeof native)) return nullptr;
  return sys::fopen(native, mode == TextFileMode::kRead ? "re" : "we");
}

}  // namespace tavrin::platform
