// The folder dialog seam, and shutdown.
#include "tavrin/util/system.h"

#include <cstring>

#include "platform/folder_dialog.h"
#include "platform/shutdown.h"
#include "platform/top_level_window.h"
#include "util/handler_slot.h"

namespace {

constexpr unsigned kFolderPathSize = 260;  // MAX_PATH

tavrin::HandlerSlot<tavrin_folder_dialog_handler> folder_dialog_handler;

}  // namespace

extern "C" void tavrin_set_folder_dialog_handler(tavrin_folder_dialog_handler handler, void* user) {
  folder_dialog_handler.Set(handler, user);
}

extern "C" bool TAVRIN_CALL lib_DispReferenceDialog(HWND owner, char* path) {
  if (path == nullptr) return false;
  void* user = nullptr;
  tavrin_folder_dialog_handler handler = folder_dialog_handler.Get(&user);
  // The dialog answers into a buffer of its own, so that a cancelled dialog
  // leaves the caller's buffer as it was.
  char chosen[kFolderPathSize] = {};
  bool ok = handler != nullptr ? handler(owner, chosen, kFolderPathSize, user)
                               : tavrin::platform::ShowFolderDialog(owner, chosen, kFolderPathSize);
  if (!ok) return false;
  std::size_t length = strnlen(chosen, kFolderPathSize);
  if (length == kFolderPathSize) return false;  // no terminator: the answer did not fit
  std::memcpy(path, chosen, length + 1);
  return true;
}

extern "C" int TAVRIN_CALL lib_ShutdownWindows(bool restart, bool force) {
  return tavrin::platform::RequestShutdown(restart, force);
}

extern "C" int TAVRIN_CALL lib_IsTopLevelWindowOpen(const char* title) {
  return title != nullptr && tavrin::platform::TopLevelWindowExists(title) ? 1 : 0;
}
