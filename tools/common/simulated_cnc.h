// The simulated CNC as the tools reach it: loaded by the library's own FOCAS2
// binding, like any FOCAS2 library, and driven through the control table
// that it exports.  The tools never link it: a linked copy would put a
// second set of FOCAS2 names into the process, where another FOCAS2 library's
// calls to its own functions could end up.
#ifndef TAVRIN_TOOLS_SIMULATED_CNC_H
#define TAVRIN_TOOLS_SIMULATED_CNC_H

#include <string>

#include "tavrin/simcnc.h"

namespace tavrin::cli {

// Makes the simulated CNC library (SimulatedCncLibrary) the library's FOCAS2
// library and returns its control table.  Null, with *error saying why, when
// the library cannot be found or loaded, when the binding already holds
// another library, or when the library is not the simulated CNC.
const tavrin::simcnc::Control* LoadSimulatedCnc(std::string* error);

}  // namespace tavrin::cli

#endif
