#include <windows.h>

#include "platform/syscalls.h"
#include "platform/top_level_window.h"

namespace tavrin::platform {

namespace {
SyscallEntry os_calls[] = {TAVRIN_SYSCALL_AS("window:FindWindowA", FindWindowA),
                           TAVRIN_SYSCALL_AS("window:PostMessageA", PostMessageA),
                           TAVRIN_SYSCALL_AS("window:Sleep", Sleep)};
SyscallGroup os_group(os_calls);

HWND FindByTitle(const char* title) {
  if (title == nullptr) return nullptr;
  return Call<decltype(&::FindWindowA)>(os_calls[0])(nullptr, title);
}

}  // namespace

bool WindowExistsNow(const char* title) { return FindByTitle(title) != nullptr; }

bool PostWindowCloseNow(const char* title) {
  HWND window = FindByTitle(title);
  if (window == nullptr) return false;
  Call<decltype(&::PostMessageA)>(os_calls[1])(window, WM_CLOSE, 0, 0);
  return true;
}

void PauseNow(unsigned milliseconds) { Call<decltype(&::Sleep)>(os_calls[2])(milliseconds); }

}  // namespace tavrin::platform
