#include <stdlib.h>

#include "platform/platform.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
SyscallEntry calls[] = {TAVRIN_SYSCALL(getenv)};
SyscallGroup group(calls);
}  // namespace

bool GetEnvironmentValue(const char* name, std::string* value) {
  if (name == nullptr) return false;
  const char* found = Call<decltype(&::getenv)>(calls[0])(name);
  if (found == nullptr) return false;
  if (value != nullptr) *value = found;
  return true;
}

std::string TemporaryFolder() {
  std::string folder;
  if (!GetEnvironmentValue("TMPDIR", &folder) || folder.empty()) folder = "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace tavrin::platform
