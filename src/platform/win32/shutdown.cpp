// Power-off and restart on Windows: the shutdown privilege, then ExitWindowsEx.
#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/shutdown.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
enum CallIndex { k_GetVersionExA, k_GetCurrentProcess, k_OpenProcessToken, k_LookupPrivilegeValueA,
                 k_AdjustTokenPrivileges, k_GetLastError, k_CloseHandle, k_ExitWindowsEx };
SyscallEntry calls[] = {
    TAVRIN_SYSCALL_AS("shutdown:GetVersionExA", GetVersionExA),
    TAVRIN_SYSCALL_AS("shutdown:GetCurrentProcess", GetCurrentProcess),
    TAVRIN_SYSCALL_AS("shutdown:OpenProcessToken", OpenProcessToken),
    TAVRIN_SYSCALL_AS("shutdown:LookupPrivilegeValueA", LookupPrivilegeValueA),
    TAVRIN_SYSCALL_AS("shutdown:AdjustTokenPrivileges", AdjustTokenPrivileges),
    TAVRIN_SYSCALL_AS("shutdown:GetLastError", GetLastError),
    TAVRIN_SYSCALL_AS("shutdown:CloseHandle", CloseHandle),
    TAVRIN_SYSCALL_AS("shutdown:ExitWindowsEx", ExitWindowsEx),
};
SyscallGroup group(calls);

#define SHUTDOWN_CALL(name) Call<decltype(&::name)>(calls[k_##name])

constexpr DWORD kSecurityTokenFamily = VER_PLATFORM_WIN32_NT;  // 2
}  // namespace

int RequestShutdown(bool restart, bool force) {
  UINT kind = restart ? EWX_REBOOT : EWX_POWEROFF;
  if (force) kind |= EWX_FORCE;

  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
  SHUTDOWN_CALL(GetVersionExA)(&version);
  if (version.dwPlatformId != kSecurityTokenFamily) return SHUTDOWN_CALL(ExitWindowsEx)(kind, 0) ? 1 : 0;

  HANDLE token = nullptr;
  if (!SHUTDOWN_CALL(OpenProcessToken)(SHUTDOWN_CALL(GetCurrentProcess)(), TOKEN_ADJUST_PRIVILEGES, &token)) {
    return 0;
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!SHUTDOWN_CALL(LookupPrivilegeValueA)(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) ||
      !SHUTDOWN_CALL(AdjustTokenPrivileges)(token, FALSE, &privileges, 0, nullptr, nullptr)) {
    SHUTDOWN_CALL(CloseHandle)(token);
    return 0;
  }
  // AdjustTokenPrivileges succeeds also when the privilege is not held; only
  // the error then tells (ERROR_NOT_ALL_ASSIGNED).  No shutdown is asked
  // for, and the answer is still 1.
  bool assigned = SHUTDOWN_CALL(GetLastError)() == ERROR_SUCCESS;
  SHUTDOWN_CALL(CloseHandle)(token);
  if (assigned) SHUTDOWN_CALL(ExitWindowsEx)(kind, 0);
  return 1;
}

}  // namespace tavrin::platform
