// Directories and their entries, for emptying, removing and creating them.
//
// Paths are taken as the caller gives them: a Windows path (drive letter)
// or a native one.  Elsewhere than Windows a Windows path is mapped onto the
// file system by ToNativePath (windows_path.h) at every call.
//
// System calls go through this file's table under names prefixed "tree:"
// (tree:FindFirstFileA, tree:DeleteFileA ... on Windows; tree:opendir,
// tree:lstat, tree:unlink ... elsewhere).
#ifndef TAVRIN_PLATFORM_DIRECTORY_TREE_H
#define TAVRIN_PLATFORM_DIRECTORY_TREE_H

#include <cstddef>

namespace tavrin::platform {

// What a directory entry is.  A link (a symbolic link, or on Windows a
// junction or other reparse point) is never a kDirectory, whatever it points
// to, so that walking a tree never leaves it.
enum class EntryKind {
  kFile,           // a file or a link to a file (removed with DeleteEntry)
  kDirectory,      // a real directory, to be walked
  kDirectoryLink,  // a link that Windows treats as a directory (removed with DeleteEntry)
};

constexpr std::size_t kEntryNameSize = 260;

struct DirectoryEntry {
  char name[kEntryNameSize];  // the entry's name, terminated
  EntryKind kind;
};

// The entries of one directory, "." and ".." included on Windows (they may
// be missing elsewhere).  Names that do not fit kEntryNameSize are skipped.
class DirectorySearch {
 public:
  DirectorySearch() = default;
  ~DirectorySearch();
  DirectorySearch(const DirectorySearch&) = delete;
  DirectorySearch& operator=(const DirectorySearch&) = delete;

  // Starts the search in `folder` (without a trailing separator).  False
  // when it cannot start: the folder is missing, is no directory, cannot be
  // read, or its name cannot be mapped or is too long for the system.
  bool Start(const char* folder);
  // The next entry; false when there are no more.
  bool Next(DirectoryEntry* entry);
  // Ends the search (also done by the destructor).
  void End();

 private:
  void* handle_ = nullptr;
  void* state_ = nullptr;
};

// The separator to put between a folder of `path`'s kind and a name: '\'
// for a Windows path (and always on Windows), '/' for a native path
// elsewhere.
char SeparatorFor(const char* path);

// Deletes an entry that is no kDirectory.  A link is removed itself; what it
// points to is never touched.  A read-only file is not deleted (false): on
// Windows the read-only attribute, elsewhere a file without the owner's
// write permission.  False also when the system refuses.
bool DeleteEntry(const char* path, EntryKind kind);

// Removes an empty directory; false when it is not removed.
bool RemoveEmptyDirectory(const char* path);

enum class CreateResult { kCreated, kAlreadyExists, kFailed };

// Creates one directory, its parent not included (on POSIX with mode 0777
// less the umask).  kAlreadyExists when the name exists already (as any kind
// of entry), kFailed for every other failure.
CreateResult CreateOneDirectory(const char* path);

}  // namespace tavrin::platform

#endif
