// Emptying, removing and creating directories.
#include "tavrin/util/files.h"

#include <cstring>

#include "platform/directory_tree.h"

namespace tavrin::util {

namespace {

// The buffers of the search pattern and of an entry's path.
constexpr std::size_t kPathBufferSize = 261;
constexpr char kSearchSuffix[] = "\\*.*";

// "folder" + separator + name into `out`; false when it does not fit.
bool JoinPath(const char* folder, char separator, const char* name, char (&out)[kPathBufferSize]) {
  std::size_t folder_length = std::strlen(folder);
  std::size_t name_length = std::strlen(name);
  if (folder_length + 1 + name_length + 1 > kPathBufferSize) return false;
  std::memcpy(out, folder, folder_length);
  out[folder_length] = separator;
  std::memcpy(out + folder_length + 1, name, name_length + 1);
  return true;
}

bool DeleteTree(const char* path, bool remove_directory) {
  // The search pattern, path + "\*.*", must fit its buffer on every platform.
  if (std::strlen(path) + sizeof kSearchSuffix > kPathBufferSize) return false;
  platform::DirectorySearch search;
  if (!search.Start(path)) return false;
  char separator = platform::SeparatorFor(path);
  platform::DirectoryEntry entry;
  while (search.Next(&entry)) {
    if (entry.name[0] == '.') continue;
    char entry_path[kPathBufferSize];
    if (!JoinPath(path, separator, entry.name, entry_path)) return false;
    bool deleted = entry.kind == platform::EntryKind::kDirectory ? DeleteTree(entry_path, true)
                                                                 : platform::DeleteEntry(entry_path, entry.kind);
    if (!deleted) return false;
  }
  search.End();
  // A directory that still holds a dot-named entry stays, unnoticed.
  if (remove_directory) platform::RemoveEmptyDirectory(path);
  return true;
}

}  // namespace

}  // namespace tavrin::util

extern "C" bool TAVRIN_CALL lib_DeleteDirectory(const char* path, short remove_directory) {
  if (path == nullptr) return false;
  return tavrin::util::DeleteTree(path, remove_directory == 1);
}

extern "C" BOOL TAVRIN_CALL lib_CreateDirectory(const char* path) {
  if (path == nullptr) return 0;
  return tavrin::platform::CreateOneDirectory(path) == tavrin::platform::CreateResult::kFailed ? 0 : 1;
}
