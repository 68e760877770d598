#include "simulation/pair_replace.h"

#include <atomic>

#include "platform/file_lock.h"
#include "platform/file_replace.h"
#include "platform/windows_path.h"

namespace tavrin::simulation {

using tavrin::platform::FileExists;

namespace {
// Puts a temporary file in its target's place.  A temporary file that is gone
// when the rename fails was put there by another caller finishing the same
// recorded replace (model calls in other processes take no lock): done.
bool PutInPlace(const char* temporary, const char* target) {
  return tavrin::platform::ReplaceWithTemporary(temporary, target) || !FileExists(temporary);
}
}  // namespace

bool ReplacePair(const SimulationFileNames& names) {
  using tavrin::platform::RemoveFile;
  if (!tavrin::platform::FlushFileToDisk(names.assembly_temporary) ||
      !tavrin::platform::FlushFileToDisk(names.machine_temporary) ||
      !tavrin::platform::CreateMarkerFile(names.intent)) {
    RemoveFile(names.intent);
    return false;
  }
  if (!PutInPlace(names.assembly_temporary, names.assembly)) {
    RemoveFile(names.intent);
    return false;
  }
  if (!PutInPlace(names.machine_temporary, names.machine)) return false;
  RemoveFile(names.intent);
  return true;
}

namespace {
std::atomic<int> locks_held_here{0};
}  // namespace

void SetLockHeldHere(bool held) { locks_held_here += held ? 1 : -1; }

bool FinishRecordedReplace(const SimulationFileNames& names) {
  if (!FileExists(names.intent)) return true;
  tavrin::platform::FileLock probe;
  char lock[tavrin::platform::kNativePathSize];
  if (locks_held_here == 0 && tavrin::platform::ToNativePath(names.lock, lock, sizeof lock) &&
      probe.TryAcquireExisting(lock) == tavrin::platform::FileLock::Probe::kBusy) {
    return true;
  }
  if (FileExists(names.assembly_temporary) && !PutInPlace(names.assembly_temporary, names.assembly)) {
    return false;
  }
  if (FileExists(names.machine_temporary) && !PutInPlace(names.machine_temporary, names.machine)) {
    return false;
  }
  return tavrin::platform::RemoveFile(names.intent);
}

}  // namespace tavrin::simulation
