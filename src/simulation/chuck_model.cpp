#include "tavrin/simulation/chuck_model.h"

#include "simulation/model.h"

using tavrin::simulation::Model;
using tavrin::simulation::ModelFile;
using tavrin::simulation::ModelKind;

TAVRIN_DEFINE_MODEL_MEMBERS(CLibChuckModel, ModelKind::kChuck)

short CLibChuckModel::GetCurrentPos(double* value, short mode) const {
  return Model(ModelKind::kChuck, left_side_).ReadPos(ModelFile::kAssembly, mode, value);
}
