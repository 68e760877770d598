#include "simulated_cnc.h"

#include "data_files.h"
#include "tavrin/nc/focas2_library.h"

namespace tavrin::cli {

const tavrin::simcnc::Control* LoadSimulatedCnc(std::string* error) {
  std::string library = SimulatedCncLibrary();
  if (library.empty()) {
    *error = "cannot find the simulated CNC library";
    return nullptr;
  }
  // Refused when an earlier call already loaded a library: the check below
  // then tells whether it is this one.
  lib_SetFocas2Library(library.c_str());
  char loaded[512] = "";
  if (lib_DescribeFocas2Library(loaded, sizeof loaded) == 0) {
    *error = loaded;
    return nullptr;
  }
  auto control = reinterpret_cast<tavrin::simcnc::ControlFunction>(lib_GetFocas2Function("tavrin_simcnc_control"));
  const tavrin::simcnc::Control* table = control != nullptr ? control() : nullptr;
  if (table == nullptr || table->version != tavrin::simcnc::kControlVersion) {
    *error = std::string(loaded) + " is not the simulated CNC of this version";
    return nullptr;
  }
  return table;
}

}  // namespace tavrin::cli
