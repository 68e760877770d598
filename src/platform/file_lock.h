// File locking and atomic file replacement, shared by processes.
//
// A FileLock holds an exclusive lock on a file for as long as it lives, so
// that processes (and threads, each with its own FileLock) that agree to take
// the lock before touching a shared file take turns.  The lock is advisory:
// it keeps out only those who ask for it.
//
// WriteFileAtomically replaces a file's whole contents in one step: the text
// goes to a temporary file beside the target, reaches the disk, and is then
// renamed over the target, so that a reader sees either the old file or the
// new one, never a part of either.
//
// These calls are made directly, not through the system-call table of
// syscalls.h: the simulated CNC compiles this file into its own library,
// which does not carry that table.
#ifndef TAVRIN_PLATFORM_FILE_LOCK_H
#define TAVRIN_PLATFORM_FILE_LOCK_H

#include <cstdint>
#include <string>

namespace tavrin::platform {

class FileLock {
 public:
  FileLock() = default;
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Opens `path` (creating it empty when missing) and waits until this
  // object holds the exclusive lock on it.  False, with *error, when the file
  // cannot be opened or locked.  A lock already held is released first.
  bool Acquire(const std::string& path, std::string* error);
  // Takes the lock of an existing file without waiting: kAcquired (held
  // now), kBusy (another holds it), kNoFile (no such file, or it cannot be
  // opened: nobody locks with it).
  enum class Probe { kAcquired, kBusy, kNoFile };
  Probe TryAcquireExisting(const std::string& path);
  // Releases the lock and closes the file; nothing when none is held.
  void Release();
  bool held() const { return handle_ != kNoHandle; }

 private:
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;  // a descriptor or a Windows HANDLE
};

// Replaces the file `path` with `contents` (see above).  False, with *error,
// when the temporary file cannot be written or renamed; the target is then
// unchanged and the temporary file removed.
// A target that is a symbolic link is replaced at the file it leads to, so
// that the link stays a link.
bool WriteFileAtomically(const std::string& path, const std::string& contents, std::string* error);

// The file that `path` names once every symbolic link on the way is
// followed; `path` itself when it is no link or the link leads nowhere.
std::string LinkTarget(const std::string& path);

}  // namespace tavrin::platform

#endif
