// Running code in a child process and killing it part-way.  Only where the
// platform can copy a running process (fork); elsewhere ChildProcessesSupported
// is false and tests that need it skip.
#ifndef TAVRIN_TESTS_SUPPORT_CHILD_PROCESS_H
#define TAVRIN_TESTS_SUPPORT_CHILD_PROCESS_H

namespace tavrin::test {

bool ChildProcessesSupported();

enum class ChildOutcome { kKilled, kFinished, kNotStarted };

// Runs body(context) in a copy of this process and kills it without warning
// (SIGKILL) after `delay_microseconds`, unless it has finished by then.
ChildOutcome RunChildAndKill(void (*body)(void*), void* context, long delay_microseconds);

// Starts body(context) in a copy of this process, running beside the caller;
// returns the child's number, or -1 when it could not be started.
long StartChild(bool (*body)(void*), void* context);
// Waits for a child of StartChild; true when its body returned true.
bool ChildSucceeded(long child);

}  // namespace tavrin::test

#endif
