#include "simulation/model.h"

#include <cstdlib>

#include "platform/file_replace.h"
#include "platform/profile_string.h"
#include "simulation/model_files.h"
#include "simulation/pair_replace.h"
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

bool Model::Files(SimulationFileNames* names) {
  return FindSimulationFiles(names) && FinishRecordedReplace(*names);
}

bool Model::CountElements(bool first_only, short* count) const {
  SimulationFileNames names;
  return Files(&names) && CountModelElements(names.machine, kind_, left_, first_only, count);
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
  if (file == ModelFile::kNone || !DeriveFileNames(machine, &names) || !FinishRecordedReplace(names)) return -1;
  const char* path = file == ModelFile::kAssembly ? names.assembly : names.machine;
  return ReadModelMatrix(path, kind_, left_, mode, value) ? 0 : -1;
}

double Model::GetPosZ() const {
  double z = 0.0;
  ReadPos(ModelFile::kAssembly, 0, &z);
  return z;
}

// The assembly file's pass first; it gives the model's old Z there, from
// which a model that keeps its offset between the files gets its Z in the
// machine file.  Such a model asks for its place in the machine file before
// anything is rewritten, and tells a missing "filepath" once for each file.
// Both temporary files are written before either file is replaced, and the
// two are put in place as one step (pair_replace.h).  When the machine
// file's pass fails, the assembly file is replaced alone, as a rewrite
// that fails at its second file always has.
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
  if (!Files(&names)) return -1;
  double assembly_z = 0.0;
  bool opened = false;
  if (!WriteRewrittenFile(names.assembly, names.assembly_temporary, kind_, left_, mode, value, &assembly_z, &opened)) {
    return -1;
  }
  const double machine_value = keeps_offset ? value - assembly_z + machine_z : value;
  if (!WriteRewrittenFile(names.machine, names.machine_temporary, kind_, left_, mode, machine_value, nullptr,
                          &opened)) {
    tavrin::platform::ReplaceWithTemporary(names.assembly_temporary, names.assembly);
    return -1;
  }
  return ReplacePair(names) ? 0 : -1;
}

double Model::GetOriginDist() const {
  const char* key = info().origin_key[left_ ? 0 : 1];
  if (key == nullptr) return 0.0;
  char value[kPathSize];
  tavrin::platform::ReadProfileString(kOriginSection, key, "0.0", value, sizeof value, kCustomSettingsFile);
  return std::atof(value);
}

}  // namespace tavrin::simulation
