// tavrin-simview: a stand-in for the collision-check simulation application.
//
// It shows the chuck, jaw and workpiece Z positions of both spindles, read
// from the simulation's machine and assembly files through Tavrin's model
// classes, and shows them again whenever the operator panel requests a
// redraw: it watches the PMC bit D9693.3 of the simulated CNC's state file
// through the library and, acting for the PMC program, clears it after each
// redraw.  With a display its window bears the simulation's title
// "<machine file name> - QV Cell Desk" (or "... - QV Impact Ward"), so that
// CLibSimuModule::EndSimulationSoft closes it; without one it prints to the
// terminal.  With --png FILE it draws one frame into a PNG file, without a
// display and without watching.  Started as the simulation would be:
// TAVRIN_SIMULATION=tavrin-simview.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "../tavrin/data_files.h"
#include "platform/program_environment.h"
#include "scene.h"
#include "tavrin/nc/handles.h"
#include "tavrin/nc/pmc.h"
#include "tavrin/simcnc.h"
#include "painter.h"
#include "x_view.h"

namespace sim = tavrin::simcnc;
using tavrin::simview::Scene;

namespace {

constexpr int kPollMilliseconds = 200;

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
    "  --terminal     print to the terminal even when a display is there\n"
    "  --once         show the scene once and end\n"
    "  --sim FILE     the simulated CNC's state file (default: the tavrin command's)\n"
    "  --png FILE     draw one frame into the PNG file FILE and end (no display needed)\n";

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "/debug") options->debug = true;
    else if (arg == "--impact-ward") options->impact_ward = true;
    else if (arg == "--terminal") options->terminal = true;
    else if (arg == "--once") options->once = true;
    else if (arg == "--sim" && i + 1 < argc) options->state_file = argv[++i];
    else if (arg == "--png" && i + 1 < argc) options->png_file = argv[++i];
    else return false;
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
  if (!sim::LoadFile(state_file, &error)) return false;
  if (lib_ReadPmcParam_Bit(handle, 'D', 9693, 3, &requested) != 0 || !requested) return false;
  sim::WithStateFile(state_file, &ClearRequest, &handle, &error);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::cerr << kUsage;
    return 2;
  }
  // The library's FOCAS2 binding talks to the simulated CNC this program holds.
  std::string library = tavrin::cli::SimulatedCncLibrary();
  if (!library.empty()) tavrin::platform::SetEnvironmentValue("TAVRIN_FOCAS", library.c_str());
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
  bool watching = !options.state_file.empty() && lib_GetNcLibHandle(&handle) == 0;
  std::unique_ptr<tavrin::simview::XView> view;
  if (!options.terminal && !options.once) view = std::make_unique<tavrin::simview::XView>(title);
  if (view && !view->open()) view.reset();

  std::cout << "tavrin-simview: " << title << (options.debug ? " (debug mode)" : "") << '\n';
  if (watching) std::cout << "watching D9693.3 in " << options.state_file << '\n';
  for (unsigned redraws = 0;; ++redraws) {
    auto lines = tavrin::simview::DescribeScene(scene);
    if (options.debug) lines.insert(lines.begin(), "debug mode");
    std::cout << "[draw " << redraws << "]\n";
    for (const std::string& line : lines) std::cout << "  " << line << '\n';
    std::cout.flush();
    if (view) view->Show(scene, lines);
    if (options.once) return 0;
    // Wait for a redraw request, or for the window to be closed.
    for (;;) {
      if (view) {
        if (!view->HandleEvents()) return 0;
        view->WaitForEvents(kPollMilliseconds);
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMilliseconds));
      }
      if (watching && TakeRedrawRequest(options.state_file, handle)) break;
    }
    scene = tavrin::simview::ReadScene();
  }
}
