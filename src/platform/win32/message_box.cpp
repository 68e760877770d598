#include <windows.h>

#include "platform/platform.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN) \
  CALL(MessageBoxA, "MessageBoxA")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

// No owner window; a null caption gives the system's default title.
int ShowSystemMessageBox(const char* text, const char* caption, unsigned int style) {
  return sys::MessageBoxA(nullptr, text, caption, style);
}

}  // namespace tavrin::platform
