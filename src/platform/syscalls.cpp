#include "platform/syscalls.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace tavrin::platform {

namespace {
struct Group {
  SyscallEntry* const* entries;
  std::size_t count;
};
std::mutex& RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}
std::vector<Group>& Registry() {
  static std::vector<Group> groups;
  return groups;
}
SyscallEntry* Find(const char* name) {
  if (name == nullptr) return nullptr;
  for (const Group& group : Registry()) {
    for (std::size_t i = 0; i < group.count; ++i) {
      if (std::strcmp(group.entries[i]->name, name) == 0) return group.entries[i];
    }
  }
  return nullptr;
}
}  // namespace

SyscallGroup::SyscallGroup(SyscallEntry* const* entries, std::size_t count) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  Registry().push_back(Group{entries, count});
}

}  // namespace tavrin::platform

extern "C" tavrin_syscall_ptr tavrin_set_syscall(const char* name, tavrin_syscall_ptr replacement) {
  std::lock_guard<std::mutex> lock(tavrin::platform::RegistryMutex());
  tavrin::platform::SyscallEntry* entry = tavrin::platform::Find(name);
  if (entry == nullptr) return nullptr;
  tavrin_syscall_ptr previous = entry->current;
  entry->current = replacement != nullptr ? replacement : entry->original;
  return previous;
}

extern "C" tavrin_syscall_ptr tavrin_get_syscall(const char* name) {
  std::lock_guard<std::mutex> lock(tavrin::platform::RegistryMutex());
  tavrin::platform::SyscallEntry* entry = tavrin::platform::Find(name);
  return entry == nullptr ? nullptr : entry->current;
}
