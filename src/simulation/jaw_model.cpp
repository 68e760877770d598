#include "tavrin/simulation/jaw_model.h"

#include "simulation/model.h"

using tavrin::simulation::Model;
using tavrin::simulation::ModelFile;
using tavrin::simulation::ModelKind;

TAVRIN_DEFINE_MODEL_MEMBERS(CLibJawModel, ModelKind::kJaw)

short CLibJawModel::GetCurrentPos(double* value, short mode) const {
  return Model(ModelKind::kJaw, left_side_).ReadPos(ModelFile::kAssembly, mode, value);
}

short CLibJawModel::GetCurrentNum(short* count) const {
  return Model(ModelKind::kJaw, left_side_).CountElements(false, count) ? 0 : -1;
}

short CLibJawModel::GetNum() const { return Model(ModelKind::kJaw, left_side_).GetNum(); }
