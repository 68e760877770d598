// The 19 FOCAS2 calls that libtavrin_simcnc exports, under their FOCAS2 names
// and with FOCAS2's calling convention (standard call on 32-bit Windows), for
// programs and tests that call the simulated CNC directly rather than through
// Tavrin's run-time binding.  Records are laid out as in nc/focas2_records.h.
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

TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_allclibhndl(unsigned short* handle);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_allclibhndl2(std::int32_t node, unsigned short* handle);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_allclibhndl3(const char* address, unsigned short port,
                                                            std::int32_t timeout, unsigned short* handle);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_freelibhndl(unsigned short handle);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_getpath(unsigned short handle, short* current, short* maximum);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_setpath(unsigned short handle, short path);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_rdparam(unsigned short handle, short number, short axis, short length,
                                                       void* record);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_wrparam(unsigned short handle, short length, void* record);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL pmc_rdpmcrng(unsigned short handle, short address_type, short data_type,
                                                        unsigned short start, unsigned short end,
                                                        unsigned short length, void* record);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL pmc_wrpmcrng(unsigned short handle, unsigned short length, void* record);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_rdpmacror(unsigned short handle, std::int32_t first,
                                                         std::int32_t last, unsigned short length, void* record);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_wrpmacror(unsigned short handle, unsigned short length, void* record);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_rdpmacro(unsigned short handle, std::int32_t number, void* record);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_wrpmacro(unsigned short handle, std::int32_t number,
                                                        std::int32_t value, short decimals);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_rdtofs(unsigned short handle, short number, short type, short length,
                                                      void* record);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_wrtofs(unsigned short handle, short number, short type, short length,
                                                      std::int32_t value);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_getfigure(unsigned short handle, short kind, short* valid_digits,
                                                         short* input_decimals, short* output_decimals);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_statinfo(unsigned short handle, void* record);
TAVRIN_SIMCNC_API short TAVRIN_SIMCNC_CALL cnc_rdaxisname(unsigned short handle, short* count, void* names);

}  // extern "C"

#endif
