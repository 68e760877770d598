#include "util/path_split.h"

#include <cstring>

namespace tavrin::util {

namespace {

void Clear(char* buffer, std::size_t size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
}

// Copies [begin, end) when the part is wanted; false when it does not fit.
bool Put(const char* begin, const char* end, char* buffer, std::size_t size) {
  if (buffer == nullptr) return true;
  std::size_t length = static_cast<std::size_t>(end - begin);
  if (length + 1 > size) return false;
  std::memcpy(buffer, begin, length);
  buffer[length] = '\0';
  return true;
}

}  // namespace

bool SplitPath(const char* path, char* drive, std::size_t drive_size, char* folder, std::size_t folder_size,
               char* base_name, std::size_t base_name_size, char* extension, std::size_t extension_size) {
  bool ok = path != nullptr;
  if (ok) {
    const char* rest = path;
    if (path[0] != '\0' && path[1] == ':') rest = path + 2;
    const char* end = rest + std::strlen(rest);
    const char* name = rest;  // just after the last separator
    for (const char* p = rest; p < end; ++p) {
      if (*p == '\\' || *p == '/') name = p + 1;
    }
    const char* dot = nullptr;
    for (const char* p = name; p < end; ++p) {
      if (*p == '.') dot = p;
    }
    if (dot == nullptr) dot = end;
    ok = Put(path, rest, drive, drive_size) && Put(rest, name, folder, folder_size) &&
         Put(name, dot, base_name, base_name_size) && Put(dot, end, extension, extension_size);
  }
  if (!ok) {
    Clear(drive, drive_size);
    Clear(folder, folder_size);
    Clear(base_name, base_name_size);
    Clear(extension, extension_size);
  }
  return ok;
}

}  // namespace tavrin::util
