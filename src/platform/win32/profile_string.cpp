#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/profile_string.h"
#include "platform/profile_text.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                           \
  CALL(GetPrivateProfileStringA, "GetPrivateProfileStringA")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

std::size_t ReadProfileString(const char* section, const char* key, const char* default_value, char* buffer,
                              std::size_t size, const char* file) {
  if (buffer == nullptr || size == 0) return 0;
  // A null section or key would make Windows list names instead of reading
  // a value; the library never asks for that.
  if (section == nullptr || key == nullptr || file == nullptr) {
    return CopyProfileDefault(default_value, buffer, size);
  }
  DWORD capacity = size > 0x7FFFFFFFu ? 0x7FFFFFFFu : static_cast<DWORD>(size);
  return sys::GetPrivateProfileStringA(section, key, default_value != nullptr ? default_value : "", buffer, capacity,
                                       file);
}

}  // namespace tavrin::platform
