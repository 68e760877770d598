// Windows paths on every platform.
//
// The simulation's settings name its files with Windows paths such as
// "C:\QvApplication\Qv Crash Preview\Orvex.ini".  On Windows a path is used as
// it is.  Elsewhere a path that begins with a drive letter, X:\a\b, is mapped
// onto a folder of the file system:
//   - the folder set with lib_SetDriveFolder, else the one named by the
//     environment variable TAVRIN_DRIVE_X (the letter in upper case), for
//     example TAVRIN_DRIVE_C=/srv/panel/c (settings.h);
//   - when that is not set, Wine's folder for the drive, $WINEPREFIX/dosdevices/x:
//     ($WINEPREFIX defaults to $HOME/.wine), so that a simulation program
//     running under Wine and this library see the same files.
// Backslashes become slashes.  Each component is taken as written when it
// exists; otherwise the folder is searched for a name that differs only in
// case, as Windows would find it (when several do, the smallest in byte order
// wins).  A component with no match, and all after it, stay as written, so
// that a file about to be created keeps the name it was given.  A path
// without a drive letter is used as it is.  A ".." that would leave the
// drive's folder (C:\..\x) is refused.
#ifndef TAVRIN_PLATFORM_WINDOWS_PATH_H
#define TAVRIN_PLATFORM_WINDOWS_PATH_H

#include <cstddef>

namespace tavrin::platform {

// The size of the buffers that hold a mapped path.
constexpr std::size_t kNativePathSize = 4096;

// Writes the file-system name of `path` into `native` (`size` bytes with the
// terminator).  False, with `native` empty, when `path` is null, when the
// drive's folder cannot be found (no variable, no $WINEPREFIX and no $HOME),
// when a ".." would leave it, or when the result does not fit.
bool ToNativePath(const char* path, char* native, std::size_t size);

}  // namespace tavrin::platform

#endif
