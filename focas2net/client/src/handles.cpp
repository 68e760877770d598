#include "handles.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace tavrin::focas2net {

namespace {

constexpr int kDefaultTimeoutMs = 10 * 1000;
constexpr std::int32_t kLongestTimeoutS = 60 * 60;

struct Entry {
  std::shared_ptr<CncLink> link;
  int path = 1;
  int timeout_ms = kDefaultTimeoutMs;
};

struct Registry {
  std::mutex mutex;
  bool started = false;
  unsigned short last_handle = 0;
  std::map<unsigned short, Entry> handles;
  // The link a new handle to an address and port shares.
  std::map<std::string, std::shared_ptr<CncLink>> links;
};

// Never destroyed: calls may still come from other threads while the
// process exits.
Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

std::string Key(const std::string& address, unsigned short port) { return address + ":" + std::to_string(port); }

// Under the registry's lock: whether another handle still uses the link.
bool InUse(const Registry& registry, const CncLink* link) {
  for (const auto& entry : registry.handles) {
    if (entry.second.link.get() == link) return true;
  }
  return false;
}

// Under the registry's lock: takes the handle away; gives its link when it
// was the link's last handle (the caller then closes it outside the lock).
std::shared_ptr<CncLink> Remove(Registry& registry, unsigned short handle) {
  auto found = registry.handles.find(handle);
  std::shared_ptr<CncLink> link = std::move(found->second.link);
  registry.handles.erase(found);
  if (InUse(registry, link.get())) return nullptr;
  auto shared = registry.links.find(Key(link->address(), link->port()));
  if (shared != registry.links.end() && shared->second == link) registry.links.erase(shared);
  return link;
}

}  // namespace

void StartUp() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.started = true;
}

bool Started() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  return registry.started;
}

void ExitAll() {
  Registry& registry = TheRegistry();
  std::vector<std::shared_ptr<CncLink>> links;
  {
    std::lock_guard<std::mutex> lock(registry.mutex);
    for (auto& entry : registry.handles) links.push_back(std::move(entry.second.link));
    registry.handles.clear();
    registry.links.clear();
    registry.started = false;
  }
  for (const auto& link : links) link->Drop();
}

short OpenHandle(const char* address, unsigned short port, std::int32_t timeout_s, unsigned short* handle) {
  Registry& registry = TheRegistry();
  std::shared_ptr<CncLink> link;
  unsigned short number = 0;
  int timeout_ms = kDefaultTimeoutMs;
  if (timeout_s > 0) timeout_ms = static_cast<int>(std::min(timeout_s, kLongestTimeoutS)) * 1000;
  {
    std::lock_guard<std::mutex> lock(registry.mutex);
    if (!registry.started) return EW_INIERR;
    if (address == nullptr || handle == nullptr) return EW_DATA;
    if (registry.handles.size() >= 0xfffe) return EW_HANDLE;
    std::shared_ptr<CncLink>& shared = registry.links[Key(address, port)];
    if (shared == nullptr || !shared->usable()) shared = std::make_shared<CncLink>(address, port);
    link = shared;
    do {
      ++registry.last_handle;
    } while (registry.last_handle == 0 || registry.handles.count(registry.last_handle) != 0);
    number = registry.last_handle;
    registry.handles[number] = Entry{link, 1, timeout_ms};
  }
  // Opens the link, or waits for the handle that is opening it.
  const short result = link->Open(timeout_ms);
  if (result != EW_OK) {
    std::shared_ptr<CncLink> last;
    {
      std::lock_guard<std::mutex> lock(registry.mutex);
      if (registry.handles.count(number) != 0) last = Remove(registry, number);
    }
    if (last != nullptr) last->Drop();
    return result;
  }
  *handle = number;
  return EW_OK;
}

short FreeHandle(unsigned short handle) {
  Registry& registry = TheRegistry();
  std::shared_ptr<CncLink> last;
  int timeout_ms = 0;
  {
    std::lock_guard<std::mutex> lock(registry.mutex);
    if (!registry.started) return EW_INIERR;
    auto found = registry.handles.find(handle);
    if (found == registry.handles.end()) return EW_HANDLE;
    timeout_ms = found->second.timeout_ms;
    last = Remove(registry, handle);
  }
  if (last != nullptr) last->Close(timeout_ms);
  return EW_OK;
}

short FindHandle(unsigned short handle, Target* target) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  if (!registry.started) return EW_INIERR;
  auto found = registry.handles.find(handle);
  if (found == registry.handles.end()) return EW_HANDLE;
  target->link = found->second.link;
  target->path = found->second.path;
  target->timeout_ms = found->second.timeout_ms;
  return EW_OK;
}

short SelectPath(unsigned short handle, short path) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  if (!registry.started) return EW_INIERR;
  auto found = registry.handles.find(handle);
  if (found == registry.handles.end()) return EW_HANDLE;
  if (found->second.link->Path(path) == nullptr) return EW_PATH;
  found->second.path = path;
  return EW_OK;
}

}  // namespace tavrin::focas2net
