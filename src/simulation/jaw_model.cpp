#include "tavrin/simulation/jaw_model.h"

#include "simulation/matrix_line.h"
#include "simulation/model_files.h"
#include "simulation/sim_files.h"

using tavrin::simulation::ModelKind;

CLibJawModel::CLibJawModel() : left_side_(true) {}

CLibJawModel::CLibJawModel(char side) : left_side_(true) { SetLside(side); }

CLibJawModel::CLibJawModel(const CLibJawModel& other) = default;

CLibJawModel& CLibJawModel::operator=(const CLibJawModel& other) = default;

CLibJawModel::~CLibJawModel() = default;

void CLibJawModel::SetLside(char side) {
  if (side == 'L') left_side_ = true;
  if (side == 'R') left_side_ = false;
}

bool CLibJawModel::IsLside() const { return left_side_; }

bool CLibJawModel::IsDefine() const {
  char machine[tavrin::simulation::kPathSize];
  if (!tavrin::simulation::ReadMachineFilePath(machine)) return false;
  short found = 0;
  return tavrin::simulation::CountModelElements(machine, ModelKind::kJaw, left_side_, true, &found) && found > 0;
}

short CLibJawModel::GetCurrentNum(short* count) const {
  char machine[tavrin::simulation::kPathSize];
  if (!tavrin::simulation::ReadMachineFilePath(machine)) return -1;
  return tavrin::simulation::CountModelElements(machine, ModelKind::kJaw, left_side_, false, count) ? 0 : -1;
}

short CLibJawModel::GetNum() const {
  short count = 0;
  GetCurrentNum(&count);
  return count;
}

short CLibJawModel::GetCurrentPos(double* value, short mode) const {
  tavrin::simulation::SimulationFileNames names;
  if (!tavrin::simulation::FindSimulationFiles(&names)) return -1;
  return tavrin::simulation::ReadModelMatrix(names.assembly, ModelKind::kJaw, left_side_, mode, value) ? 0 : -1;
}

double CLibJawModel::GetPosZ() const {
  double z = 0.0;
  GetCurrentPos(&z, 0);
  return z;
}

short CLibJawModel::SetPos(double value, short mode) {
  return tavrin::simulation::RewriteModelFiles(ModelKind::kJaw, left_side_, mode, value, value);
}

short CLibJawModel::SetPosZ(double z) { return SetPos(z, 0); }

double CLibJawModel::GetMatrixVal(char* /*line*/, CLibXmlinf* info, short mode) const {
  return tavrin::simulation::MatrixValue(info, mode);
}

short CLibJawModel::SetMatrixVal(char* line, CLibXmlinf* info, CLibXml* /*writer*/, short mode, double value) const {
  return tavrin::simulation::RewriteMatrixLine(line, info, mode, value);
}
