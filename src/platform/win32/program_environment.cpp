#include <windows.h>

#include <cstring>

#include "platform/program_environment.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                         \
  CALL(SetEnvironmentVariableA, "SetEnvironmentVariableA") \
  CALL(GetModuleHandleExA, "GetModuleHandleExA")           \
  CALL(GetModuleFileNameA, "GetModuleFileNameA")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

bool SetEnvironmentValue(const char* name, const char* value) {
  if (name == nullptr || *name == '\0' || std::strchr(name, '=') != nullptr) return false;
  // The C runtime keeps its own copy of the environment for getenv; the
  // library reads the process's through GetEnvironmentVariableA.
  return sys::SetEnvironmentVariableA(name, value) != 0;
}

std::string ModuleFileOf(const void* address) {
  if (address == nullptr) return {};
  HMODULE module = nullptr;
  const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (!sys::GetModuleHandleExA(flags, static_cast<LPCSTR>(address), &module)) return {};
  char buffer[MAX_PATH + 1];
  DWORD length = sys::GetModuleFileNameA(module, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return {};
  return std::string(buffer, length);
}

}  // namespace tavrin::platform
