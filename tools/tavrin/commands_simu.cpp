// Simulation application commands: start the collision-check simulation,
// close its window, ask it to redraw, switch and read the simulation software
// signal, and name its machine and assembly files.  Each is a call of a
// CLibSimuModule member; the signals (D9693) go through the CNC, the rest
// needs none.
#include <iostream>
#include <memory>

#include "commands.h"
#include "parse.h"
#include "read_watch.h"
#include "tavrin/simulation/simu_module.h"

namespace tavrin::cli {

namespace {

int Start(bool debug, Output& out) {
  CLibSimuModule simulation;
  simulation.StartSimulationSoft(debug);
  out.data()["debug"] = simulation.IsDebugMode();
  out.Line(std::string("asked the simulation to start") + (debug ? " in debug mode (/debug)" : "") +
           ". Nothing reports whether it started: off Windows the program is $TAVRIN_SIMULATION, else wine.");
  return kExitOk;
}

int End(bool cell_desk, Output& out) {
  const char* window = cell_desk ? "QV Cell Desk" : "QV Impact Ward";
  std::cerr << "tavrin: asking the simulation's " << window
            << " window to close and waiting until it is gone (no time limit; Ctrl-C stops waiting)\n";
  CLibSimuModule().EndSimulationSoft(cell_desk);
  out.data()["window"] = window;
  out.Line(std::string("no ") + window + " window of the simulation is open now");
  return kExitOk;
}

int Redraw(Session& session, Output& out) {
  short code = CLibSimuModule(session.handle()).RequireSimuRedraw();
  if (code != 0) return out.FailCode(code, "RequireSimuRedraw");
  out.data()["address"] = "D9693.3";
  out.Line("redraw requested (D9693.3 set; the simulation clears it once it has redrawn)");
  return kExitOk;
}

int ShowFiles(Output& out) {
  CLibSimuModule simulation;
  char machine[TAVRIN_SIMU_PATH_SIZE] = "";
  char assembly[TAVRIN_SIMU_PATH_SIZE] = "";
  if (!simulation.GetSimuAplSettingFilePath(machine, sizeof machine, TAVRIN_SIMU_MACHINE_FILE) ||
      !simulation.GetSimuAplSettingFilePath(assembly, sizeof assembly, TAVRIN_SIMU_ASSEMBLY_FILE)) {
    return out.Fail(kExitFailed, "the simulation's settings name no machine file (is Orvex.ini's \"filepath\" set, "
                                 "and is drive C: mapped with --drive-c?)");
  }
  out.data()["machine_file"] = machine;
  out.data()["assembly_file"] = assembly;
  out.Print(Table{{"file", "name"}, {{"machine", machine}, {"assembly", assembly}}});
  return kExitOk;
}

}  // namespace

void AddSimControlCommands(CLI::App& app, Context& context) {
  CLI::App* sim = app.get_subcommand("sim");

  auto debug = std::make_shared<bool>(false);
  CLI::App* start = sim->add_subcommand("start", "start the simulation application (StartSimulationSoft)");
  start->add_flag("--debug", *debug, "start it in debug mode (\" /debug\")");
  start->callback([&context, debug] {
    bool in_debug = *debug;
    context.without_cnc = [in_debug](Output& out) { return Start(in_debug, out); };
  });

  auto impact_ward = std::make_shared<bool>(false);
  CLI::App* end = sim->add_subcommand(
      "end", "close the simulation's window and wait until it is gone, without time limit (EndSimulationSoft)");
  CLI::Option* cell = end->add_flag("--cell-desk", "the \"... - QV Cell Desk\" window (the default)");
  end->add_flag("--impact-ward", *impact_ward, "the \"... - QV Impact Ward\" window")->excludes(cell);
  end->callback([&context, impact_ward] {
    bool cell_desk = !*impact_ward;
    context.without_cnc = [cell_desk](Output& out) { return End(cell_desk, out); };
  });

  sim->add_subcommand("redraw", "ask the simulation to redraw: set D9693.3 (RequireSimuRedraw)")->callback([&context] {
    context.with_cnc = Redraw;
  });

  auto state = std::make_shared<std::string>();
  CLI::App* soft = sim->add_subcommand("soft", "the simulation software signal D9693.6: switch it or read it");
  soft->add_option("state", *state, "on, off or get")->required();
  soft->callback([&context, state] {
    bool get = *state == "get";
    bool on = false;
    std::string error;
    if (!get) Require(ParseSwitch(*state, &on, &error), "on, off or get: ", error);
    context.with_cnc = [get, on](Session& session, Output& out) {
      CLibSimuModule simulation(session.handle());
      CallMark mark = Session::Mark();
      if (!get) simulation.SetSimulationSoft(on);
      bool now = get ? simulation.GetSimulationSoft() : on;
      int result = CheckCallsSince(mark, out, get ? "GetSimulationSoft" : "SetSimulationSoft");
      if (result != kExitOk) return result;
      out.data()["on"] = now;
      out.Line(std::string("simulation software signal (D9693.6) ") + (get ? "is " : "") + (now ? "on" : "off"));
      return static_cast<int>(kExitOk);
    };
  });

  sim->add_subcommand("files", "the machine and assembly files the simulation's settings name (Orvex.ini)")
      ->callback([&context] { context.without_cnc = ShowFiles; });
}

}  // namespace tavrin::cli
