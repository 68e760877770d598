#include <stdio.h>

#include "platform/syscalls.h"
#include "platform/text_file.h"

namespace tavrin::platform {

namespace {
SyscallEntry calls[] = {TAVRIN_SYSCALL(fopen)};
SyscallGroup group(calls);
}  // namespace

// "t" asks for text mode whatever the runtime's default (_fmode) is; "N"
// keeps the handle out of programs that the application starts.
std::FILE* OpenTextFile(const char* path, TextFileMode mode) {
  if (path == nullptr) return nullptr;
  return Call<decltype(&::fopen)>(calls[0])(path, mode == TextFileMode::kRead ? "rtN" : "wtN");
}

}  // namespace tavrin::platform
