#include "tavrin/simulation/chuck_model.h"

#include "simulation/matrix_line.h"
#include "simulation/model_files.h"
#include "simulation/sim_files.h"

using tavrin::simulation::ModelKind;

CLibChuckModel::CLibChuckModel() : left_side_(true) {}

CLibChuckModel::CLibChuckModel(char side) : left_side_(true) { SetLside(side); }

CLibChuckModel::CLibChuckModel(const CLibChuckModel& other) = default;

CLibChuckModel& CLibChuckModel::operator=(const CLibChuckModel& other) = default;

CLibChuckModel::~CLibChuckModel() = default;

void CLibChuckModel::SetLside(char side) {
  if (side == 'L') left_side_ = true;
  if (side == 'R') left_side_ = false;
}

bool CLibChuckModel::IsLside() const { return left_side_; }

bool CLibChuckModel::IsDefine() const {
  char machine[tavrin::simulation::kPathSize];
  if (!tavrin::simulation::ReadMachineFilePath(machine)) return false;
  short found = 0;
  return tavrin::simulation::CountModelElements(machine, ModelKind::kChuck, left_side_, true, &found) && found > 0;
}

short CLibChuckModel::GetCurrentPos(double* value, short mode) const {
  tavrin::simulation::SimulationFileNames names;
  if (!tavrin::simulation::FindSimulationFiles(&names)) return -1;
  return tavrin::simulation::ReadModelMatrix(names.assembly, ModelKind::kChuck, left_side_, mode, value) ? 0 : -1;
}

double CLibChuckModel::GetPosZ() const {
  double z = 0.0;
  GetCurrentPos(&z, 0);
  return z;
}

short CLibChuckModel::SetPos(double value, short mode) {
  return tavrin::simulation::RewriteModelFiles(ModelKind::kChuck, left_side_, mode, value, value);
}

short CLibChuckModel::SetPosZ(double z) { return SetPos(z, 0); }

double CLibChuckModel::GetMatrixVal(char* /*line*/, CLibXmlinf* info, short mode) const {
  return tavrin::simulation::MatrixValue(info, mode);
}

short CLibChuckModel::SetMatrixVal(char* line, CLibXmlinf* info, CLibXml* /*writer*/, short mode, double value) const {
  return tavrin::simulation::RewriteMatrixLine(line, info, mode, value);
}
