#include <windows.h>

#include <vector>

#include "platform/platform.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                         \
  CALL(GetEnvironmentVariableA, "GetEnvironmentVariableA") \
  CALL(GetTempPathA, "GetTempPathA")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

bool GetEnvironmentValue(const char* name, std::string* value) {
  if (name == nullptr) return false;
  std::vector<char> buffer(256);
  for (;;) {
    DWORD length = sys::GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      // An empty variable and a missing one both give 0; only the error tells.
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
      if (value != nullptr) value->clear();
      return true;
    }
    if (length < buffer.size()) {
      if (value != nullptr) value->assign(buffer.data(), length);
      return true;
    }
    buffer.resize(length + 1);
  }
}

std::string TemporaryFolder() {
  char buffer[MAX_PATH + 1];
  DWORD length = sys::GetTempPathA(sizeof buffer, buffer);
  if (length == 0 || length > MAX_PATH) return "C:\\Windows\\Temp\\";
  std::string folder(buffer, length);
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace tavrin::platform
