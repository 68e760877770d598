#include "simulation/sim_files.h"

#include <cstdio>
#include <cstring>

#include "platform/profile_string.h"
#include "util/path_split.h"

namespace tavrin::simulation {

const char kSettingsFile[] = "C:\\QvApplication\\Qv Crash Preview\\Orvex.ini";
const char kCustomSettingsFile[] = "C:\\QvApplication\\Qv Crash Preview\\CustomSetting.ini";

bool ReadMachineFilePath(char (&path)[kPathSize]) {
  tavrin::platform::ReadProfileString("OVX", "filepath", "", path, sizeof path, kSettingsFile);
  return path[0] != '\0';
}

namespace {
// drive + folder + base name + suffix + extension, bounded.
bool Join(const char* drive, const char* folder, const char* base, const char* suffix, const char* extension,
          char (&out)[kPathSize]) {
  int written = std::snprintf(out, sizeof out, "%s%s%s%s%s", drive, folder, base, suffix, extension);
  return written >= 0 && static_cast<std::size_t>(written) < sizeof out;
}
}  // namespace

bool DeriveFileNames(const char* machine_file, SimulationFileNames* names) {
  if (names == nullptr) return false;
  char drive[kPathSize];
  char folder[kPathSize];
  char base[kPathSize];
  bool ok = machine_file != nullptr && std::strlen(machine_file) < kPathSize &&
            tavrin::util::SplitPath(machine_file, drive, sizeof drive, folder, sizeof folder, base, sizeof base,
                                    nullptr, 0);
  if (ok) {
    std::memcpy(names->machine, machine_file, std::strlen(machine_file) + 1);
    ok = Join(drive, folder, base, "", ".ovx", names->assembly) &&
         Join(drive, folder, base, "Temp", ".ovx", names->assembly_temporary) &&
         Join(drive, folder, base, "Temp", ".ovp", names->machine_temporary) &&
         Join(drive, folder, base, "Temp", ".ovi", names->intent) &&
         Join(drive, folder, base, "Temp", ".lock", names->lock);
  }
  if (!ok) *names = SimulationFileNames{};
  return ok;
}

bool FindSimulationFiles(SimulationFileNames* names) {
  char path[kPathSize];
  return ReadMachineFilePath(path) && DeriveFileNames(path, names);
}

}  // namespace tavrin::simulation
