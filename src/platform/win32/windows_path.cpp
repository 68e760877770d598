#include <cstring>

#include "platform/windows_path.h"

namespace tavrin::platform {

// Windows paths are the system's own names here.
bool ToNativePath(const char* path, char* native, std::size_t size) {
  if (native == nullptr || size == 0) return false;
  native[0] = '\0';
  if (path == nullptr) return false;
  std::size_t length = std::strlen(path);
  if (length + 1 > size) return false;
  std::memcpy(native, path, length + 1);
  return true;
}

}  // namespace tavrin::platform
