// Connection handles and paths.
//
// The application opens a CNC library handle here, keeps it, passes it to
// every NC call and frees it with lib_FreeHandle.  Each function makes exactly
// one FOCAS2 call and returns its code unchanged; arguments are not checked
// (a null pointer or a closed handle goes to FOCAS2 as it is).  When the FOCAS2
// library cannot be loaded every function returns EW_NODLL (-15).
#ifndef TAVRIN_NC_HANDLES_H
#define TAVRIN_NC_HANDLES_H

#include "tavrin/export.h"

TAVRIN_EXTERN_C_BEGIN

/* Opens a handle on the default connection (cnc_allclibhndl).
 * handle: filled by FOCAS2; on failure its content is whatever FOCAS2 left.
 * Returns the FOCAS2 code, 0 on success. */
TAVRIN_FUNC(short) lib_GetNcLibHandle(unsigned short* handle);

/* Opens a handle on node 9 (cnc_allclibhndl2 with node 9; the node is fixed).
 * Returns the FOCAS2 code. */
TAVRIN_FUNC(short) lib_GetNcGuideLibHandle(unsigned short* handle);

/* Opens a handle over Ethernet (cnc_allclibhndl3).
 * address: the CNC's address, passed through unchanged; port: passed
 * unchanged; the time-out is always 5.  Returns the FOCAS2 code. */
TAVRIN_FUNC(short) lib_GetNcLibHandleEthernet(const char* address, unsigned short port, unsigned short* handle);

/* Frees a handle (cnc_freelibhndl).  Returns the FOCAS2 code. */
TAVRIN_FUNC(short) lib_FreeHandle(unsigned short handle);

/* Gives the CNC's maximum path number (cnc_getpath).
 * path_max: the number of paths on success, -1 on any failure (never left
 * unset).  Returns the FOCAS2 code. */
TAVRIN_FUNC(short) lib_GetPathMax(unsigned short handle, short* path_max);

TAVRIN_EXTERN_C_END

#endif
