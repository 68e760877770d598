// The bitmap look-up chain, the window invalidation handler and the count of
// live drawing objects.
#include "tavrin/display/resources.h"

#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/graphics.h"
#include "platform/platform.h"

namespace tavrin {

namespace {

struct Settings {
  std::mutex mutex;
  std::vector<std::string> folders;
  tavrin_invalidate_handler handler = nullptr;
  void* context = nullptr;
};
Settings& Shared() {
  static Settings settings;
  return settings;
}

constexpr const char* kExtensions[] = {".bmp", ".png"};

std::vector<std::string> SearchFolders() {
  std::vector<std::string> folders;
  {
    std::lock_guard<std::mutex> lock(Shared().mutex);
    folders = Shared().folders;
  }
  std::string list;
  if (platform::GetEnvironmentValue("TAVRIN_RESOURCES", &list)) {
    std::size_t start = 0;
    while (start <= list.size()) {
      std::size_t end = list.find(platform::PathListSeparator(), start);
      if (end == std::string::npos) end = list.size();
      if (end > start) folders.push_back(list.substr(start, end - start));
      start = end + 1;
    }
  }
  if (platform::InstalledResourceFolder()[0] != '\0') folders.emplace_back(platform::InstalledResourceFolder());
  return folders;
}

// The file name without extension: the number, or the name when it is safe
// to put in a path.
bool FileStem(const char* name, std::string* stem) {
  if (IS_INTRESOURCE(name)) {
    *stem = std::to_string(static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(name)));
    return true;
  }
  if (name[0] == '\0' || std::strpbrk(name, "/\\") != nullptr) return false;
  *stem = name;
  return true;
}

}  // namespace

HBITMAP LoadBitmapResource(const char* name) {
  if (name == nullptr) return nullptr;
  if (HBITMAP bitmap = platform::LoadBitmapFromModules(name)) return bitmap;
  std::string stem;
  if (!FileStem(name, &stem)) return nullptr;
  for (std::string folder : SearchFolders()) {
    if (folder.back() != '/' && folder.back() != '\\') folder += '/';
    for (const char* extension : kExtensions) {
      if (HBITMAP bitmap = platform::LoadBitmapFile((folder + stem + extension).c_str())) return bitmap;
    }
  }
  return nullptr;
}

void InvalidateWindow(HWND window, const RECT* rect, bool erase) {
  tavrin_invalidate_handler handler;
  void* context;
  {
    std::lock_guard<std::mutex> lock(Shared().mutex);
    handler = Shared().handler;
    context = Shared().context;
  }
  if (handler != nullptr) {
    handler(window, rect, context);
  } else {
    platform::InvalidateWindowRect(window, rect, erase);
  }
}

}  // namespace tavrin

extern "C" int tavrin_add_resource_folder(const char* folder) {
  if (folder == nullptr || folder[0] == '\0' || std::strlen(folder) > TAVRIN_RESOURCE_FOLDER_PATH_MAX) return 0;
  std::lock_guard<std::mutex> lock(tavrin::Shared().mutex);
  if (tavrin::Shared().folders.size() >= TAVRIN_RESOURCE_FOLDERS_MAX) return 0;
  tavrin::Shared().folders.emplace_back(folder);
  return 1;
}

extern "C" void tavrin_clear_resource_folders(void) {
  std::lock_guard<std::mutex> lock(tavrin::Shared().mutex);
  tavrin::Shared().folders.clear();
}

extern "C" void tavrin_set_invalidate_handler(tavrin_invalidate_handler handler, void* context) {
  std::lock_guard<std::mutex> lock(tavrin::Shared().mutex);
  tavrin::Shared().handler = handler;
  tavrin::Shared().context = context;
}

extern "C" void tavrin_get_gdi_counts(tavrin_gdi_counts* counts) {
  if (counts == nullptr) return;
  tavrin::platform::GraphicsCounts current = tavrin::platform::CurrentGraphicsCounts();
  counts->device_contexts = current.device_contexts;
  counts->bitmaps = current.bitmaps;
  counts->fonts = current.fonts;
  counts->refused_deletions = current.refused_deletions;
}
