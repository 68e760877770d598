// The 19 FOCAS2 calls that libtavrin_simcnc exports, under their FOCAS2 names
// and with FOCAS2's calling convention (standard call on 32-bit Windows), for
// programs and tests that call the simulated CNC directly rather than through
// Tavrin's run-time binding.  Records are laid out as in tavrin/focas2/records.h,
// installed with the library; the calls are those of tavrin/focas2/calls.h.
#ifndef TAVRIN_SIMCNC_FOCAS_H
#define TAVRIN_SIMCNC_FOCAS_H

#include <cstdint>

#include "tavrin/simcnc.h"

#if defined(_WIN32) && (defined(_M_IX86) || defined(__i386__))
#  define TAVRIN_SIMCNC_CALL __stdcall
#else
#  define TAVRIN_SIMCNC_CALL
#endif

extern "C" {

#define TAVRIN_SIMCNC_EXPORT(name, parameters, arguments) TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL name parameters;
TAVRIN_FOCAS2_CALLS(TAVRIN_SIMCNC_EXPORT)
#undef TAVRIN_SIMCNC_EXPORT

}  // extern "C"

#endif
