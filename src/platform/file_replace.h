// Replacing a file by a finished temporary file in one step.
//
// ReplaceWithTemporary puts the file `temporary` in the place of `target`
// (both Windows paths, windows_path.h) so that `target` is never missing and
// a reader, or a crash, sees either the whole old file or the whole new one:
//   1. the temporary file takes the target's permissions (where the platform
//      has them; a failure here does not stop the replace);
//   2. the temporary file's contents are flushed to the disk;
//   3. the temporary file is renamed over the target (on Windows MoveFileExA
//      with replace-existing and write-through, retried a few times with a
//      short back-off while another program holds the target open, errors 5,
//      32 and 33);
//   4. the folder is flushed so that the new name is on the disk too (a
//      failure here is not reported: the replace itself has happened).
// False when step 2 or 3 fails; the target is then unchanged and the
// temporary file keeps its complete contents under its own name.
#ifndef TAVRIN_PLATFORM_FILE_REPLACE_H
#define TAVRIN_PLATFORM_FILE_REPLACE_H

namespace tavrin::platform {

bool ReplaceWithTemporary(const char* temporary, const char* target);

}  // namespace tavrin::platform

#endif
