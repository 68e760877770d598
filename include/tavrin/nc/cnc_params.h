// CNC parameter access.
//
// Ten typed functions (a read and a write per kind: bit, byte, word, two-word,
// real) and two generic ones that carry the kind as a code and every value as
// a double.  All go through cnc_rdparam / cnc_wrparam and return the FOCAS2
// code, or DLL_FOCAS2_FUNCRET_INIT (32767) for arguments refused before any
// CNC call.
//
// Axis: 0 for a parameter of no axis, n for axis n, -1 for all 32 axes at once
// (typed reads only; the output must then hold 32 elements, axis 1 first).
// The typed functions pass every other axis value to FOCAS2 unchanged.
//
// A failed read leaves the caller's output untouched.  A read-modify-write
// (bit writes, the typed real write) writes nothing when its read failed.
// A bit number outside 0..7 selects no bit: reads give false, and writes send
// the byte back as it was read.
#ifndef TAVRIN_NC_CNC_PARAMS_H
#define TAVRIN_NC_CNC_PARAMS_H

#include "tavrin/export.h"
#include "tavrin/wintypes.h"

/* Kind codes of the generic functions. */
#define TAVRIN_PARAM_BIT 0
#define TAVRIN_PARAM_BYTE 1
#define TAVRIN_PARAM_WORD 2
#define TAVRIN_PARAM_2WORD 4
#define TAVRIN_PARAM_REAL 8

TAVRIN_EXTERN_C_BEGIN

/* Reads bit `bit` (mask 2^bit) of a bit parameter into *value (32 values for
 * axis -1).  Returns the FOCAS2 code. */
TAVRIN_FUNC(short) lib_ReadCncParam_Bit(unsigned short handle, short number, short bit, short axis, bool* value);
/* Reads a byte parameter (32 values for axis -1).  Returns the FOCAS2 code. */
TAVRIN_FUNC(short) lib_ReadCncParam_Byte(unsigned short handle, short number, short axis, char* value);
/* Reads a word parameter (32 values for axis -1).  Returns the FOCAS2 code. */
TAVRIN_FUNC(short) lib_ReadCncParam_Word(unsigned short handle, short number, short axis, short* value);
/* Reads a two-word parameter (32 values for axis -1).  Returns the FOCAS2 code. */
TAVRIN_FUNC(short) lib_ReadCncParam_2Word(unsigned short handle, short number, short axis, tavrin_long* value);
/* Reads a real parameter as value / 10^decimals, each axis with its own
 * decimal places (32 values for axis -1).  Returns the FOCAS2 code. */
TAVRIN_FUNC(short) lib_ReadCncParam_Real(unsigned short handle, short number, short axis, double* value);

/* Sets (value exactly 1) or clears (anything else) one bit of a bit parameter,
 * keeping the other seven: a read, then a write of the record as read.
 * Axis -1 is refused with 32767.  Returns the FOCAS2 code of the failing call. */
TAVRIN_FUNC(short) lib_WriteCncParam_Bit(unsigned short handle, short number, short bit, short axis, bool value);
/* Writes a byte parameter without reading it.  Axis -1 gives 32767. */
TAVRIN_FUNC(short) lib_WriteCncParam_Byte(unsigned short handle, short number, short axis, char value);
/* Writes a word parameter without reading it.  Axis -1 gives 32767. */
TAVRIN_FUNC(short) lib_WriteCncParam_Word(unsigned short handle, short number, short axis, short value);
/* Writes a two-word parameter without reading it.  Axis -1 gives 32767. */
TAVRIN_FUNC(short) lib_WriteCncParam_2Word(unsigned short handle, short number, short axis, tavrin_long value);
/* Writes a real parameter with its own decimal places: reads it, stores
 * value * 10^d truncated toward zero, writes it back.  Axis -1 gives 32767. */
TAVRIN_FUNC(short) lib_WriteCncParam_Real(unsigned short handle, short number, short axis, double value);

/* Generic read.  number: the parameter number, whose first decimal is the bit
 * number for the bit kind (12.5 is bit 5 of parameter 12).  kind: one of the
 * TAVRIN_PARAM_ codes.  *code receives the FOCAS2 code, or 32767 when the
 * number or axis is negative or the kind unknown (then no CNC call is made).
 * Returns the value, 0.0 on any failure. */
TAVRIN_FUNC(double) lib_ReadCncParam(unsigned short handle, double number, short axis, short kind, short* code);
/* Generic write.  Reals are written with the fewest decimal places (at most 6)
 * at which they are whole; bits are set by exactly 1.0 and cleared otherwise.
 * Returns the FOCAS2 code, or 32767 for a negative number or axis or an
 * unknown kind. */
TAVRIN_FUNC(short) lib_WriteCncParam(unsigned short handle, double number, short axis, short kind, double value);

TAVRIN_EXTERN_C_END

#endif
