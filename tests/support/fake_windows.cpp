#include "support/fake_windows.h"

#include "platform/syscalls.h"

using tavrin::platform::AsSyscall;

namespace tavrin::test {

namespace {
FakeWindows* current = nullptr;
}

FakeWindows::FakeWindows() {
  current = this;
  tavrin_set_syscall("window:exists", AsSyscall(&Exists));
  tavrin_set_syscall("window:post_close", AsSyscall(&PostClose));
  tavrin_set_syscall("window:pause", AsSyscall(&Pause));
}

FakeWindows::~FakeWindows() {
  for (const char* name : {"window:exists", "window:post_close", "window:pause"}) tavrin_set_syscall(name, nullptr);
  current = nullptr;
}

bool FakeWindows::Exists(const char* title) {
  ++current->looks;
  auto found = current->windows_.find(title);
  if (found == current->windows_.end()) return false;
  if (found->second.closing && found->second.looks_left-- <= 0) {
    current->windows_.erase(found);
    return false;
  }
  return true;
}

bool FakeWindows::PostClose(const char* title) {
  auto found = current->windows_.find(title);
  if (found == current->windows_.end()) return false;
  found->second.closing = true;
  current->closes_posted.push_back(title);
  return true;
}

void FakeWindows::Pause(unsigned milliseconds) { current->pauses.push_back(milliseconds); }

}  // namespace tavrin::test
