// CLibSimuModule members that work from the simulation's settings value
// "filepath": the window of the open machine file and the file names.
#include <cstdio>
#include <cstring>

#include "platform/profile_string.h"
#include "platform/top_level_window.h"
#include "simulation/sim_files.h"
#include "tavrin/simulation/simu_module.h"
#include "util/path_split.h"

namespace {

constexpr std::size_t kWindowValueSize = 256;  // "filepath" as EndSimulationSoft reads it
constexpr std::size_t kTitleSize = 100;        // document name, and the whole title
constexpr unsigned kPollMilliseconds = 100;

// The document name of a "filepath" value: the text after its last backslash
// up to and including its last 'p' (the whole text after the backslash when
// the 'p' stands before it).  False when the value holds no backslash or no
// 'p', or the name does not fit kTitleSize with its terminator.
bool DocumentName(const char* value, char (&name)[kTitleSize]) {
  const char* backslash = std::strrchr(value, '\\');
  const char* last_p = std::strrchr(value, 'p');
  if (backslash == nullptr || last_p == nullptr) return false;
  const char* begin = backslash + 1;
  std::size_t length = last_p > backslash ? static_cast<std::size_t>(last_p - begin) + 1 : std::strlen(begin);
  if (length >= sizeof name) return false;
  std::memcpy(name, begin, length);
  name[length] = '\0';
  return true;
}

}  // namespace

void CLibSimuModule::EndSimulationSoft(bool cell_desk) {
  char value[kWindowValueSize];
  tavrin::platform::ReadProfileString("OVX", "filepath", "Error", value, sizeof value,
                                      tavrin::simulation::kSettingsFile);
  if (std::strstr(value, "Error") != nullptr) return;
  char name[kTitleSize];
  if (!DocumentName(value, name)) return;
  char title[kTitleSize];
  int length = std::snprintf(title, sizeof title, "%s - %s", name, cell_desk ? "QV Cell Desk" : "QV Impact Ward");
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof title) return;

  if (!tavrin::platform::PostTopLevelWindowClose(title)) return;
  while (tavrin::platform::TopLevelWindowExists(title)) tavrin::platform::PauseMilliseconds(kPollMilliseconds);
}

bool CLibSimuModule::GetSimuAplSettingFilePath(char* path, short size, short kind) {
  char value[TAVRIN_SIMU_PATH_SIZE];
  tavrin::platform::ReadProfileString("OVX", "filepath", "", value, sizeof value, tavrin::simulation::kSettingsFile);
  if (value[0] == '\0' || path == nullptr || size < 1) return false;
  std::size_t room = size > TAVRIN_SIMU_PATH_SIZE ? TAVRIN_SIMU_PATH_SIZE : static_cast<std::size_t>(size);

  if (kind == TAVRIN_SIMU_ASSEMBLY_FILE) {
    char drive[TAVRIN_SIMU_PATH_SIZE];
    char folder[TAVRIN_SIMU_PATH_SIZE];
    char base[TAVRIN_SIMU_PATH_SIZE];
    if (!tavrin::util::SplitPath(value, drive, sizeof drive, folder, sizeof folder, base, sizeof base, nullptr, 0))
      return false;
    int length = std::snprintf(value, sizeof value, "%s%s%s.ovx", drive, folder, base);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof value) return false;
  }
  std::size_t length = std::strlen(value);
  if (length >= room) return false;
  std::memcpy(path, value, length + 1);
  return true;
}
