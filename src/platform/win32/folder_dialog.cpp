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
enum CallIndex { k_SHBrowseForFolderA, k_SendMessageA, k_SHGetPathFromIDListA, k_CoTaskMemFree };
SyscallEntry calls[] = {
    TAVRIN_SYSCALL_AS("folder:SHBrowseForFolderA", SHBrowseForFolderA),
    TAVRIN_SYSCALL_AS("folder:SendMessageA", SendMessageA),
    TAVRIN_SYSCALL_AS("folder:SHGetPathFromIDListA", SHGetPathFromIDListA),
    TAVRIN_SYSCALL_AS("folder:CoTaskMemFree", CoTaskMemFree),
};
SyscallGroup group(calls);

#define FOLDER_CALL(name) Call<decltype(&::name)>(calls[k_##name])

constexpr UINT kOnlyFileSystemFolders = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;  // 0x0009
char kInitialSelection[] = "";

// When the dialog starts, it is asked to select the path given as the data.
int CALLBACK OnDialogMessage(HWND dialog, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED) FOLDER_CALL(SendMessageA)(dialog, BFFM_SETSELECTIONA, TRUE, data);
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
  PIDLIST_ABSOLUTE chosen = FOLDER_CALL(SHBrowseForFolderA)(&info);
  if (chosen == nullptr) return false;
  FOLDER_CALL(SHGetPathFromIDListA)(chosen, path);
  FOLDER_CALL(CoTaskMemFree)(chosen);
  return true;
}

}  // namespace tavrin::platform
