// The folder dialog, and powering off or restarting the panel's computer.
#ifndef TAVRIN_UTIL_SYSTEM_H
#define TAVRIN_UTIL_SYSTEM_H

#include "tavrin/export.h"
#include "tavrin/wintypes.h"

/* A folder dialog: writes the chosen folder into `path` (`size` bytes with the
 * terminator) and returns true, or returns false when the operator
 * cancelled.  `user` is the pointer given at installation. */
typedef bool (*tavrin_folder_dialog_handler)(HWND owner, char* path, unsigned size, void* user);

TAVRIN_EXTERN_C_BEGIN

/* Whether a top-level window of any program is titled exactly `title`, as
 * CLibSimuModule::EndSimulationSoft looks for the simulation's window:
 * Windows FindWindowA; elsewhere the X display named by DISPLAY (no display
 * or no libX11: no window).  Returns 1 when one exists, 0 when none does or
 * title is null. */
TAVRIN_FUNC(int) lib_IsTopLevelWindowOpen(const char* title);

/* Installs the folder dialog that lib_DispReferenceDialog shows (null
 * restores the platform's own).  Safe from any thread.  Tests install one so
 * that no window opens. */
TAVRIN_API void tavrin_set_folder_dialog_handler(tavrin_folder_dialog_handler handler, void* user);

/* Lets the operator choose a folder, in a dialog owned by `owner` and titled
 * "Reference", and writes its full path into `path`, a buffer of at least
 * 260 (MAX_PATH) characters.  Blocks until the dialog closes.
 *
 * The dialog is the installed handler's, else the platform's own: on Windows
 * the shell's folder browser (file-system folders only, starting at the
 * desktop); on Linux zenity's directory chooser, when zenity is on PATH and
 * a display is set (DISPLAY or WAYLAND_DISPLAY).
 *
 * True when a folder was chosen.  False when the operator cancelled, no
 * dialog could be shown, the answer does not fit 260 characters with its
 * terminator, or `path` is null; `path` is then left as it was. */
TAVRIN_FUNC(bool) lib_DispReferenceDialog(HWND owner, char* path);

/* Asks the system to restart (`restart` true) or to power off, forcing it
 * when `force` is true.  The call returns; the shutdown follows.
 *
 * Windows: the shutdown privilege is enabled in the process's token and
 * ExitWindowsEx is asked for kind 2 (restart), 8 (power off), plus 4 when
 * forced (6, 12).  Returns 0 when the token cannot be opened, the privilege
 * cannot be looked up or enabled; 1 otherwise, also when the process does
 * not hold the privilege, in which case no shutdown is asked for.
 *
 * Linux: systemd-logind is asked on the system bus (RebootWithFlags or
 * PowerOffWithFlags).  Unforced, logind's block inhibitors always stop the
 * request; forced, they are overridden where the caller may do so (root, or
 * the policy's ignore-inhibit actions).  Forcing never kills services.
 * Returns 1 when logind accepted the request, 0 when it refused it (no
 * permission, an inhibitor) or could not be reached. */
TAVRIN_FUNC(int) lib_ShutdownWindows(bool restart, bool force);

TAVRIN_EXTERN_C_END

#endif
