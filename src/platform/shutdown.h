// Powering the computer off or restarting it.
//
// Windows: the shutdown privilege is enabled in the process's token and
// ExitWindowsEx is asked for EWX_REBOOT (2) or EWX_POWEROFF (8), plus
// EWX_FORCE (4) when forced.  The calls go through this file's table as
// shutdown:GetVersionExA, shutdown:GetCurrentProcess,
// shutdown:OpenProcessToken, shutdown:LookupPrivilegeValueA,
// shutdown:AdjustTokenPrivileges, shutdown:GetLastError,
// shutdown:CloseHandle and shutdown:ExitWindowsEx.
//
// Linux: the request goes to systemd-logind on the system bus
// (org.freedesktop.login1.Manager, PowerOffWithFlags or RebootWithFlags).
// Unforced, the flag that makes logind respect block inhibitors for every
// caller, root included, is set; forced, no flag is set, so that inhibitors
// are overridden where the caller is allowed to (root, or the policy's
// "ignore-inhibit" actions).  Forcing never kills services.  The calls go
// through the table as shutdown:sd_bus_open_system,
// shutdown:sd_bus_call_method, shutdown:sd_bus_error_free,
// shutdown:sd_bus_message_unref and shutdown:sd_bus_flush_close_unref.
#ifndef TAVRIN_PLATFORM_SHUTDOWN_H
#define TAVRIN_PLATFORM_SHUTDOWN_H

namespace tavrin::platform {

// Asks for a restart (`restart`) or a power-off, forced or not.
// Windows, security-token family: 0 when a privilege step failed; 1
// otherwise, also when the privilege was not held and so no shutdown was
// asked for.  Windows, other family: the request is made at once; 1 when it
// was accepted, 0 when refused.  Linux: 1 when logind accepted the request,
// 0 when it refused it or could not be reached.
int RequestShutdown(bool restart, bool force);

}  // namespace tavrin::platform

#endif
