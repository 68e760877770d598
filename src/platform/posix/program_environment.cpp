#include <dlfcn.h>
#include <stdlib.h>

#include <cstring>

#include "platform/program_environment.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN) \
  CALL(setenv, "setenv")           \
  CALL(unsetenv, "unsetenv")       \
  CALL(dladdr, "dladdr")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

bool SetEnvironmentValue(const char* name, const char* value) {
  if (name == nullptr || *name == '\0' || std::strchr(name, '=') != nullptr) return false;
  if (value == nullptr) return sys::unsetenv(name) == 0;
  return sys::setenv(name, value, 1) == 0;
}

std::string ModuleFileOf(const void* address) {
  Dl_info info{};
  if (address == nullptr || sys::dladdr(address, &info) == 0) return {};
  return info.dli_fname != nullptr ? info.dli_fname : "";
}

}  // namespace tavrin::platform
