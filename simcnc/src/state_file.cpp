// Loading and saving the machine through description files, and the shared
// state file that several processes take turns on.
#include <fstream>
#include <mutex>
#include <sstream>

#include "description_file.h"
#include "platform/file_lock.h"
#include "simulator.h"

namespace tavrin::simcnc {

using detail::Machine;
using detail::Sim;

namespace detail {

bool ReadMachineFile(const std::string& path, Machine* machine, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) {
    if (error != nullptr) *error = path + ": cannot open the file";
    return false;
  }
  std::ostringstream text;
  text << file.rdbuf();  // an empty file gives no text, and the parser says what is missing
  if (file.bad()) {
    if (error != nullptr) *error = path + ": cannot read the file";
    return false;
  }
  return ParseMachine(text.str(), path, machine, error);
}

}  // namespace detail

namespace {

// Parsing happens outside the lock; only the swap takes it.
bool Install(bool parsed, Machine& machine) {
  if (!parsed) return false;
  std::lock_guard<std::mutex> lock(Sim().mutex);
  Sim().ReplaceMachine(std::move(machine));
  return true;
}

}  // namespace

bool LoadFile(const std::string& path, std::string* error) {
  Machine machine;
  return Install(detail::ReadMachineFile(path, &machine, error), machine);
}

bool LoadText(const std::string& text, std::string* error) {
  Machine machine;
  return Install(detail::ParseMachine(text, "text", &machine, error), machine);
}

std::string SaveText() {
  std::lock_guard<std::mutex> lock(Sim().mutex);
  return detail::FormatMachine(Sim().machine);
}

bool SaveFile(const std::string& path, std::string* error) {
  return platform::WriteFileAtomically(path, SaveText(), error);
}

// The lock is taken on a file of its own beside the state file: the state
// file itself is replaced by every save, and a lock on the file it replaced
// would keep no one out.
bool WithStateFile(const std::string& path, void (*fn)(void* user), void* user, std::string* error) {
  platform::FileLock lock;
  if (!lock.Acquire(path + ".lock", error)) return false;
  if (!LoadFile(path, error)) return false;
  if (fn != nullptr) fn(user);
  return SaveFile(path, error);
}

}  // namespace tavrin::simcnc
