#include "support/fake_windows.h"

namespace tavrin::test {

namespace {
FakeWindows* current = nullptr;
}

FakeWindows::FakeWindows()
    : fakes_{{"window:exists", &Exists}, {"window:post_close", &PostClose}, {"window:pause", &Pause}} {
  current = this;
}

FakeWindows::~FakeWindows() { current = nullptr; }

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
