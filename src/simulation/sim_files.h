// The collision-check simulation's files as the library finds them.
//
// The settings file names the machine file in section "OVX", key "filepath"
// (a Windows path of at most 259 characters).  Beside the machine file, with
// its drive, folder and base name, lie the assembly file (".ovx") and, during
// a rewrite, the temporary files (base name + "Temp", ".ovx" and ".ovp") and
// the rewrite's record of intent (base name + "Temp", ".ovi";
// pair_replace.h); the command's lock file is base name + "Temp", ".lock".
// The machine file's own extension plays no part in these names.
#ifndef TAVRIN_SIMULATION_SIM_FILES_H
#define TAVRIN_SIMULATION_SIM_FILES_H

#include <cstddef>

namespace tavrin::simulation {

constexpr std::size_t kPathSize = 260;  // names with the terminator

extern const char kSettingsFile[];        // C:\QvApplication\Qv Crash Preview\Orvex.ini
extern const char kCustomSettingsFile[];  // C:\QvApplication\Qv Crash Preview\CustomSetting.ini

// Reads "filepath" anew; false when it is empty (file, section or key missing).
bool ReadMachineFilePath(char (&path)[kPathSize]);

struct SimulationFileNames {
  char machine[kPathSize];
  char assembly[kPathSize];
  char assembly_temporary[kPathSize];
  char machine_temporary[kPathSize];
  char intent[kPathSize];
  char lock[kPathSize];
};

// Builds the names from the machine file's name; false when a name would not
// fit kPathSize (the names are then empty).
bool DeriveFileNames(const char* machine_file, SimulationFileNames* names);

// Reads "filepath" and builds the names; false when it is empty or too long.
bool FindSimulationFiles(SimulationFileNames* names);

}  // namespace tavrin::simulation

#endif
