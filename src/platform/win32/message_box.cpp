#include <windows.h>

#include "platform/platform.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
SyscallEntry calls[] = {TAVRIN_SYSCALL(MessageBoxA)};
SyscallGroup group(calls);
}  // namespace

// No owner window; a null caption gives the system's default title.
int ShowSystemMessageBox(const char* text, const char* caption, unsigned int style) {
  return Call<decltype(&::MessageBoxA)>(calls[0])(nullptr, text, caption, style);
}

}  // namespace tavrin::platform
