#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/file_replace.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)           \
  CALL(CreateFileA, "CreateFileA")           \
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
// covers the folder flush of step 4.
bool ReplaceWithTemporary(const char* temporary, const char* target) {
  if (temporary == nullptr || target == nullptr) return false;
  if (!FlushToDisk(temporary)) return false;
  DWORD wait = kFirstWaitMs;
  for (int attempt = 1;; ++attempt) {
    if (sys::MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    DWORD code = sys::GetLastError();
    if (!IsSharingRefusal(code) || attempt == kReplaceTries) return false;
    sys::Sleep(wait);
    wait *= 2;
  }
}

}  // namespace tavrin::platform
