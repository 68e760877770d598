#include <dlfcn.h>

#include "platform/platform.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
SyscallEntry calls[] = {TAVRIN_SYSCALL(dlopen), TAVRIN_SYSCALL(dlsym)};
SyscallGroup group(calls);
}  // namespace

void* OpenSharedLibrary(const char* path) {
  if (path == nullptr) return nullptr;
  return Call<decltype(&::dlopen)>(calls[0])(path, RTLD_NOW | RTLD_LOCAL);
}

void* FindSharedSymbol(void* library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return Call<decltype(&::dlsym)>(calls[1])(library, name);
}

const char* DefaultFocasLibraryName() { return "libfwlib32.so"; }

}  // namespace tavrin::platform
