#include <stdlib.h>

#include "platform/platform.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN) \
  CALL(getenv, "getenv")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

bool GetEnvironmentValue(const char* name, std::string* value) {
  if (name == nullptr) return false;
  const char* found = sys::getenv(name);
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
