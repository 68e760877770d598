// Top-level windows of other programs, faked for as long as the object lives:
// the platform's "window:*" entries answer from a list of titles instead of
// the window system.  A window asked to close goes after it has been looked
// for `looks_until_gone` more times.
#ifndef TAVRIN_TESTS_SUPPORT_FAKE_WINDOWS_H
#define TAVRIN_TESTS_SUPPORT_FAKE_WINDOWS_H

#include <map>
#include <string>
#include <vector>

#include "support/scoped_syscalls.h"

namespace tavrin::test {

class FakeWindows {
 public:
  FakeWindows();
  ~FakeWindows();
  FakeWindows(const FakeWindows&) = delete;
  FakeWindows& operator=(const FakeWindows&) = delete;

  void Add(const std::string& title, int looks_until_gone) { windows_[title] = {looks_until_gone, false}; }
  bool Has(const std::string& title) const { return windows_.count(title) != 0; }

  std::vector<std::string> closes_posted;  // titles
  std::vector<unsigned> pauses;            // milliseconds
  int looks = 0;                           // "window:exists" calls

 private:
  struct Window {
    int looks_left;
    bool closing;
  };
  static bool Exists(const char* title);
  static bool PostClose(const char* title);
  static void Pause(unsigned milliseconds);
  std::map<std::string, Window> windows_;
  ScopedSyscalls fakes_;
};

}  // namespace tavrin::test

#endif
