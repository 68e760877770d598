#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>

#include "platform/syscalls.h"
#include "platform/text_file.h"

namespace tavrin::platform {

namespace {
int OpenWithMode(const char* path, int flags, int mode) { return ::_open(path, flags, mode); }

#define TAVRIN_SYSCALLS(CALL, OWN)         \
  CALL(fopen, "fopen")                     \
  CALL(DeleteFileA, "text:DeleteFileA")    \
  CALL(GetLastError, "text:GetLastError")  \
  OWN(open, "text:_open", OpenWithMode)    \
  CALL(_fdopen, "_fdopen")                 \
  CALL(_close, "text:_close")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

// DeleteFileA removes a link itself, never its target; the new file is then
// created exclusively, in text mode, kept out of started programs.
std::FILE* CreateFresh(const char* path) {
  if (!sys::DeleteFileA(path)) {
    DWORD code = sys::GetLastError();
    if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND) return nullptr;
  }
  int fd = sys::open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* stream = sys::_fdopen(fd, "wt");
  if (stream == nullptr) sys::_close(fd);
  return stream;
}
}  // namespace

// "t" asks for text mode whatever the runtime's default (_fmode) is; "N"
// keeps the handle out of programs that the application starts.
std::FILE* OpenTextFile(const char* path, TextFileMode mode) {
  if (path == nullptr) return nullptr;
  if (mode == TextFileMode::kCreateFresh) return CreateFresh(path);
  return sys::fopen(path, mode == TextFileMode::kRead ? "rtN" : "wtN");
}

}  // namespace tavrin::platform
