// The machine description file: a TOML text that describes a whole machine
// (format: examples/lathe.toml and simcnc/README.md).
#ifndef TAVRIN_SIMCNC_DESCRIPTION_FILE_H
#define TAVRIN_SIMCNC_DESCRIPTION_FILE_H

#include <string>

#include "machine_state.h"

namespace tavrin::simcnc::detail {

// Reads a description into *machine.  On failure *machine is untouched and
// *error reads "source:line:column: what" (`source` names the text).
bool ParseMachine(const std::string& text, const std::string& source, Machine* machine, std::string* error);

// Writes the whole machine as a description that ParseMachine reads back to
// the same machine.
std::string FormatMachine(const Machine& machine);

}  // namespace tavrin::simcnc::detail

#endif
