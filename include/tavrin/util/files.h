// Emptying, removing and creating directories.
//
// Paths are narrow strings.  A Windows path ("C:\Panel\Work") is used as it
// is on Windows; elsewhere its drive is mapped onto a folder of the file
// system as for the simulation's files (TAVRIN_DRIVE_X, else the Wine
// prefix's drive folder).  A native path ("/srv/panel/work") is used as it
// is.
#ifndef TAVRIN_UTIL_FILES_H
#define TAVRIN_UTIL_FILES_H

#include "tavrin/export.h"
#include "tavrin/wintypes.h"

TAVRIN_EXTERN_C_BEGIN

/* Deletes everything in the directory `path` (given without a trailing
 * separator) and, when remove_directory is 1, the directory itself.
 *
 * Entries whose names begin with "." are skipped and stay, and so does the
 * directory that holds one (its removal fails unnoticed).  Subdirectories
 * are emptied and removed the same way.  A link inside the tree (a symbolic
 * link; on Windows also a junction or other reparse point) is removed as an
 * entry and never followed: what it points to is left untouched.
 *
 * Returns false, at once, when the directory cannot be searched (it is
 * missing, is no directory, cannot be read; also a null path), or when an
 * entry cannot be deleted: a read-only file (on Windows the read-only
 * attribute, elsewhere a file without the owner's write permission), or any
 * refusal of the system.  What was deleted before stays deleted.  A path,
 * or an entry's path below it, longer than 260 characters gives false as
 * well (the search needs path + "\*.*" within 260 characters).  True
 * otherwise, also when the final removal of the directory failed. */
TAVRIN_FUNC(bool) lib_DeleteDirectory(const char* path, short remove_directory);

/* Creates the directory `path`; its parent must exist (on POSIX the mode is
 * 0777 less the umask).  Non-zero (1) when it was created or when the name
 * exists already, as a directory or as anything else; 0 on any other
 * failure: a missing parent, no permission, a null path, a name that cannot
 * be mapped. */
TAVRIN_FUNC(BOOL) lib_CreateDirectory(const char* path);

TAVRIN_EXTERN_C_END

#endif
