// The DLL's entry point and the resource look-up chain on Windows: the
// application's module (the executable) first, then the DLL's own.
#include <windows.h>

#include "platform/module.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
SyscallEntry calls[] = {TAVRIN_SYSCALL(GetModuleHandleA), TAVRIN_SYSCALL(FindResourceA)};
SyscallGroup group(calls);
HMODULE library_module = nullptr;
}  // namespace

void JoinResourceChain(void* module) { library_module = static_cast<HMODULE>(module); }
void LeaveResourceChain() { library_module = nullptr; }

void* FindResourceInChain(const char* name, const char* type) {
  HMODULE chain[] = {Call<decltype(&::GetModuleHandleA)>(calls[0])(nullptr), library_module};
  for (HMODULE module : chain) {
    if (module != nullptr && Call<decltype(&::FindResourceA)>(calls[1])(module, name, type) != nullptr) {
      return module;
    }
  }
  return nullptr;
}

}  // namespace tavrin::platform

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      return tavrin::StartUp(instance) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
      tavrin::ShutDown();
      return TRUE;
    default:
      return TRUE;
  }
}
