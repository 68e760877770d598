#include "simulation/model.h"

#include <cstdlib>

#include "platform/profile_string.h"
#include "simulation/model_files.h"
#include "simulation/sim_files.h"
#include "tavrin/message.h"

namespace tavrin::simulation {

namespace {
// The box of a missing "filepath": OK button, exclamation icon, topmost.
constexpr unsigned int kMissingFilepathBoxStyle = 0x00000000u | 0x00000030u | 0x00040000u;
constexpr char kMissingFilepathMessage[] = "InitPosZErr";
constexpr char kOriginSection[] = "Work Start Pos. Setting";
}  // namespace

void Model::TellMissingFilepath() const {
  if (info().tells_missing_filepath) tavrin_show_message(kMissingFilepathMessage, nullptr, kMissingFilepathBoxStyle);
}

bool Model::CountElements(bool first_only, short* count) const {
  char machine[kPathSize];
  return ReadMachineFilePath(machine) && CountModelElements(machine, kind_, left_, first_only, count);
}

bool Model::IsDefine() const {
  short found = 0;
  return CountElements(true, &found) && found > 0;
}

short Model::GetNum() const {
  short count = 0;
  CountElements(false, &count);
  return count;
}

short Model::ReadPos(ModelFile file, short mode, double* value) const {
  char machine[kPathSize];
  if (!ReadMachineFilePath(machine)) {
    TellMissingFilepath();
    return -1;
  }
  SimulationFileNames names;
  if (file == ModelFile::kNone || !DeriveFileNames(machine, &names)) return -1;
  const char* path = file == ModelFile::kAssembly ? names.assembly : names.machine;
  return ReadModelMatrix(path, kind_, left_, mode, value) ? 0 : -1;
}

double Model::GetPosZ() const {
  double z = 0.0;
  ReadPos(ModelFile::kAssembly, 0, &z);
  return z;
}

// The assembly file first; its pass gives the model's old Z there, from
// which a model that keeps its offset between the files gets its Z in the
// machine file.  Such a model asks for its place in the machine file before
// anything is rewritten, and tells a missing "filepath" once for each file.
short Model::SetPos(double value, short mode) const {
  const bool keeps_offset = info().keeps_machine_offset;
  double machine_z = 0.0;
  if (keeps_offset) {
    if (mode != 0) return -1;
    char machine[kPathSize];
    if (!ReadMachineFilePath(machine)) {
      TellMissingFilepath();
      TellMissingFilepath();
      return -1;
    }
    ReadPos(ModelFile::kMachine, mode, &machine_z);
  }
  SimulationFileNames names;
  if (!FindSimulationFiles(&names)) return -1;
  double assembly_z = 0.0;
  if (!RewriteModelFile(names.assembly, names.assembly_temporary, kind_, left_, mode, value, &assembly_z)) return -1;
  const double machine_value = keeps_offset ? value - assembly_z + machine_z : value;
  return RewriteModelFile(names.machine, names.machine_temporary, kind_, left_, mode, machine_value) ? 0 : -1;
}

double Model::GetOriginDist() const {
  const char* key = info().origin_key[left_ ? 0 : 1];
  if (key == nullptr) return 0.0;
  char value[kPathSize];
  tavrin::platform::ReadProfileString(kOriginSection, key, "0.0", value, sizeof value, kCustomSettingsFile);
  return std::atof(value);
}

}  // namespace tavrin::simulation
