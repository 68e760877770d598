#include "support/test_windows.h"

namespace tavrin::test {
bool CanMakeTestWindows() { return false; }
struct TestWindows::Loop {};
TestWindows::TestWindows(const std::vector<std::string>&) {}
TestWindows::~TestWindows() = default;
bool TestWindows::Exists(const std::string&) { return false; }
}  // namespace tavrin::test
