// Directory trees on POSIX.  Every path is mapped by ToNativePath, so that a
// Windows path names the same entry it names for a program under Wine.
#include "platform/directory_tree.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/syscalls.h"
#include "platform/windows_path.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN) \
  CALL(opendir, "tree:opendir")    \
  CALL(readdir, "tree:readdir")    \
  CALL(closedir, "tree:closedir")  \
  CALL(lstat, "tree:lstat")        \
  CALL(unlink, "tree:unlink")      \
  CALL(rmdir, "tree:rmdir")        \
  CALL(mkdir, "tree:mkdir")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

bool IsWindowsPath(const char* path) {
  char c = path[0];
  return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':';
}

// The native name of `path` in `native`; false when it cannot be mapped.
bool Native(const char* path, char (&native)[kNativePathSize]) {
  return path != nullptr && ToNativePath(path, native, sizeof native);
}

struct SearchState {
  char folder[kNativePathSize];
};

}  // namespace

DirectorySearch::~DirectorySearch() { End(); }

bool DirectorySearch::Start(const char* folder) {
  End();
  auto* state = new SearchState;
  if (!Native(folder, state->folder)) {
    delete state;
    return false;
  }
  DIR* dir = sys::opendir(state->folder);
  if (dir == nullptr) {
    delete state;
    return false;
  }
  handle_ = dir;
  state_ = state;
  return true;
}

bool DirectorySearch::Next(DirectoryEntry* entry) {
  if (handle_ == nullptr || entry == nullptr) return false;
  auto* state = static_cast<SearchState*>(state_);
  while (struct dirent* found = sys::readdir(static_cast<DIR*>(handle_))) {
    std::size_t length = std::strlen(found->d_name);
    if (length + 1 > sizeof entry->name) continue;
    std::memcpy(entry->name, found->d_name, length + 1);
    // The kind comes from lstat, which never follows a link; d_type may be
    // unknown on some file systems.
    entry->kind = EntryKind::kFile;
    std::size_t folder_length = std::strlen(state->folder);
    char full[kNativePathSize];
    if (folder_length + 1 + length + 1 <= sizeof full) {
      std::memcpy(full, state->folder, folder_length);
      full[folder_length] = '/';
      std::memcpy(full + folder_length + 1, found->d_name, length + 1);
      struct stat info;
      if (sys::lstat(full, &info) == 0 && S_ISDIR(info.st_mode)) entry->kind = EntryKind::kDirectory;
    }
    return true;
  }
  return false;
}

void DirectorySearch::End() {
  if (handle_ != nullptr) sys::closedir(static_cast<DIR*>(handle_));
  delete static_cast<SearchState*>(state_);
  handle_ = nullptr;
  state_ = nullptr;
}

char SeparatorFor(const char* path) { return path != nullptr && IsWindowsPath(path) ? '\\' : '/'; }

bool DeleteEntry(const char* path, EntryKind /*kind*/) {
  char native[kNativePathSize];
  if (!Native(path, native)) return false;
  struct stat info;
  if (sys::lstat(native, &info) != 0) return false;
  // A file the owner may not write counts as read-only, as Windows'
  // read-only attribute does; a link's own mode says nothing.
  if (!S_ISLNK(info.st_mode) && (info.st_mode & S_IWUSR) == 0) return false;
  return sys::unlink(native) == 0;
}

bool RemoveEmptyDirectory(const char* path) {
  char native[kNativePathSize];
  return Native(path, native) && sys::rmdir(native) == 0;
}

CreateResult CreateOneDirectory(const char* path) {
  char native[kNativePathSize];
  if (!Native(path, native)) return CreateResult::kFailed;
  if (sys::mkdir(native, 0777) == 0) return CreateResult::kCreated;
  return errno == EEXIST ? CreateResult::kAlreadyExists : CreateResult::kFailed;
}

}  // namespace tavrin::platform
