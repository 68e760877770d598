// Simulation file commands: the chuck, jaw and workpiece models of each
// spindle (defined, jaw count, Z position read and written, workpiece origin
// distance) and the machine structure model.  They read the collision-check
// simulation's files through drive C:, which --drive-c (TAVRIN_DRIVE_C) maps
// onto a folder off Windows; no CNC is involved.
#include <functional>
#include <iostream>
#include <memory>

#include "commands.h"
#include "parse.h"
#include "tavrin/machine/mchn_struct_model.h"
#include "tavrin/simulation/chuck_model.h"
#include "tavrin/simulation/jaw_model.h"
#include "tavrin/simulation/work_model.h"

namespace tavrin::cli {

namespace {

char SideLetter(bool left) { return left ? 'L' : 'R'; }

int NotDefined(Output& out, const char* model, char side) {
  return out.Fail(kExitFailed, std::string("no ") + model + " defined on side " + side +
                                   " (or the simulation's files cannot be found: is drive C: mapped with --drive-c?)");
}

int ShowModels(Output& out) {
  Table table{{"side", "model", "defined", "count", "Z", "origin distance"}, {}};
  Json sides = Json::object();
  for (bool left : {true, false}) {
    const char side = SideLetter(left);
    CLibChuckModel chuck(side);
    CLibJawModel jaws(side);
    CLibWorkModel work(side);
    Json entry;
    bool chuck_defined = chuck.IsDefine();
    double chuck_z = chuck.GetPosZ();
    entry["chuck"] = {{"defined", chuck_defined}, {"z", chuck_z}};
    table.rows.push_back({std::string(1, side), "chuck", chuck_defined ? "yes" : "no", "", NumberText(chuck_z), ""});
    bool jaws_defined = jaws.IsDefine();
    short jaw_count = jaws.GetNum();
    double jaw_z = jaws.GetPosZ();
    entry["jaws"] = {{"defined", jaws_defined}, {"count", jaw_count}, {"z", jaw_z}};
    table.rows.push_back({std::string(1, side), "jaws", jaws_defined ? "yes" : "no", std::to_string(jaw_count),
                          NumberText(jaw_z), ""});
    bool work_defined = work.IsDefine();
    double work_z = work.GetPosZ();
    double origin = work.GetOriginDist();
    entry["work"] = {{"defined", work_defined}, {"z", work_z}, {"origin_distance", origin}};
    table.rows.push_back({std::string(1, side), "workpiece", work_defined ? "yes" : "no", "", NumberText(work_z),
                          NumberText(origin)});
    sides[std::string(1, side)] = entry;
  }
  out.data()["sides"] = sides;
  out.Print(table);
  bool any = false;
  for (const auto& side : sides) {
    for (const auto& model : side) any = any || model["defined"].get<bool>();
  }
  if (!any) {
    std::cerr << "tavrin: no model found: are the simulation's files on drive C:? Off Windows map it with "
                 "--drive-c DIR (or TAVRIN_DRIVE_C)\n";
  }
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
  out.Print(table);
  return kExitOk;
}

// Moves one model of one side and reports its Z position read back.
int SetModelZ(Output& out, const std::string& model, bool left, double z) {
  const char side = SideLetter(left);
  short result = -1;
  double now = 0.0;
  if (model == "chuck") {
    CLibChuckModel chuck(side);
    if (!chuck.IsDefine()) return NotDefined(out, "chuck", side);
    result = chuck.SetPosZ(z);
    now = chuck.GetPosZ();
  } else if (model == "jaws") {
    CLibJawModel jaws(side);
    if (!jaws.IsDefine()) return NotDefined(out, "jaws", side);
    result = jaws.SetPosZ(z);
    now = jaws.GetPosZ();
  } else {
    CLibWorkModel work(side);
    if (!work.IsDefine()) return NotDefined(out, "workpiece", side);
    result = work.SetPosZ(z);
    now = work.GetPosZ();
  }
  if (result != 0) return out.Fail(kExitFailed, "could not rewrite the simulation's files (SetPosZ gave -1)");
  out.data()["model"] = model;
  out.data()["side"] = std::string(1, side);
  out.data()["z"] = now;
  out.Line(model + " " + side + ": Z is now " + NumberText(now));
  return kExitOk;
}

// One model of one side: defined, Z (and the jaw count or the origin distance).
int ShowModel(Output& out, const std::string& model, bool left) {
  const char side = SideLetter(left);
  bool defined = false;
  double z = 0.0;
  std::string extra;
  if (model == "chuck") {
    CLibChuckModel chuck(side);
    defined = chuck.IsDefine();
    z = chuck.GetPosZ();
  } else if (model == "jaws") {
    CLibJawModel jaws(side);
    defined = jaws.IsDefine();
    z = jaws.GetPosZ();
    short count = jaws.GetNum();
    out.data()["count"] = count;
    extra = ", " + std::to_string(count) + " jaws";
  } else {
    CLibWorkModel work(side);
    defined = work.IsDefine();
    z = work.GetPosZ();
    double origin = work.GetOriginDist();
    out.data()["origin_distance"] = origin;
    extra = ", origin distance " + NumberText(origin);
  }
  out.data()["model"] = model;
  out.data()["side"] = std::string(1, side);
  out.data()["defined"] = defined;
  out.data()["z"] = z;
  if (!defined) return NotDefined(out, model.c_str(), side);
  out.Line(model + " " + side + ": Z " + NumberText(z) + extra);
  return kExitOk;
}

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
  if (with_z) Require(ParseNumber(args.z, &z, &error), error);
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
  set->add_option("model", args->model, "chuck, jaws or work")->required()->check(CLI::IsMember({"chuck", "jaws", "work"}));
  set->add_option("side", args->side, "L (left spindle) or R (right spindle)")->required();
  set->add_option("z", args->z, "the new Z position")->required();
  set->callback([&context, args] {
    WithModelArgs(context, *args, true, SetModelZ);
  });
}

void AddModelCommands(CLI::App& app, Context& context) {
  for (const char* model : {"chuck", "jaws", "work"}) {
    CLI::App* family = app.add_subcommand(
        model, std::string("the ") + (std::string(model) == "work" ? "workpiece" : model) +
                   " of one spindle in the simulation's files: get, or set its Z (as sim models and sim set-z)");
    family->require_subcommand(1);
    auto args = std::make_shared<ModelArgs>();
    args->model = model;
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
