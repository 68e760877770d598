// tavrin-simview: a stand-in for the collision-check simulation application.
//
// It shows the chuck, jaw and workpiece Z positions of both spindles, read
// from the simulation's machine and assembly files through Tavrin's model
// classes, and shows them again whenever the operator panel requests a
// redraw: it watches the PMC bit D9693.3 of the simulated CNC's state file
// through the library and, acting for the PMC program, clears it after each
// redraw.  With a display its window bears the simulation's title
// "<machine file name> - QV Cell Desk" (or "... - QV Impact Ward"), so that
// CLibSimuModule::EndSimulationSoft closes it, and it prints nothing: the
// program that started it keeps its output to itself.  Without a display it
// prints to the terminal.  With --png FILE it draws one frame into a PNG
// file, without a display and without watching.  Started as the simulation
// would be: TAVRIN_SIMULATION=tavrin-simview, which passes no state file, so
// the default one is watched (tavrin demo points XDG_STATE_HOME at its own).
// Once the state file it has seen is gone, the CNC it stood for has ended, and
// so does the viewer.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "data_files.h"
#include "nearest_word.h"
#include "simulated_cnc.h"
#include "scene.h"
#include "tavrin/nc/handles.h"
#include "tavrin/version.h"
#include "tavrin/nc/pmc.h"
#include "tavrin/simcnc.h"
#include "painter.h"
#include "x_view.h"

namespace sim = tavrin::simcnc;
using tavrin::simview::Scene;

namespace {

constexpr int kPollMilliseconds = 200;

// The simulated CNC's control table; null when it could not be loaded (the
// viewer then draws without watching a state file).
const sim::Control* simulated = nullptr;

struct Options {
  bool debug = false;
  bool impact_ward = false;
  bool terminal = false;
  bool once = false;
  std::string state_file;
  std::string png_file;
};

const char kUsage[] =
    "usage: tavrin-simview [/debug] [--impact-ward] [--terminal] [--once] [--sim FILE] [--png FILE]\n"
    "  /debug         run in debug mode (as the simulation's debug start)\n"
    "  --impact-ward  title the window \"<machine file> - QV Impact Ward\" (default: QV Cell Desk)\n"
    "  --terminal     print to the terminal instead of opening a window\n"
    "  --once         print the scene once and end\n"
    "  --sim FILE     the simulated CNC's state file (default: the tavrin command's,\n"
    "                 $XDG_STATE_HOME/tavrin/machine.toml or ~/.local/state/tavrin/machine.toml);\n"
    "                 the viewer ends when that file, once seen, is removed\n"
    "  --png FILE     draw one frame into the PNG file FILE and end (no display needed)\n"
    "  --version      print the viewer's and the library's version and end\n"
    "With a window nothing is printed; without a display the scene goes to the terminal.\n";

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "/debug") options->debug = true;
    else if (arg == "--impact-ward") options->impact_ward = true;
    else if (arg == "--terminal") options->terminal = true;
    else if (arg == "--once") options->once = true;
    else if (arg == "--sim" && i + 1 < argc) options->state_file = argv[++i];
    else if (arg == "--png" && i + 1 < argc) options->png_file = argv[++i];
    else {
      const std::string nearest = tavrin::cli::NearestWord(
          arg, {"/debug", "--impact-ward", "--terminal", "--once", "--sim", "--png", "--version"});
      std::cerr << "tavrin-simview: unknown option \"" << arg << "\""
                << (nearest.empty() ? std::string() : "; did you mean \"" + nearest + "\"?") << "\n";
      return false;
    }
  }
  if (options->state_file.empty()) options->state_file = tavrin::cli::DefaultStateFile();
  return true;
}

void ClearRequest(void* handle) {
  lib_WritePmcParam_Bit(*static_cast<unsigned short*>(handle), 'D', 9693, 3, false);
}

// True when the state file holds a redraw request; it is then cleared there.
bool TakeRedrawRequest(const std::string& state_file, unsigned short handle) {
  std::string error;
  bool requested = false;
  if (!simulated->load_file(state_file, &error)) return false;
  if (lib_ReadPmcParam_Bit(handle, 'D', 9693, 3, &requested) != 0 || !requested) return false;
  simulated->with_state_file(state_file, &ClearRequest, &handle, &error);
  return true;
}

// True once the state file, seen before, is gone.
bool StateFileGone(const std::string& state_file, bool* seen) {
  std::error_code ignored;
  bool there = std::filesystem::exists(state_file, ignored);
  bool gone = *seen && !there;
  *seen = *seen || there;
  return gone;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << "tavrin-simview " << TAVRIN_TOOLS_VERSION << ", library " << lib_GetTavrinVersion() << '\n';
    return 0;
  }
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::cerr << kUsage;
    return 2;
  }
  // The library's FOCAS2 binding loads the simulated CNC, whose machine is
  // the state file's.
  std::string error;
  simulated = tavrin::cli::LoadSimulatedCnc(&error);
  Scene scene = tavrin::simview::ReadScene();
  std::string title = tavrin::simview::FileName(scene.machine_file) +
                      (options.impact_ward ? " - QV Impact Ward" : " - QV Cell Desk");
  if (!options.png_file.empty()) {
    auto lines = tavrin::simview::DescribeScene(scene);
    lines.insert(lines.begin(), title + (options.debug ? " (debug mode)" : ""));
    std::string error;
    if (tavrin::simview::WritePng(options.png_file, scene, lines, &error)) return 0;
    std::cerr << "tavrin-simview: cannot write " << options.png_file << ": " << error << '\n';
    return 1;
  }
  unsigned short handle = 0;
  bool watching = simulated != nullptr && !options.state_file.empty() && lib_GetNcLibHandle(&handle) == 0;
  std::unique_ptr<tavrin::simview::XView> view;
  if (!options.terminal && !options.once) view = std::make_unique<tavrin::simview::XView>(title);
  if (view && !view->open()) view.reset();

  if (!view) {
    std::cout << "tavrin-simview: " << title << (options.debug ? " (debug mode)" : "") << '\n';
    if (watching) std::cout << "watching D9693.3 in " << options.state_file << '\n';
  }
  bool seen = false;  // the state file was there
  for (unsigned redraws = 0;; ++redraws) {
    auto lines = tavrin::simview::DescribeScene(scene);
    if (options.debug) lines.insert(lines.begin(), "debug mode");
    if (view) {
      view->Show(scene, lines);
    } else {
      std::cout << "[draw " << redraws << "]\n";
      for (const std::string& line : lines) std::cout << "  " << line << '\n';
      std::cout.flush();
    }
    if (options.once) return 0;
    // Wait for a redraw request, for the window to be closed or for the
    // state file to go.
    for (;;) {
      if (view) {
        if (!view->HandleEvents()) return 0;
        view->WaitForEvents(kPollMilliseconds);
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMilliseconds));
      }
      if (watching && StateFileGone(options.state_file, &seen)) return 0;
      if (watching && TakeRedrawRequest(options.state_file, handle)) break;
    }
    scene = tavrin::simview::ReadScene();
  }
}
