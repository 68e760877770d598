#include "tavrin/configuration.h"

#include <cstring>
#include <string>

#include "platform/settings.h"

namespace {
bool PathFits(const char* path) { return path == nullptr || std::strlen(path) <= TAVRIN_SETTING_PATH_MAX; }
}  // namespace

TAVRIN_EXTERN_C_BEGIN

TAVRIN_FUNC(int) lib_SetDriveFolder(char drive, const char* folder) {
  bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
  if (!letter || !PathFits(folder)) return 0;
  std::string name = "TAVRIN_DRIVE_";
  name += static_cast<char>(drive >= 'a' ? drive - 'a' + 'A' : drive);
  return tavrin::platform::SetSetting(name.c_str(), folder) ? 1 : 0;
}

TAVRIN_FUNC(int) lib_SetSimulationProgram(const char* path) {
  if (!PathFits(path)) return 0;
  return tavrin::platform::SetSetting("TAVRIN_SIMULATION", path) ? 1 : 0;
}

TAVRIN_EXTERN_C_END
