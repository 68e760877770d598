// Simulation file commands: the chuck, jaw and workpiece models of each
// spindle (defined, jaw count, Z position read and written, workpiece origin
// distance) and the machine structure model.  They read the collision-check
// simulation's files through drive C:, which --drive-c (TAVRIN_DRIVE_C) maps
// onto a folder off Windows; no CNC is involved.
#include <cmath>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "parse.h"
#include "tavrin/machine/mchn_struct_model.h"
#include "tavrin/simulation/chuck_model.h"
#include "tavrin/simulation/jaw_model.h"
#include "tavrin/simulation/model_check.h"
#include "tavrin/simulation/work_model.h"

namespace tavrin::cli {

namespace {

char SideLetter(bool left) { return left ? 'L' : 'R'; }

// The models of each spindle as the commands treat them.  A model object
// holds only its side, so every call makes its own.
struct SimModel {
  const char* name;   // in the commands and the JSON: chuck, jaws, work
  const char* label;  // in tables, help and set's message: chuck, jaws, workpiece
  char letter;        // for lib_CheckModelRewrite: C, J, W
  bool (*is_define)(char side);
  double (*get_z)(char side);
  short (*set_z)(char side, double z);
  short (*count)(char side);    // the number of jaws; null for the other models
  double (*origin)(char side);  // the origin distance; null for the other models
};

template <typename Model>
constexpr SimModel SimModelOf(const char* name, const char* label, char letter, short (*count)(char) = nullptr,
                              double (*origin)(char) = nullptr) {
  return {name, label, letter, [](char side) { return Model(side).IsDefine(); },
          [](char side) { return Model(side).GetPosZ(); }, [](char side, double z) { return Model(side).SetPosZ(z); },
          count, origin};
}

// In the order of sim models.
constexpr SimModel kSimModels[] = {
    SimModelOf<CLibChuckModel>("chuck", "chuck", 'C'),
    SimModelOf<CLibJawModel>("jaws", "jaws", 'J', [](char side) { return CLibJawModel(side).GetNum(); }),
    SimModelOf<CLibWorkModel>("work", "workpiece", 'W', nullptr,
                              [](char side) { return CLibWorkModel(side).GetOriginDist(); }),
};

std::vector<std::string> SimModelNames() {
  std::vector<std::string> names;
  for (const SimModel& model : kSimModels) names.push_back(model.name);
  return names;
}

// The model of a name of SimModelNames (the commands accept no other).
const SimModel& SimModelNamed(const std::string& name) {
  for (const SimModel& model : kSimModels) {
    if (name == model.name) return model;
  }
  return kSimModels[0];
}

int NotDefined(Output& out, const char* model, char side) {
  return out.Fail(kExitFailed, std::string("no ") + model + " defined on side " + side +
                                   " (or the simulation's files cannot be found: is drive C: mapped with --drive-c?)");
}

int ShowModels(Output& out) {
  Table table{{"side", "model", "defined", "count", "Z", "origin distance"}, {}};
  Json sides = Json::object();
  for (bool left : {true, false}) {
    const char side = SideLetter(left);
    Json entry;
    for (const SimModel& model : kSimModels) {
      // The JSON fields in the order of the table's columns.
      Json& fields = entry[model.name];
      const bool defined = model.is_define(side);
      fields["defined"] = defined;
      std::string count_text, origin_text;
      if (model.count != nullptr) {
        const short count = model.count(side);
        fields["count"] = count;
        count_text = std::to_string(count);
      }
      const double z = model.get_z(side);
      fields["z"] = z;
      if (model.origin != nullptr) {
        const double origin = model.origin(side);
        fields["origin_distance"] = origin;
        origin_text = NumberText(origin);
      }
      table.rows.push_back(
          {std::string(1, side), model.label, defined ? "yes" : "no", count_text, NumberText(z), origin_text});
    }
    sides[std::string(1, side)] = entry;
  }
  out.data()["sides"] = sides;
  bool any = false;
  for (const auto& side : sides) {
    for (const auto& model : side) any = any || model["defined"].get<bool>();
  }
  TavrinModelCheck check;
  if (!any && lib_CheckModelRewrite('C', 'L', &check) == -1) {
    return out.Fail(kExitFailed, "the simulation's files cannot be read (is Orvex.ini's \"filepath\" set, and is "
                                 "drive C: mapped with --drive-c DIR or TAVRIN_DRIVE_C?)");
  }
  out.Print(table);
  if (!any) std::cerr << "tavrin: no model is defined in the simulation's machine file\n";
  return kExitOk;
}

int ShowStructure(Output& out) {
  CLibMchnStructModel model;
  char name[32] = "";
  char machine_type[32] = "";
  model.GetMchnName(name);
  model.GetMchnSpecifName(machine_type);
  Table table{{"item", "value"}, {}};
  Json& data = out.data();
  auto add = [&](const std::string& key, const std::string& label, const Json& value, const std::string& text) {
    data[key] = value;
    table.rows.push_back({label, text});
  };
  add("machine_name", "machine name", name, name);
  add("machine_type", "machine type", machine_type, machine_type);
  auto number = [&](const std::string& key, const std::string& label, double value) {
    add(key, label, value, NumberText(value));
  };
  number("horizon_left_to_right", "left to right spindle", model.GetHorizonLeftToRight());
  number("left_spindle_to_upper", "left spindle to upper turret", model.GetRelativePosLSPtoUPP());
  number("left_spindle_to_lower", "left spindle to lower turret", model.GetRelativePosLSPtoLOW());
  number("right_spindle_to_upper", "right spindle to upper turret", model.GetRelativePosRSPtoUPP());
  number("right_spindle_to_lower", "right spindle to lower turret", model.GetRelativePosRSPToLOW());
  add("tool_spindle", "tool spindle", model.IsToolSpindle(), model.IsToolSpindle() ? "yes" : "no");
  Json turrets = Json::array();
  for (short i = 1; i <= 3; ++i) {
    std::string t = "turret " + std::to_string(i) + ": ";
    turrets.push_back({{"vertical", model.GetVerticalDist(i)},
                       {"width", model.GetWidthTurret(i)},
                       {"rotation_origin_distance", model.GetRotOrgDist(i)},
                       {"rotation_direction", model.GetRotDirection(i)}});
    table.rows.push_back({t + "vertical distance", NumberText(model.GetVerticalDist(i))});
    table.rows.push_back({t + "width", NumberText(model.GetWidthTurret(i))});
    table.rows.push_back({t + "rotation origin distance", NumberText(model.GetRotOrgDist(i))});
    table.rows.push_back({t + "rotation direction", std::to_string(model.GetRotDirection(i))});
  }
  data["turrets"] = turrets;
  number("b_to_turret_origin", "B rotation to turret origin", model.GetRotBtoRotTurretOrg());
  if (name[0] == '\0' && machine_type[0] == '\0') {
    return out.Fail(kExitFailed, "CustomSetting.ini names no machine: is it missing? (is drive C: mapped with "
                                 "--drive-c DIR or TAVRIN_DRIVE_C?)");
  }
  out.Print(table);
  return kExitOk;
}

// Why a move of the model could not change `file` whole; empty when it can.
std::string RewriteRefusal(const SimModel& model, char side, const TavrinModelFileCheck& file) {
  std::string where = file.file;
  if (file.problem_line > 0) where += " line " + std::to_string(file.problem_line);
  if (file.problem[0] != '\0') return where + ": " + file.problem;
  if (file.rewritable == 0) {
    return where + ": no matrix line of the " + model.label + " on side " + side + " that a rewrite could change";
  }
  return "";
}

// Moves one model of one side and reports its Z position read back.  The
// simulation's files are locked for the move, so that two runs never
// interleave their passes, and checked first: a move that could not change
// both files whole changes neither.
int SetModelZ(Output& out, const std::string& name, bool left, double z) {
  const SimModel& model = SimModelNamed(name);
  const char side = SideLetter(left);
  if (!model.is_define(side)) return NotDefined(out, model.label, side);
  void* lock = lib_LockSimulationFiles();
  if (lock == nullptr) return out.Fail(kExitFailed, "cannot lock the simulation's files (is the folder writable?)");
  TavrinModelCheck check;
  const short checked = lib_CheckModelRewrite(model.letter, side, &check);
  std::string refusal;
  for (const TavrinModelFileCheck* file : {&check.assembly, &check.machine}) {
    if (refusal.empty()) refusal = checked == 0 ? RewriteRefusal(model, side, *file) : file->problem;
  }
  if (checked != 0 || !refusal.empty()) {
    lib_UnlockSimulationFiles(lock);
    return out.Fail(kExitFailed, "nothing changed: " + (refusal.empty() ? "the simulation's files cannot be read" : refusal));
  }
  const short result = model.set_z(side, z);
  lib_UnlockSimulationFiles(lock);
  const double now = model.get_z(side);
  if (result != 0) return out.Fail(kExitFailed, "could not rewrite the simulation's files (SetPosZ gave -1)");
  out.data()["model"] = name;
  out.data()["side"] = std::string(1, side);
  out.data()["z"] = now;
  out.Line(name + " " + side + ": Z is now " + NumberText(now));
  return kExitOk;
}

// One model of one side: defined, Z (and the jaw count or the origin distance).
int ShowModel(Output& out, const std::string& name, bool left) {
  const SimModel& model = SimModelNamed(name);
  const char side = SideLetter(left);
  const bool defined = model.is_define(side);
  const double z = model.get_z(side);
  std::string extra;
  if (model.count != nullptr) {
    const short count = model.count(side);
    out.data()["count"] = count;
    extra = ", " + std::to_string(count) + " " + model.label;
  }
  if (model.origin != nullptr) {
    const double origin = model.origin(side);
    out.data()["origin_distance"] = origin;
    extra = ", origin distance " + NumberText(origin);
  }
  out.data()["model"] = name;
  out.data()["side"] = std::string(1, side);
  out.data()["defined"] = defined;
  out.data()["z"] = z;
  if (!defined) return NotDefined(out, model.name, side);
  out.Line(name + " " + side + ": Z " + NumberText(z) + extra);
  return kExitOk;
}

// The largest Z a move takes: far beyond any lathe, small enough that the
// workpiece's offset between the files stays exact in the arithmetic.
constexpr double kLargestZ = 1e6;

// Positionals of the commands that name a model's side and a new Z.
struct ModelArgs {
  std::string model, side, z;
};

// Checks the side (and Z) and leaves `run` to run without a CNC.
void WithModelArgs(Context& context, const ModelArgs& args, bool with_z,
                   std::function<int(Output&, const std::string&, bool, double)> run) {
  bool left = true;
  double z = 0.0;
  std::string error;
  Require(ParseSide(args.side, &left, &error), error);
  if (with_z) {
    Require(ParseNumber(args.z, &z, &error), error);
    Require(std::fabs(z) <= kLargestZ, "a Z beyond +-" + NumberText(kLargestZ) + " mm is no position on a lathe");
  }
  std::string model = args.model;
  context.without_cnc = [run, model, left, z](Output& out) { return run(out, model, left, z); };
}

}  // namespace

void AddSimCommands(CLI::App& app, Context& context) {
  CLI::App* sim = app.add_subcommand(
      "sim", "the collision-check simulation: its files (models, machine structure) and its application");
  sim->require_subcommand(1);
  sim->add_subcommand("models", "chuck, jaws and workpiece of each spindle: defined, jaw count, Z, origin distance")
      ->callback([&context] { context.without_cnc = ShowModels; });
  sim->add_subcommand("structure", "the machine structure model (CustomSetting.ini, read once)")->callback([&context] {
    context.without_cnc = ShowStructure;
  });

  auto args = std::make_shared<ModelArgs>();
  CLI::App* set = sim->add_subcommand("set-z", "move a model: write its Z position into the machine and assembly files");
  set->add_option("model", args->model, "chuck, jaws or work")->required()->check(CLI::IsMember(SimModelNames()));
  set->add_option("side", args->side, "L (left spindle) or R (right spindle)")->required();
  set->add_option("z", args->z, "the new Z position")->required();
  set->callback([&context, args] {
    WithModelArgs(context, *args, true, SetModelZ);
  });
}

void AddModelCommands(CLI::App& app, Context& context) {
  for (const SimModel& model : kSimModels) {
    CLI::App* family = app.add_subcommand(
        model.name, std::string("the ") + model.label +
                        " of one spindle in the simulation's files: get, or set its Z (as sim models and sim set-z)");
    family->require_subcommand(1);
    auto args = std::make_shared<ModelArgs>();
    args->model = model.name;
    CLI::App* get = family->add_subcommand("get", "defined, Z position (and jaw count or origin distance)");
    get->add_option("side", args->side, "L (left spindle) or R (right spindle)")->required();
    get->callback([&context, args] {
      WithModelArgs(context, *args, false, [](Output& out, const std::string& m, bool left, double) {
        return ShowModel(out, m, left);
      });
    });
    CLI::App* set = family->add_subcommand("set", "write its Z position into the machine and assembly files");
    set->add_option("side", args->side, "L (left spindle) or R (right spindle)")->required();
    set->add_option("z", args->z, "the new Z position")->required();
    set->callback([&context, args] { WithModelArgs(context, *args, true, SetModelZ); });
  }
}

}  // namespace tavrin::cli
