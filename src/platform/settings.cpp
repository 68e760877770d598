#include "platform/settings.h"

#include <map>
#include <mutex>

#include "platform/platform.h"

namespace tavrin::platform {

namespace {
std::mutex settings_mutex;
std::map<std::string, std::string>& Settings() {
  static std::map<std::string, std::string> settings;
  return settings;
}
}  // namespace

bool SetSetting(const char* name, const char* value) {
  if (name == nullptr || name[0] == '\0') return false;
  std::lock_guard<std::mutex> lock(settings_mutex);
  if (value == nullptr || value[0] == '\0') {
    Settings().erase(name);
  } else {
    Settings()[name] = value;
  }
  return true;
}

bool GetSetting(const char* name, std::string* value) {
  if (name == nullptr) return false;
  {
    std::lock_guard<std::mutex> lock(settings_mutex);
    auto found = Settings().find(name);
    if (found != Settings().end()) {
      *value = found->second;
      return true;
    }
  }
  return GetEnvironmentValue(name, value);
}

std::vector<std::string> WithSettings(std::vector<std::string> environment) {
  std::lock_guard<std::mutex> lock(settings_mutex);
  for (const auto& setting : Settings()) {
    std::string prefix = setting.first + "=";
    for (auto entry = environment.begin(); entry != environment.end();) {
      entry = entry->compare(0, prefix.size(), prefix) == 0 ? environment.erase(entry) : entry + 1;
    }
    environment.push_back(prefix + setting.second);
  }
  return environment;
}

}  // namespace tavrin::platform
