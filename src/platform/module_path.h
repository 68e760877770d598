// The running program's own file, and appending lines to a log file.
//
// Windows: GetModuleFileNameA of the process's executable; a line is one
// WriteFile on a handle opened for appending (FILE_APPEND_DATA), the text
// with "\r\n" for each line end, as a text-mode stream writes it, made while
// the writer holds an exclusive lock on a byte far past the file's end.
// Table entries module:GetModuleFileNameA, log:CreateFileA, log:LockFileEx,
// log:WriteFile, log:UnlockFileEx and log:CloseHandle.
//
// Linux: readlink("/proc/self/exe"); a line is one write(2) of the text and
// "\n" on a descriptor opened with O_APPEND, so that lines of several
// processes never mix.  Table entries module:readlink, log:open, log:write
// and log:close.
#ifndef TAVRIN_PLATFORM_MODULE_PATH_H
#define TAVRIN_PLATFORM_MODULE_PATH_H

#include <cstddef>

namespace tavrin::platform {

// The full path of the running executable into `path` (`size` bytes with the
// terminator).  False, with `path` empty, when it cannot be found or does not
// fit.
bool ExecutablePath(char* path, std::size_t size);

// Appends `text` and a line end to the file `path` (a native path), creating
// the file when it is missing.  False when the file cannot be opened or not
// everything was written.
bool AppendLine(const char* path, const char* text);

}  // namespace tavrin::platform

#endif
