#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

#include "platform/file_lock.h"
#include "platform/file_replace.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)           \
  CALL(CreateFileA, "CreateFileA")           \
  CALL(DeleteFileA, "DeleteFileA")           \
  CALL(GetFileAttributesA, "GetFileAttributesA") \
  CALL(FlushFileBuffers, "FlushFileBuffers") \
  CALL(CloseHandle, "CloseHandle")           \
  CALL(MoveFileExA, "MoveFileExA")           \
  CALL(GetLastError, "GetLastError")         \
  CALL(Sleep, "Sleep")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

// A replace refused because another program (the simulation) has the target
// open is tried again after 20, 40, 80 and 160 ms: at most five tries and
// 300 ms of waiting in all.
constexpr int kReplaceTries = 5;
constexpr DWORD kFirstWaitMs = 20;

bool IsSharingRefusal(DWORD code) {
  return code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
}

bool FlushToDisk(const char* path) {
  HANDLE file = sys::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BOOL flushed = sys::FlushFileBuffers(file);
  sys::CloseHandle(file);
  return flushed != FALSE;
}

}  // namespace

// Windows keeps a file's permissions in its folder's inherited security and
// the replace keeps the temporary file's attributes, so step 1 has nothing to
// do.  MOVEFILE_WRITE_THROUGH returns only when the move is on the disk, which
// covers the folder flush of step 4.  A link's target may lie on another
// volume: MOVEFILE_COPY_ALLOWED then copies.
bool ReplaceWithTemporary(const char* temporary, const char* link_or_target) {
  if (temporary == nullptr || link_or_target == nullptr) return false;
  if (!FlushToDisk(temporary)) return false;
  const std::string target = LinkTarget(link_or_target);
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH |
                      (target != link_or_target ? MOVEFILE_COPY_ALLOWED : 0);
  DWORD wait = kFirstWaitMs;
  for (int attempt = 1;; ++attempt) {
    if (sys::MoveFileExA(temporary, target.c_str(), flags)) return true;
    DWORD code = sys::GetLastError();
    if (!IsSharingRefusal(code) || attempt == kReplaceTries) return false;
    sys::Sleep(wait);
    wait *= 2;
  }
}

bool FlushFileToDisk(const char* path) { return path != nullptr && FlushToDisk(path); }

// CREATE_NEW never opens an existing name, a link included.
bool CreateMarkerFile(const char* path) {
  if (path == nullptr || !RemoveFile(path)) return false;
  HANDLE file = sys::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BOOL flushed = sys::FlushFileBuffers(file);
  sys::CloseHandle(file);
  return flushed != FALSE;
}

bool FileExists(const char* path) {
  return path != nullptr && sys::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFile(const char* path) {
  if (path == nullptr) return false;
  if (sys::DeleteFileA(path)) return true;
  DWORD code = sys::GetLastError();
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

}  // namespace tavrin::platform
