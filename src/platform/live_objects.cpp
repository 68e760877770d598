#include "platform/live_objects.h"

#include <mutex>
#include <unordered_map>

#include "platform/graphics.h"

namespace tavrin::platform {

namespace {
struct Registry {
  std::mutex mutex;
  std::unordered_map<const void*, live::Kind> live;
  long refused = 0;
};
Registry& Handles() {
  static Registry registry;
  return registry;
}
}  // namespace

namespace live {

const void* Add(const void* handle, Kind kind) {
  if (handle == nullptr) return handle;
  std::lock_guard<std::mutex> lock(Handles().mutex);
  Handles().live[handle] = kind;
  return handle;
}

bool Remove(const void* handle) {
  std::lock_guard<std::mutex> lock(Handles().mutex);
  return Handles().live.erase(handle) == 1;
}

bool Is(const void* handle) {
  if (handle == nullptr) return false;
  std::lock_guard<std::mutex> lock(Handles().mutex);
  return Handles().live.count(handle) == 1;
}

bool Is(const void* handle, Kind kind) {
  if (handle == nullptr) return false;
  std::lock_guard<std::mutex> lock(Handles().mutex);
  auto it = Handles().live.find(handle);
  return it != Handles().live.end() && it->second == kind;
}

void NoteRefusedDeletion() {
  std::lock_guard<std::mutex> lock(Handles().mutex);
  ++Handles().refused;
}

}  // namespace live

GraphicsCounts CurrentGraphicsCounts() {
  std::lock_guard<std::mutex> lock(Handles().mutex);
  GraphicsCounts counts{0, 0, 0, Handles().refused};
  for (const auto& [handle, kind] : Handles().live) {
    if (kind == live::Kind::kDc) ++counts.device_contexts;
    if (kind == live::Kind::kBitmap) ++counts.bitmaps;
    if (kind == live::Kind::kFont) ++counts.fonts;
  }
  return counts;
}

}  // namespace tavrin::platform
