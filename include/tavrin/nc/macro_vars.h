// P-code macro variables.
//
// The CNC holds a variable as a 32-bit integer m with d decimal places
// (m / 10^d).  Reads divide by 10^d (a negative d divides by 10).  Writes use
// the fewest decimal places, at most 9, at which the value is whole within
// 0.0000001, unless one more place would take the scaled value beyond
// 99,999,999; digits past that point are cut, not rounded.
//
// lib_ReadPluralPCode and lib_WritePluralPCode are exported on 32-bit Windows
// under their decorated names _lib_ReadPluralPCode@16 and
// _lib_WritePluralPCode@20.
//
// Plural calls: a count below 1 or above 8190 (where the record length no
// longer fits in 16 bits) is refused with DLL_FOCAS2_FUNCRET_INIT (32767)
// before any CNC call; when the record cannot be allocated they return EW_BUFFER
// (10).
#ifndef TAVRIN_NC_MACRO_VARS_H
#define TAVRIN_NC_MACRO_VARS_H

#include "tavrin/export.h"
#include "tavrin/wintypes.h"

#define TAVRIN_PCODE_MAX_COUNT 8190

TAVRIN_EXTERN_C_BEGIN

/* Reads one variable (cnc_rdpmacror, length 20).  *value is always set: 0.0 on
 * failure.  Returns the FOCAS2 code. */
TAVRIN_FUNC(short) lib_ReadPCode(unsigned short handle, tavrin_long number, double* value);

/* Reads count variables from first on into values[0..count-1] in one call.
 * Returns -100 without any CNC call when values is null; on a CNC failure the
 * FOCAS2 code, with values untouched. */
TAVRIN_FUNC(short) lib_ReadPluralPCode(unsigned short handle, tavrin_long first, short count, double* values);

/* Writes one variable (cnc_wrpmacro).  Returns the FOCAS2 code. */
TAVRIN_FUNC(short) lib_WritePCode(unsigned short handle, tavrin_long number, double value);

/* Writes the same value into count variables from first on, in one call
 * (cnc_wrpmacror).  Returns the FOCAS2 code. */
TAVRIN_FUNC(short) lib_WritePluralPCode(unsigned short handle, tavrin_long first, short count, double value);

TAVRIN_EXTERN_C_END

#endif
