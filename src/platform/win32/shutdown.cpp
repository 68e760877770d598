// Power-off and restart on Windows: the shutdown privilege, then ExitWindowsEx.
#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/shutdown.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                              \
  CALL(GetVersionExA, "shutdown:GetVersionExA")                 \
  CALL(GetCurrentProcess, "shutdown:GetCurrentProcess")         \
  CALL(OpenProcessToken, "shutdown:OpenProcessToken")           \
  CALL(LookupPrivilegeValueA, "shutdown:LookupPrivilegeValueA") \
  CALL(AdjustTokenPrivileges, "shutdown:AdjustTokenPrivileges") \
  CALL(GetLastError, "shutdown:GetLastError")                   \
  CALL(CloseHandle, "shutdown:CloseHandle")                     \
  CALL(ExitWindowsEx, "shutdown:ExitWindowsEx")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

constexpr DWORD kSecurityTokenFamily = VER_PLATFORM_WIN32_NT;  // 2
}  // namespace

int RequestShutdown(bool restart, bool force) {
  UINT kind = restart ? EWX_REBOOT : EWX_POWEROFF;
  if (force) kind |= EWX_FORCE;

  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
  sys::GetVersionExA(&version);
  if (version.dwPlatformId != kSecurityTokenFamily) return sys::ExitWindowsEx(kind, 0) ? 1 : 0;

  HANDLE token = nullptr;
  if (!sys::OpenProcessToken(sys::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) {
    return 0;
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!sys::LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) ||
      !sys::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr)) {
    sys::CloseHandle(token);
    return 0;
  }
  // AdjustTokenPrivileges succeeds also when the privilege is not held; only
  // the error then tells (ERROR_NOT_ALL_ASSIGNED).  No shutdown is asked
  // for, and the answer is still 1.
  bool assigned = sys::GetLastError() == ERROR_SUCCESS;
  sys::CloseHandle(token);
  if (assigned) sys::ExitWindowsEx(kind, 0);
  return 1;
}

}  // namespace tavrin::platform
