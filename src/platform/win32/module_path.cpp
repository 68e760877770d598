// The executable's path, and log lines appended in one write each.
#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

#include "platform/module_path.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                      \
  CALL(GetModuleFileNameA, "module:GetModuleFileNameA") \
  CALL(CreateFileA, "log:CreateFileA")                  \
  CALL(LockFileEx, "log:LockFileEx")                    \
  CALL(WriteFile, "log:WriteFile")                      \
  CALL(UnlockFileEx, "log:UnlockFileEx")                \
  CALL(CloseHandle, "log:CloseHandle")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

// The byte that writers lock while they append: far beyond any log's end, so
// that the lock never stands in a reader's way.
void AtLockByte(OVERLAPPED* place) {
  *place = OVERLAPPED{};
  place->Offset = 0xFFFFFFFF;
  place->OffsetHigh = 0x7FFFFFFF;
}
}  // namespace

bool ExecutablePath(char* path, std::size_t size) {
  if (path == nullptr || size == 0) return false;
  DWORD room = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
  DWORD length = sys::GetModuleFileNameA(nullptr, path, room);
  // A cut name fills the whole buffer (and may lack its terminator).
  if (length == 0 || length >= room) {
    path[0] = '\0';
    return false;
  }
  path[length] = '\0';
  return true;
}

bool AppendLine(const char* path, const char* text) {
  if (path == nullptr || text == nullptr) return false;
  // A text-mode stream's line ends: every "\n" becomes "\r\n".
  std::string line;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '\n') line += '\r';
    line += *c;
  }
  line += "\r\n";
  if (line.size() > MAXDWORD) return false;
  // Appending without FILE_WRITE_DATA: every write goes to the end of the
  // file.  Reading is asked for only because locking needs it.
  HANDLE file = sys::CreateFileA(path, FILE_APPEND_DATA | FILE_READ_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // Appends are whole on Windows' own file systems; the lock also keeps them
  // whole where a file system (or Wine) finds the end and writes in two steps.
  // Without the lock the line is still written.
  OVERLAPPED lock_place;
  AtLockByte(&lock_place);
  BOOL locked = sys::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lock_place);
  DWORD written = 0;
  BOOL done = sys::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  if (locked) {
    AtLockByte(&lock_place);
    sys::UnlockFileEx(file, 0, 1, 0, &lock_place);
  }
  sys::CloseHandle(file);
  return done && written == line.size();
}

}  // namespace tavrin::platform
