#include "tavrin/simulation/work_model.h"

#include <cstdlib>
#include <cstring>

#include "platform/profile_string.h"
#include "simulation/matrix_line.h"
#include "simulation/model_files.h"
#include "simulation/sim_files.h"
#include "tavrin/message.h"

using tavrin::simulation::ModelKind;

namespace {
// The box of a missing "filepath": OK button, exclamation icon, topmost.
constexpr unsigned int kMissingMachineBoxStyle = 0x00000000u | 0x00000030u | 0x00040000u;
constexpr char kMissingMachineMessage[] = "InitPosZErr";
}  // namespace

CLibWorkModel::CLibWorkModel() : left_side_(true) {}

CLibWorkModel::CLibWorkModel(char side) : left_side_(true) { SetLside(side); }

CLibWorkModel::CLibWorkModel(const CLibWorkModel& other) = default;

CLibWorkModel& CLibWorkModel::operator=(const CLibWorkModel& other) = default;

CLibWorkModel::~CLibWorkModel() = default;

void CLibWorkModel::SetLside(char side) {
  if (side == 'L') left_side_ = true;
  if (side == 'R') left_side_ = false;
}

bool CLibWorkModel::IsLside() const { return left_side_; }

bool CLibWorkModel::IsDefine() const {
  char machine[tavrin::simulation::kPathSize];
  if (!tavrin::simulation::ReadMachineFilePath(machine)) return false;
  short found = 0;
  return tavrin::simulation::CountModelElements(machine, ModelKind::kWork, left_side_, true, &found) && found > 0;
}

short CLibWorkModel::GetCurrentPos(double* value, const char* selector, short mode) const {
  char machine[tavrin::simulation::kPathSize];
  if (!tavrin::simulation::ReadMachineFilePath(machine)) {
    tavrin_show_message(kMissingMachineMessage, nullptr, kMissingMachineBoxStyle);
    return -1;
  }
  tavrin::simulation::SimulationFileNames names;
  if (selector == nullptr || !tavrin::simulation::DeriveFileNames(machine, &names)) return -1;
  const char* file = nullptr;
  if (std::strcmp(selector, "ovx") == 0) file = names.assembly;
  if (std::strcmp(selector, "ovp") == 0) file = names.machine;
  if (file == nullptr) return -1;
  return tavrin::simulation::ReadModelMatrix(file, ModelKind::kWork, left_side_, mode, value) ? 0 : -1;
}

double CLibWorkModel::GetPosZ() const {
  double z = 0.0;
  GetCurrentPos(&z, "ovx", 0);
  return z;
}

// The workpiece moves by the same distance in both files, so that the offset
// between its place in the assembly file and in the machine file is kept.
// Both places are asked for, and a missing "filepath" is told for each; the
// assembly file's place is read in the pass that rewrites it.
short CLibWorkModel::SetPos(double value, short mode) {
  if (mode != 0) return -1;
  char machine[tavrin::simulation::kPathSize];
  if (!tavrin::simulation::ReadMachineFilePath(machine)) {
    tavrin_show_message(kMissingMachineMessage, nullptr, kMissingMachineBoxStyle);
    tavrin_show_message(kMissingMachineMessage, nullptr, kMissingMachineBoxStyle);
    return -1;
  }
  double machine_z = 0.0;
  GetCurrentPos(&machine_z, "ovp", 0);
  return tavrin::simulation::RewriteWorkFiles(left_side_, value, machine_z);
}

short CLibWorkModel::SetPosZ(double z) { return SetPos(z, 0); }

double CLibWorkModel::GetOriginDist() const {
  char value[tavrin::simulation::kPathSize];
  tavrin::platform::ReadProfileString("Work Start Pos. Setting", left_side_ ? "WorkOriginL" : "WorkOriginR", "0.0",
                                      value, sizeof value, tavrin::simulation::kCustomSettingsFile);
  return std::atof(value);
}

double CLibWorkModel::GetMatrixVal(char* /*line*/, CLibXmlinf* info, short mode) const {
  return tavrin::simulation::MatrixValue(info, mode);
}

short CLibWorkModel::SetMatrixVal(char* line, CLibXmlinf* info, CLibXml* /*writer*/, short mode, double value) const {
  return tavrin::simulation::RewriteMatrixLine(line, info, mode, value);
}
