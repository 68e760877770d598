// Directory trees on Windows: FindFirstFileA over "folder\*.*".
#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>

#include "platform/directory_tree.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                \
  CALL(FindFirstFileA, "tree:FindFirstFileA")     \
  CALL(FindNextFileA, "tree:FindNextFileA")       \
  CALL(FindClose, "tree:FindClose")               \
  CALL(DeleteFileA, "tree:DeleteFileA")           \
  CALL(RemoveDirectoryA, "tree:RemoveDirectoryA") \
  CALL(CreateDirectoryA, "tree:CreateDirectoryA") \
  CALL(GetLastError, "tree:GetLastError")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

struct SearchState {
  WIN32_FIND_DATAA data;
  bool pending;  // data holds an entry not yet handed out
};

EntryKind KindOf(DWORD attributes) {
  bool directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return directory ? EntryKind::kDirectoryLink : EntryKind::kFile;
  }
  return directory ? EntryKind::kDirectory : EntryKind::kFile;
}
}  // namespace

DirectorySearch::~DirectorySearch() { End(); }

bool DirectorySearch::Start(const char* folder) {
  End();
  if (folder == nullptr) return false;
  char pattern[MAX_PATH + 1];
  std::size_t length = std::strlen(folder);
  if (length + 4 + 1 > sizeof pattern) return false;
  std::memcpy(pattern, folder, length);
  std::memcpy(pattern + length, "\\*.*", 5);
  auto* state = new SearchState;
  HANDLE handle = sys::FindFirstFileA(pattern, &state->data);
  if (handle == INVALID_HANDLE_VALUE) {
    delete state;
    return false;
  }
  state->pending = true;
  handle_ = handle;
  state_ = state;
  return true;
}

bool DirectorySearch::Next(DirectoryEntry* entry) {
  if (handle_ == nullptr || entry == nullptr) return false;
  auto* state = static_cast<SearchState*>(state_);
  for (;;) {
    if (!state->pending && !sys::FindNextFileA(handle_, &state->data)) return false;
    state->pending = false;
    std::size_t length = strnlen(state->data.cFileName, sizeof state->data.cFileName);
    if (length + 1 > sizeof entry->name || length == sizeof state->data.cFileName) continue;
    std::memcpy(entry->name, state->data.cFileName, length);
    entry->name[length] = '\0';
    entry->kind = KindOf(state->data.dwFileAttributes);
    return true;
  }
}

void DirectorySearch::End() {
  if (handle_ != nullptr) sys::FindClose(handle_);
  delete static_cast<SearchState*>(state_);
  handle_ = nullptr;
  state_ = nullptr;
}

char SeparatorFor(const char*) { return '\\'; }

// DeleteFileA refuses a read-only file by itself.  A link to a directory is
// a directory entry to Windows and goes with RemoveDirectoryA, which removes
// the link and leaves its target alone.
bool DeleteEntry(const char* path, EntryKind kind) {
  if (path == nullptr) return false;
  if (kind == EntryKind::kDirectoryLink) return sys::RemoveDirectoryA(path) != 0;
  return sys::DeleteFileA(path) != 0;
}

bool RemoveEmptyDirectory(const char* path) { return path != nullptr && sys::RemoveDirectoryA(path) != 0; }

CreateResult CreateOneDirectory(const char* path) {
  if (path == nullptr) return CreateResult::kFailed;
  if (sys::CreateDirectoryA(path, nullptr)) return CreateResult::kCreated;
  return sys::GetLastError() == ERROR_ALREADY_EXISTS ? CreateResult::kAlreadyExists : CreateResult::kFailed;
}

}  // namespace tavrin::platform
