// Simulation application commands: start the collision-check simulation,
// close its window, ask it to redraw, switch and read the simulation software
// signal, and name its machine and assembly files.  Each is a call of a
// CLibSimuModule member; the signals (D9693) go through the CNC, the rest
// needs none.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "commands.h"
#include "parse.h"
#include "process_info.h"
#include "read_watch.h"
#include "tavrin/simulation/simu_module.h"

namespace fs = std::filesystem;
namespace tavrin::cli {

namespace {

constexpr char kProgramVariable[] = "TAVRIN_SIMULATION";

// `name` as the system would find it to start it: a path (with a '/') as it
// is, else the first executable file of that name in a folder of the PATH.
// Empty when there is none.
std::string FindProgram(const std::string& name) {
  auto executable = [](const fs::path& file) {
    std::error_code ignored;
    fs::file_status status = fs::status(file, ignored);
    return fs::is_regular_file(status) &&
           (status.permissions() & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec)) !=
               fs::perms::none;
  };
  if (name.find('/') != std::string::npos) return executable(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "";
  for (std::size_t start = 0; start <= folders.size();) {
    std::size_t end = std::min(folders.find(':', start), folders.size());
    fs::path candidate = fs::path(end > start ? folders.substr(start, end - start) : ".") / name;
    if (executable(candidate)) return candidate.string();
    start = end + 1;
  }
  return {};
}

// Which program StartSimulationSoft will start here, checked before it is
// asked to: off Windows the program TAVRIN_SIMULATION names, or with `wine`
// the Windows program under Wine, and nothing without either (Wine builds a
// whole Windows prefix on its first run).  Throws CLI::ValidationError
// when neither or both are asked for.
std::string ChosenProgram(bool wine) {
  if (tavrin::tools::StartsWindowsProgramsItself()) {
    Require(!wine, "--wine: on Windows the simulation application runs as itself");
    return "C:\\QvApplication\\Qv Crash Preview\\Orvex.exe";
  }
  const char* named = std::getenv(kProgramVariable);
  std::string program = named != nullptr ? named : "";
  if (program.empty()) {
    Require(wine, std::string("no simulation program is configured: set ") + kProgramVariable +
                      " to the program that stands in for it (such as tavrin-simview), or give --wine to start the "
                      "Windows program under Wine");
    return "wine";
  }
  Require(!wine, std::string("--wine: ") + kProgramVariable + " names " + program +
                     ", which would be started instead; unset it to start Wine");
  std::string base = fs::path(program).filename().string();
  Require(base != "wine" && base != "wine64", std::string(kProgramVariable) + " names " + program +
                                                  ", which would start Wine without the simulation: unset it and "
                                                  "give --wine");
  return program;
}

int Start(const std::string& program, bool debug, Output& out) {
  if (!tavrin::tools::StartsWindowsProgramsItself() && FindProgram(program).empty()) {
    return out.Fail(kExitFailed, "cannot start the simulation: " + program +
                                     (program == "wine" || program.find('/') == std::string::npos
                                          ? " is not found on the PATH"
                                          : " is no executable file") +
                                     (program == "wine" ? "" : std::string(" (") + kProgramVariable + ")"));
  }
  CLibSimuModule simulation;
  simulation.StartSimulationSoft(debug);
  out.data()["program"] = program;
  out.data()["debug"] = simulation.IsDebugMode();
  out.Line("started " + program + (program == "wine" ? " with the simulation's Windows program" : "") +
           (debug ? " in debug mode (/debug)" : "") + "; it runs on its own, and nothing reports whether it came up");
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
  auto wine = std::make_shared<bool>(false);
  CLI::App* start = sim->add_subcommand(
      "start", "start the simulation application (StartSimulationSoft): off Windows the program that "
               "TAVRIN_SIMULATION names (such as tavrin-simview), or the Windows program under Wine with --wine; "
               "refused when neither is given");
  start->add_flag("--debug", *debug, "start it in debug mode (\" /debug\")");
  start->add_flag("--wine", *wine, "off Windows: start the Windows program under wine (TAVRIN_SIMULATION unset)");
  start->callback([&context, debug, wine] {
    bool in_debug = *debug;
    std::string program = ChosenProgram(*wine);
    context.without_cnc = [program, in_debug](Output& out) { return Start(program, in_debug, out); };
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
