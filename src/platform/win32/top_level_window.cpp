#include <windows.h>

#include "platform/syscalls.h"
#include "platform/top_level_window.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)          \
  CALL(FindWindowA, "window:FindWindowA")   \
  CALL(PostMessageA, "window:PostMessageA") \
  CALL(Sleep, "window:Sleep")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

HWND FindByTitle(const char* title) {
  if (title == nullptr) return nullptr;
  return sys::FindWindowA(nullptr, title);
}

}  // namespace

bool WindowExistsNow(const char* title) { return FindByTitle(title) != nullptr; }

bool PostWindowCloseNow(const char* title) {
  HWND window = FindByTitle(title);
  if (window == nullptr) return false;
  sys::PostMessageA(window, WM_CLOSE, 0, 0);
  return true;
}

void PauseNow(unsigned milliseconds) { sys::Sleep(milliseconds); }

}  // namespace tavrin::platform
