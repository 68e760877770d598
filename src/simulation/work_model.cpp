#include "tavrin/simulation/work_model.h"

#include <cstring>

#include "simulation/model.h"

using tavrin::simulation::Model;
using tavrin::simulation::ModelFile;
using tavrin::simulation::ModelKind;

TAVRIN_DEFINE_MODEL_MEMBERS(CLibWorkModel, ModelKind::kWork)

short CLibWorkModel::GetCurrentPos(double* value, const char* selector, short mode) const {
  ModelFile file = ModelFile::kNone;
  if (selector != nullptr && std::strcmp(selector, "ovx") == 0) file = ModelFile::kAssembly;
  if (selector != nullptr && std::strcmp(selector, "ovp") == 0) file = ModelFile::kMachine;
  return Model(ModelKind::kWork, left_side_).ReadPos(file, mode, value);
}

double CLibWorkModel::GetOriginDist() const { return Model(ModelKind::kWork, left_side_).GetOriginDist(); }
