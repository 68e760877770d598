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
//
// A target that is a symbolic link is replaced at the file the link leads
// to, so that the link stays a link and its target gets the new contents
// (where the link leads to another file system, through a copy beside the
// link's target that is then renamed over it).
//
// The other calls serve the rewrite's record of intent (simulation/
// pair_replace.h): FlushFileToDisk puts a finished file's contents on the
// disk; CreateMarkerFile creates an empty file afresh (an old file or link
// of that name is removed first, never opened) and puts it and its name on
// the disk; FileExists tells whether a name exists (a link counts, wherever
// it leads); RemoveFile removes a name, true also when it did not exist.
#ifndef TAVRIN_PLATFORM_FILE_REPLACE_H
#define TAVRIN_PLATFORM_FILE_REPLACE_H

namespace tavrin::platform {

bool ReplaceWithTemporary(const char* temporary, const char* target);
bool FlushFileToDisk(const char* path);
bool CreateMarkerFile(const char* path);
bool FileExists(const char* path);
bool RemoveFile(const char* path);

}  // namespace tavrin::platform

#endif
