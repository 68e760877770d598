// The DLL's entry point and the resource look-up chain on Windows: the
// application's module (the executable) first, then the DLL's own.
#include <windows.h>

#include "platform/module.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)           \
  CALL(GetModuleHandleA, "GetModuleHandleA") \
  CALL(FindResourceA, "FindResourceA")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
HMODULE library_module = nullptr;
}  // namespace

void JoinResourceChain(void* module) { library_module = static_cast<HMODULE>(module); }
void LeaveResourceChain() { library_module = nullptr; }

void* FindResourceInChain(const char* name, const char* type) {
  HMODULE chain[] = {sys::GetModuleHandleA(nullptr), library_module};
  for (HMODULE module : chain) {
    if (module != nullptr && sys::FindResourceA(module, name, type) != nullptr) {
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
