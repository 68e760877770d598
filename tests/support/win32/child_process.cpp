#include "support/child_process.h"

namespace tavrin::test {

// Windows cannot copy a running process; the crash test runs elsewhere.
bool ChildProcessesSupported() { return false; }

ChildOutcome RunChildAndKill(void (*)(void*), void*, long) { return ChildOutcome::kNotStarted; }

long StartChild(bool (*)(void*), void*) { return -1; }
bool ChildSucceeded(long) { return false; }

}  // namespace tavrin::test
