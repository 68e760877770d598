#include <dlfcn.h>
#include <stdlib.h>

#include <cstring>

#include "platform/program_environment.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
SyscallEntry calls[] = {TAVRIN_SYSCALL(setenv), TAVRIN_SYSCALL(unsetenv), TAVRIN_SYSCALL(dladdr)};
SyscallGroup group(calls);
}  // namespace

bool SetEnvironmentValue(const char* name, const char* value) {
  if (name == nullptr || *name == '\0' || std::strchr(name, '=') != nullptr) return false;
  if (value == nullptr) return Call<decltype(&::unsetenv)>(calls[1])(name) == 0;
  return Call<decltype(&::setenv)>(calls[0])(name, value, 1) == 0;
}

std::string ModuleFileOf(const void* address) {
  Dl_info info{};
  if (address == nullptr || Call<decltype(&::dladdr)>(calls[2])(address, &info) == 0) return {};
  return info.dli_fname != nullptr ? info.dli_fname : "";
}

}  // namespace tavrin::platform
