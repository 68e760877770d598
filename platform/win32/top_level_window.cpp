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

bool Exists(const char* title) { return FindByTitle(title) != nullptr; }

bool PostClose(const char* title) {
  HWND window = FindByTitle(title);
  if (window == nullptr) return false;
  Call<decltype(&::PostMessageA)>(os_calls[1])(window, WM_CLOSE, 0, 0);
  return true;
}

void Pause(unsigned milliseconds) { Call<decltype(&::Sleep)>(os_calls[2])(milliseconds); }

SyscallEntry calls[] = {
    {"window:exists", reinterpret_cast<tavrin_syscall_ptr>(&Exists), reinterpret_cast<tavrin_syscall_ptr>(&Exists)},
    {"window:post_close", reinterpret_cast<tavrin_syscall_ptr>(&PostClose),
     reinterpret_cast<tavrin_syscall_ptr>(&PostClose)},
    {"window:pause", reinterpret_cast<tavrin_syscall_ptr>(&Pause), reinterpret_cast<tavrin_syscall_ptr>(&Pause)}};
SyscallGroup group(calls);
}  // namespace

bool TopLevelWindowExists(const char* title) { return Call<decltype(&Exists)>(calls[0])(title); }
bool PostTopLevelWindowClose(const char* title) { return Call<decltype(&PostClose)>(calls[1])(title); }
void PauseMilliseconds(unsigned milliseconds) { Call<decltype(&Pause)>(calls[2])(milliseconds); }

}  // namespace tavrin::platform
