#include "platform/windows_path.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/settings.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN) \
  CALL(lstat, "lstat")             \
  CALL(opendir, "opendir")         \
  CALL(readdir, "readdir")         \
  CALL(closedir, "closedir")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

bool Exists(const std::string& path) {
  struct stat info;
  return sys::lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose name equals `name` but for case; empty when
// there is none.  Of several, the smallest in byte order, so that the choice
// does not depend on the order of the folder.
std::string FindIgnoringCase(const std::string& folder, const std::string& name) {
  std::string found;
  DIR* dir = sys::opendir(folder.empty() ? "/" : folder.c_str());
  if (dir == nullptr) return found;
  while (struct dirent* entry = sys::readdir(dir)) {
    if (strcasecmp(entry->d_name, name.c_str()) != 0) continue;
    if (found.empty() || std::strcmp(entry->d_name, found.c_str()) < 0) found = entry->d_name;
  }
  sys::closedir(dir);
  return found;
}

// The folder that stands for drive `letter`.
bool DriveFolder(char letter, std::string* folder) {
  char upper = static_cast<char>(letter >= 'a' ? letter - 'a' + 'A' : letter);
  char lower = static_cast<char>(upper - 'A' + 'a');
  std::string variable = "TAVRIN_DRIVE_";
  variable += upper;
  if (GetSetting(variable.c_str(), folder) && !folder->empty()) return true;
  std::string prefix;
  if (!GetEnvironmentValue("WINEPREFIX", &prefix) || prefix.empty()) {
    if (!GetEnvironmentValue("HOME", &prefix) || prefix.empty()) return false;
    prefix += "/.wine";
  }
  *folder = prefix + "/dosdevices/" + lower + ":";
  return true;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool Fail(char* native, std::size_t size) {
  if (native != nullptr && size > 0) native[0] = '\0';
  return false;
}

}  // namespace

bool ToNativePath(const char* path, char* native, std::size_t size) {
  if (path == nullptr || native == nullptr || size == 0) return Fail(native, size);
  std::string result;
  if (IsDriveLetter(path[0]) && path[1] == ':') {
    if (!DriveFolder(path[0], &result)) return Fail(native, size);
    while (result.size() > 1 && result.back() == '/') result.pop_back();
    // Walk the components after the drive; once one is missing, the rest
    // are taken as written.  A ".." that would climb above the drive's
    // folder is refused: on Windows it could not leave the drive either.
    bool resolving = true;
    int depth = 0;
    const char* cursor = path + 2;
    while (*cursor != '\0') {
      while (*cursor == '\\' || *cursor == '/') ++cursor;
      const char* end = cursor;
      while (*end != '\0' && *end != '\\' && *end != '/') ++end;
      if (end == cursor) {
        // Only separators were left: the path names a folder.
        if (end > path + 2 && (end[-1] == '\\' || end[-1] == '/')) result += '/';
        break;
      }
      std::string component(cursor, end);
      if (component == "..") --depth;
      else if (component != ".") ++depth;
      if (depth < 0) return Fail(native, size);
      std::string candidate = result + "/" + component;
      if (resolving && component != "." && component != ".." && !Exists(candidate)) {
        std::string match = FindIgnoringCase(result, component);
        if (!match.empty()) {
          candidate = result + "/" + match;
        } else {
          resolving = false;
        }
      }
      result = candidate;
      cursor = end;
    }
  } else {
    result = path;
  }
  if (result.size() + 1 > size) return Fail(native, size);
  std::memcpy(native, result.c_str(), result.size() + 1);
  return true;
}

}  // namespace tavrin::platform
