#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>

#include "platform/file_lock.h"

namespace tavrin::platform {

namespace {

void SetError(std::string* error, const std::string& what, const std::string& path, DWORD code) {
  if (error == nullptr) return;
  char text[256] = {0};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) {
    text[--length] = '\0';
  }
  *error = what + " " + path + ": " + (length > 0 ? std::string(text) : "error " + std::to_string(code));
}

HANDLE AsHandle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }

}  // namespace

FileLock::~FileLock() { Release(); }

// LockFileEx locks belong to the file handle, so two FileLocks of one process
// on the same file exclude each other just as two processes do.
bool FileLock::Acquire(const std::string& path, std::string* error) {
  Release();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    SetError(error, "cannot open lock file", path, GetLastError());
    return false;
  }
  OVERLAPPED whole_file = {};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole_file)) {
    DWORD code = GetLastError();
    CloseHandle(file);
    SetError(error, "cannot lock", path, code);
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return true;
}

FileLock::Probe FileLock::TryAcquireExisting(const std::string& path) {
  Release();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Probe::kNoFile;
  OVERLAPPED whole_file = {};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole_file)) {
    CloseHandle(file);
    return Probe::kBusy;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return Probe::kAcquired;
}

void FileLock::Release() {
  if (handle_ == kNoHandle) return;
  OVERLAPPED whole_file = {};
  UnlockFileEx(AsHandle(handle_), 0, MAXDWORD, MAXDWORD, &whole_file);
  CloseHandle(AsHandle(handle_));
  handle_ = kNoHandle;
}

// A link is a reparse point; the system names the file it leads to once
// it is opened through it.  The name comes back as "\\?\C:\..." (or
// "\\?\UNC\server\..."), which is turned into a plain path again.
std::string LinkTarget(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return path;
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return path;
  // Looked up at run time: the call is missing before Windows Vista.
  using FinalName = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
  auto final_name_of = reinterpret_cast<FinalName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
  char final_name[MAX_PATH * 4];
  DWORD length = final_name_of != nullptr ? final_name_of(file, final_name, sizeof final_name, 0) : 0;
  CloseHandle(file);
  if (length == 0 || length >= sizeof final_name) return path;
  std::string target(final_name, length);
  if (target.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + target.substr(8);
  if (target.rfind("\\\\?\\", 0) == 0) return target.substr(4);
  return target;
}

bool WriteFileAtomically(const std::string& link_or_path, const std::string& contents, std::string* error) {
  const std::string path = LinkTarget(link_or_path);
  // The temporary name carries the process and a counter, so that writers in
  // several processes and threads never share one.
  static std::atomic<unsigned> counter{0};
  std::string temporary =
      path + ".tmp." + std::to_string(GetCurrentProcessId()) + "." + std::to_string(++counter);
  HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    SetError(error, "cannot create", temporary, GetLastError());
    return false;
  }
  bool written = true;
  const char* data = contents.data();
  std::size_t left = contents.size();
  while (written && left > 0) {
    DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    DWORD done = 0;
    written = WriteFile(file, data, chunk, &done, nullptr) != 0;
    data += done;
    left -= done;
  }
  if (written) written = FlushFileBuffers(file) != 0;
  DWORD code = GetLastError();
  CloseHandle(file);
  if (!written) {
    DeleteFileA(temporary.c_str());
    SetError(error, "cannot write", temporary, code);
    return false;
  }
  if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    code = GetLastError();
    DeleteFileA(temporary.c_str());
    SetError(error, "cannot replace", path, code);
    return false;
  }
  return true;
}

}  // namespace tavrin::platform
