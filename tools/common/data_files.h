// Where the tavrin command finds its data: the example machine description
// (lathe.toml) and the example simulation folder (sim/).
//
// Looked up, in order: share/tavrin/ beside the installed command
// (BINDIR/../share/tavrin), the source tree the command was built from, and
// the install folder fixed at configuration time.
#ifndef TAVRIN_TOOLS_DATA_FILES_H
#define TAVRIN_TOOLS_DATA_FILES_H

#include <string>

namespace tavrin::cli {

// The example machine description; empty when none of the places holds it.
std::string ExampleMachineFile();
// The example simulation folder (the one holding QvApplication/); empty when
// none of the places holds it.
std::string ExampleSimFolder();
// The simulated CNC's default state file: tavrin/machine.toml in StateFolder()
// ($XDG_STATE_HOME, ~/.local/state; %LOCALAPPDATA% on Windows); empty when
// there is none.
std::string DefaultStateFile();
// The simulated CNC library: beside the program, in the library folder
// beside the installed command (BINDIR/../LIBDIR), where the build made it, or in the install
// folder fixed at configuration time; empty when none holds it.
std::string SimulatedCncLibrary();
// The simulation viewer tavrin-simview: beside this program (installed, both
// in BINDIR) or in the build tree's simview/ folder beside it; empty when
// neither holds an executable file of that name.
std::string SimulationViewer();

}  // namespace tavrin::cli

#endif
