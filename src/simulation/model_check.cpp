#include "tavrin/simulation/model_check.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "platform/file_lock.h"
#include "platform/windows_path.h"
#include "simulation/model.h"
#include "simulation/model_files.h"
#include "simulation/pair_replace.h"

namespace {

using tavrin::simulation::ModelKind;

bool KindOf(char model, ModelKind* kind) {
  switch (model) {
    case 'C': *kind = ModelKind::kChuck; return true;
    case 'J': *kind = ModelKind::kJaw; return true;
    case 'W': *kind = ModelKind::kWork; return true;
    default: return false;
  }
}

// Copies `text` into a field of `size` characters, cut to fit.
void Put(char* field, std::size_t size, const char* text) { std::snprintf(field, size, "%s", text); }

bool CheckFile(const char* file, ModelKind kind, bool left, TavrinModelFileCheck* out) {
  Put(out->file, sizeof out->file, file);
  tavrin::simulation::RewriteCheck check;
  if (!tavrin::simulation::CheckModelFile(file, kind, left, &check)) {
    Put(out->problem, sizeof out->problem, "the file cannot be opened or read");
    return false;
  }
  out->matrix_lines = check.matrix_lines;
  out->rewritable = check.rewritable;
  out->problem_line = check.problem_line;
  Put(out->problem, sizeof out->problem, check.problem);
  return true;
}

}  // namespace

extern "C" short TAVRIN_CALL lib_CheckModelRewrite(char model, char side, TavrinModelCheck* check) {
  ModelKind kind;
  if (check == nullptr || !KindOf(model, &kind) || (side != 'L' && side != 'R')) return -2;
  std::memset(check, 0, sizeof *check);
  tavrin::simulation::SimulationFileNames names;
  if (!tavrin::simulation::Model::Files(&names)) return -1;
  const bool left = side == 'L';
  const bool assembly = CheckFile(names.assembly, kind, left, &check->assembly);
  const bool machine = CheckFile(names.machine, kind, left, &check->machine);
  return assembly && machine ? 0 : -1;
}

extern "C" void* TAVRIN_CALL lib_LockSimulationFiles(void) {
  tavrin::simulation::SimulationFileNames names;
  char native[tavrin::platform::kNativePathSize];
  if (!tavrin::simulation::FindSimulationFiles(&names) ||
      !tavrin::platform::ToNativePath(names.lock, native, sizeof native)) {
    return nullptr;
  }
  auto* lock = new (std::nothrow) tavrin::platform::FileLock;
  std::string error;
  if (lock != nullptr && !lock->Acquire(native, &error)) {
    delete lock;
    lock = nullptr;
  }
  if (lock != nullptr) tavrin::simulation::SetLockHeldHere(true);
  return lock;
}

extern "C" void TAVRIN_CALL lib_UnlockSimulationFiles(void* lock) {
  if (lock == nullptr) return;
  delete static_cast<tavrin::platform::FileLock*>(lock);
  tavrin::simulation::SetLockHeldHere(false);
}
