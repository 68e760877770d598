// The shell's folder dialog.
#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/folder_dialog.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                          \
  CALL(SHBrowseForFolderA, "folder:SHBrowseForFolderA")     \
  CALL(SendMessageA, "folder:SendMessageA")                 \
  CALL(SHGetPathFromIDListA, "folder:SHGetPathFromIDListA") \
  CALL(CoTaskMemFree, "folder:CoTaskMemFree")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

constexpr UINT kOnlyFileSystemFolders = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;  // 0x0009
char kInitialSelection[] = "";

// When the dialog starts, it is asked to select the path given as the data.
int CALLBACK OnDialogMessage(HWND dialog, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED) sys::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
  return 0;
}
}  // namespace

// The dialog writes the chosen folder's display name into `path` (it needs
// MAX_PATH bytes), which is then replaced by the full path.
bool ShowFolderDialog(void* owner, char* path, std::size_t size) {
  if (path == nullptr || size < MAX_PATH) return false;
  BROWSEINFOA info{};
  info.hwndOwner = static_cast<HWND>(owner);
  info.pidlRoot = nullptr;
  info.pszDisplayName = path;
  info.lpszTitle = "Reference";
  info.ulFlags = kOnlyFileSystemFolders;
  info.lpfn = &OnDialogMessage;
  info.lParam = reinterpret_cast<LPARAM>(kInitialSelection);
  PIDLIST_ABSOLUTE chosen = sys::SHBrowseForFolderA(&info);
  if (chosen == nullptr) return false;
  sys::SHGetPathFromIDListA(chosen, path);
  sys::CoTaskMemFree(chosen);
  return true;
}

}  // namespace tavrin::platform
