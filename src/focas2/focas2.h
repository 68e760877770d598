// The FOCAS2 binding: the 19 CNC library calls the library makes.
//
// The CNC library is loaded once, on first use, as tavrin/nc/focas2_library.h
// says, which also gives the process's counts of these calls.  When it cannot
// be loaded, or lacks a call, that call returns EW_NODLL (-15) and does
// nothing else.
#ifndef TAVRIN_NC_FOCAS2_H
#define TAVRIN_NC_FOCAS2_H

#include "focas2/focas2_records.h"

namespace tavrin::focas {

short cnc_allclibhndl(unsigned short* handle);
short cnc_allclibhndl2(int32 node, unsigned short* handle);
short cnc_allclibhndl3(const char* address, unsigned short port, int32 timeout, unsigned short* handle);
short cnc_freelibhndl(unsigned short handle);
short cnc_getpath(unsigned short handle, short* current, short* maximum);
short cnc_setpath(unsigned short handle, short path);
short cnc_rdparam(unsigned short handle, short number, short axis, short length, void* record);
short cnc_wrparam(unsigned short handle, short length, void* record);
short pmc_rdpmcrng(unsigned short handle, short address_type, short data_type, unsigned short start,
                   unsigned short end, unsigned short length, void* record);
short pmc_wrpmcrng(unsigned short handle, unsigned short length, void* record);
short cnc_rdpmacror(unsigned short handle, int32 first, int32 last, unsigned short length, void* record);
short cnc_wrpmacror(unsigned short handle, unsigned short length, void* record);
short cnc_rdpmacro(unsigned short handle, int32 number, void* record);
short cnc_wrpmacro(unsigned short handle, int32 number, int32 value, short decimals);
short cnc_rdtofs(unsigned short handle, short number, short type, short length, void* record);
short cnc_wrtofs(unsigned short handle, short number, short type, short length, int32 value);
short cnc_getfigure(unsigned short handle, short kind, short* valid_digits, short* input_decimals,
                    short* output_decimals);
short cnc_statinfo(unsigned short handle, void* record);
short cnc_rdaxisname(unsigned short handle, short* count, void* names);

// True when the CNC library is loaded (loading it on first use).
bool LibraryLoaded();

}  // namespace tavrin::focas

#endif
