// A file held open by the test as the simulation program may hold its own,
// for the replace's retries.
#ifndef TAVRIN_TESTS_SUPPORT_HELD_FILE_H
#define TAVRIN_TESTS_SUPPORT_HELD_FILE_H

#include <filesystem>
#include <vector>

#include "support/scoped_syscalls.h"

namespace tavrin::test {

// On Windows the file is opened for reading and shared for reading and
// writing but not for deleting, so that it can be read and replacing it is
// refused (sharing violation) until Release; elsewhere nothing refuses a
// replace and nothing is held (held() is false).
class HeldFile {
 public:
  explicit HeldFile(const std::filesystem::path& path);
  ~HeldFile() { Release(); }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool held() const { return handle_ != nullptr; }
  void Release();

 private:
  void* handle_ = nullptr;
};

// While it lives, the replace's pauses between tries are recorded (in ms)
// instead of waited; with `release_at_first`, that file is released at the
// first pause, as a program that closes its file a moment later.
class ScopedReplacePauses {
 public:
  explicit ScopedReplacePauses(HeldFile* release_at_first = nullptr);
  ~ScopedReplacePauses();
  ScopedReplacePauses(const ScopedReplacePauses&) = delete;
  ScopedReplacePauses& operator=(const ScopedReplacePauses&) = delete;
  const std::vector<unsigned>& pauses() const { return pauses_; }
  // The stand-in for the pause: records it in the living object.
  static void Record(unsigned milliseconds);

 private:
  static ScopedReplacePauses* current_;
  HeldFile* release_at_first_;
  std::vector<unsigned> pauses_;
  ScopedSyscalls recorder_;
};

}  // namespace tavrin::test

#endif
