// The one implementation behind the three model classes (CLibChuckModel,
// CLibJawModel, CLibWorkModel): a model is a kind and a side, and the table
// kModelKinds says all that sets the kinds apart.  Each public class holds
// only its side and forwards every call to a Model of its kind; the members
// that the three share are defined once, by TAVRIN_DEFINE_MODEL_MEMBERS.
#ifndef TAVRIN_SIMULATION_MODEL_H
#define TAVRIN_SIMULATION_MODEL_H

#include "simulation/matrix_line.h"
#include "simulation/scan_line.h"
#include "simulation/sim_files.h"

namespace tavrin::simulation {

enum class ModelKind { kChuck, kJaw, kWork };

// What sets one kind of model apart from the others.
struct ModelKindInfo {
  // The opening and closing tags of the model's element in a lathe assembly.
  ScanTag open;
  ScanTag close;
  // The kinds (bits 1 << kind) whose elements must all be closed for this
  // one's to open: a chuck is a fixture outside a stock and a jaw, a
  // workpiece a stock outside a jaw; jaws open anywhere in a lathe assembly.
  unsigned outside;
  // A read of its Z position without "filepath" shows "InitPosZErr".
  bool tells_missing_filepath;
  // SetPosZ moves the model in the machine file by the distance it moves in
  // the assembly file (keeping their offset) instead of writing the same Z
  // into both; such a model is moved by its Z only.
  bool keeps_machine_offset;
  // The keys of its origin distance in CustomSetting.ini, left and right
  // side (section "Work Start Pos. Setting"); null for a model without one.
  const char* origin_key[2];
};

constexpr unsigned KindBit(ModelKind kind) { return 1u << static_cast<unsigned>(kind); }

// By ModelKind.
inline constexpr ModelKindInfo kModelKinds[] = {
    {ScanTag::kFixture, ScanTag::kFixtureEnd, KindBit(ModelKind::kJaw) | KindBit(ModelKind::kWork), false, false,
     {nullptr, nullptr}},
    {ScanTag::kLinear, ScanTag::kLinearEnd, 0, false, false, {nullptr, nullptr}},
    {ScanTag::kStock, ScanTag::kStockEnd, KindBit(ModelKind::kJaw), true, true, {"WorkOriginL", "WorkOriginR"}},
};

constexpr const ModelKindInfo& InfoOf(ModelKind kind) { return kModelKinds[static_cast<int>(kind)]; }

// The files of a position read.  kNone names no file: it reads as a file
// that cannot be opened.
enum class ModelFile { kAssembly, kMachine, kNone };

// One model of one side.  Every call reads the settings and the files anew,
// and first finishes a rewrite that a killed process left recorded
// (pair_replace.h).
class Model {
 public:
  // Reads "filepath", builds the names and finishes a recorded rewrite;
  // false when "filepath" is empty or too long, or the recorded rewrite
  // cannot be finished.
  static bool Files(SimulationFileNames* names);

  Model(ModelKind kind, bool left) : kind_(kind), left_(left) {}

  // The side after the side letter `side`: 'L' left, 'R' right, any other
  // letter leaves `left` as it is.
  static bool LeftAfter(char side, bool left) { return side == 'L' || (side != 'R' && left); }

  // At least one element of the model on its side in the machine file.
  bool IsDefine() const;
  // Adds the number of its elements in the machine file to *count (only the
  // first with `first_only`); false when "filepath" is empty or the file
  // cannot be opened.
  bool CountElements(bool first_only, short* count) const;
  // The number of its elements in the machine file, 0 when it cannot be read.
  short GetNum() const;
  // The value (by mode) of its last matrix line in `file` into *value
  // (untouched when there is none); -1 when "filepath" is empty or the file
  // cannot be opened.
  short ReadPos(ModelFile file, short mode, double* value) const;
  // Its Z position in the assembly file, 0.0 when it cannot be read.
  double GetPosZ() const;
  // Rewrites the assembly file and the machine file with `value` (by mode);
  // 0 when both were replaced, -1 at the first failure (a failure at the
  // machine file leaves the assembly file rewritten; pair_replace.h).
  short SetPos(double value, short mode) const;
  // Its origin distance; 0.0 when missing or not a number.
  double GetOriginDist() const;

 private:
  const ModelKindInfo& info() const { return InfoOf(kind_); }
  void TellMissingFilepath() const;

  ModelKind kind_;
  bool left_;
};

}  // namespace tavrin::simulation

// Defines the members that the model classes share for `Class`, a model
// class of kind `kind` (holding its side in left_side_); the classes'
// own members follow in their files.
#define TAVRIN_DEFINE_MODEL_MEMBERS(Class, kind)                                                                   \
  Class::Class() : left_side_(true) {}                                                                             \
  Class::Class(char side) : left_side_(::tavrin::simulation::Model::LeftAfter(side, true)) {}                      \
  Class::Class(const Class& other) = default;                                                                      \
  Class& Class::operator=(const Class& other) = default;                                                           \
  Class::~Class() = default;                                                                                       \
  void Class::SetLside(char side) { left_side_ = ::tavrin::simulation::Model::LeftAfter(side, left_side_); }       \
  bool Class::IsLside() const { return left_side_; }                                                               \
  bool Class::IsDefine() const { return ::tavrin::simulation::Model(kind, left_side_).IsDefine(); }                \
  double Class::GetPosZ() const { return ::tavrin::simulation::Model(kind, left_side_).GetPosZ(); }                \
  short Class::SetPos(double value, short mode) {                                                                  \
    return ::tavrin::simulation::Model(kind, left_side_).SetPos(value, mode);                                      \
  }                                                                                                                \
  short Class::SetPosZ(double z) { return SetPos(z, 0); }                                                          \
  double Class::GetMatrixVal(char*, CLibXmlinf* info, short mode) const {                                          \
    return ::tavrin::simulation::MatrixValue(info, mode);                                                          \
  }                                                                                                                \
  short Class::SetMatrixVal(char* line, CLibXmlinf* info, CLibXml*, short mode, double value) const {              \
    return ::tavrin::simulation::RewriteMatrixLine(line, info, mode, value);                                       \
  }

#endif
