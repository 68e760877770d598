// The FOCAS2 calls that Tavrin makes, as one list: the run-time binding, the
// simulated CNC's exports, its call enum and its call names are all made
// from it, so that a call is named in one place only.
//
// TAVRIN_FOCAS2_CALLS(X) expands X(name, parameters, arguments) once per
// call, in this order: `name` the exported C name, `parameters` the
// parenthesised parameter list with names, `arguments` the same names in
// parentheses, ready to forward.  Every call returns short (the FOCAS2 code);
// on 32-bit Windows they use the standard calling convention.
//
// Example, a declaration of each call:
//   #define DECLARE(name, parameters, arguments) short name parameters;
//   TAVRIN_FOCAS2_CALLS(DECLARE)
//   #undef DECLARE
#ifndef TAVRIN_FOCAS2_CALLS_H
#define TAVRIN_FOCAS2_CALLS_H

#include <cstdint>

#define TAVRIN_FOCAS2_CALLS(X)                                                                                 \
  X(cnc_allclibhndl, (unsigned short* handle), (handle))                                                       \
  X(cnc_allclibhndl2, (std::int32_t node, unsigned short* handle), (node, handle))                             \
  X(cnc_allclibhndl3, (const char* address, unsigned short port, std::int32_t timeout, unsigned short* handle), \
    (address, port, timeout, handle))                                                                          \
  X(cnc_freelibhndl, (unsigned short handle), (handle))                                                        \
  X(cnc_getpath, (unsigned short handle, short* current, short* maximum), (handle, current, maximum))          \
  X(cnc_setpath, (unsigned short handle, short path), (handle, path))                                          \
  X(cnc_rdparam, (unsigned short handle, short number, short axis, short length, void* record),                \
    (handle, number, axis, length, record))                                                                    \
  X(cnc_wrparam, (unsigned short handle, short length, void* record), (handle, length, record))                \
  X(pmc_rdpmcrng,                                                                                              \
    (unsigned short handle, short address_type, short data_type, unsigned short start, unsigned short end,     \
     unsigned short length, void* record),                                                                     \
    (handle, address_type, data_type, start, end, length, record))                                             \
  X(pmc_wrpmcrng, (unsigned short handle, unsigned short length, void* record), (handle, length, record))      \
  X(cnc_rdpmacror, (unsigned short handle, std::int32_t first, std::int32_t last, unsigned short length, void* record), \
    (handle, first, last, length, record))                                                                     \
  X(cnc_wrpmacror, (unsigned short handle, unsigned short length, void* record), (handle, length, record))     \
  X(cnc_rdpmacro, (unsigned short handle, std::int32_t number, void* record), (handle, number, record))         \
  X(cnc_wrpmacro, (unsigned short handle, std::int32_t number, std::int32_t value, short decimals),             \
    (handle, number, value, decimals))                                                                         \
  X(cnc_rdtofs, (unsigned short handle, short number, short type, short length, void* record),                 \
    (handle, number, type, length, record))                                                                    \
  X(cnc_wrtofs, (unsigned short handle, short number, short type, short length, std::int32_t value),           \
    (handle, number, type, length, value))                                                                     \
  X(cnc_getfigure,                                                                                             \
    (unsigned short handle, short kind, short* valid_digits, short* input_decimals, short* output_decimals),   \
    (handle, kind, valid_digits, input_decimals, output_decimals))                                             \
  X(cnc_statinfo, (unsigned short handle, void* record), (handle, record))                                     \
  X(cnc_rdaxisname, (unsigned short handle, short* count, void* names), (handle, count, names))

#endif
