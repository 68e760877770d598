// Real top-level windows of the test's own, for the window look-ups that
// the fakes in fake_windows.h stand in for elsewhere.  Made on Windows only.
#ifndef TAVRIN_TESTS_SUPPORT_TEST_WINDOWS_H
#define TAVRIN_TESTS_SUPPORT_TEST_WINDOWS_H

#include <memory>
#include <string>
#include <vector>

namespace tavrin::test {

// True where TestWindows makes real windows (Windows); false elsewhere.
bool CanMakeTestWindows();

// One top-level window per title, owned by a thread of its own that runs
// their message loop.  A window asked to close (WM_CLOSE) goes 200 ms later.
// The constructor returns once every window exists; the destructor destroys
// those left and ends the thread.  Where windows cannot be made, nothing is.
class TestWindows {
 public:
  explicit TestWindows(const std::vector<std::string>& titles);
  ~TestWindows();
  TestWindows(const TestWindows&) = delete;
  TestWindows& operator=(const TestWindows&) = delete;
  // Whether a top-level window with exactly this title exists.
  static bool Exists(const std::string& title);

 private:
  struct Loop;
  std::unique_ptr<Loop> loop_;
};

}  // namespace tavrin::test

#endif
