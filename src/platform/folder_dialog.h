// The system's own folder-selection dialog.
//
// Windows: SHBrowseForFolderA owned by the given window, from the desktop,
// titled "Reference", file-system folders only (flags 0x0009); its callback
// asks the dialog to select the empty path when it starts.  The chosen
// folder's full path comes from SHGetPathFromIDListA.  Calls through the
// table as folder:SHBrowseForFolderA, folder:SendMessageA,
// folder:SHGetPathFromIDListA and folder:CoTaskMemFree.
//
// Linux: "zenity --file-selection --directory --title=Reference", run
// without a shell, when a program named zenity is found on PATH and DISPLAY
// or WAYLAND_DISPLAY is set; its first output line is the folder.  Calls
// through the table as folder:access, folder:pipe, folder:posix_spawn,
// folder:read, folder:close and folder:waitpid.
#ifndef TAVRIN_PLATFORM_FOLDER_DIALOG_H
#define TAVRIN_PLATFORM_FOLDER_DIALOG_H

#include <cstddef>

namespace tavrin::platform {

// Lets the operator choose a folder; true with its full path in `path`
// (`size` bytes with the terminator, at least 260), false when the operator
// cancelled, the dialog could not be shown, or the answer does not fit (the
// buffer may then hold anything).  Blocks until the dialog closes.
bool ShowFolderDialog(void* owner, char* path, std::size_t size);

}  // namespace tavrin::platform

#endif
