#include <windows.h>

#include "platform/platform.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
SyscallEntry calls[] = {TAVRIN_SYSCALL(LoadLibraryA), TAVRIN_SYSCALL(GetProcAddress)};
SyscallGroup group(calls);
}  // namespace

void* OpenSharedLibrary(const char* path) {
  if (path == nullptr) return nullptr;
  return reinterpret_cast<void*>(Call<decltype(&::LoadLibraryA)>(calls[0])(path));
}

void* FindSharedSymbol(void* library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<void*>(
      Call<decltype(&::GetProcAddress)>(calls[1])(static_cast<HMODULE>(library), name));
}

const char* DefaultFocasLibraryName() { return "Fwlib32.dll"; }

}  // namespace tavrin::platform
