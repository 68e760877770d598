// Numeric helpers for values coming from or going to the CNC.
#ifndef TAVRIN_UTIL_NUMERIC_H
#define TAVRIN_UTIL_NUMERIC_H

#include "tavrin/export.h"
#include "tavrin/wintypes.h"

TAVRIN_EXTERN_C_BEGIN

/* floor(value), plus one when fmod(value, 1.0) >= 0.5.  A negative value is
 * never raised (-2.5 gives -3).  A value that is not a number, or whose floor
 * lies outside the signed 32-bit range, gives 0. */
TAVRIN_FUNC(tavrin_long) lib_RoundValue(double value);

/* base^exponent in signed 32-bit arithmetic, wrapping without report.
 * Exponent 0 gives 1; exponent 1 or any negative exponent gives the base. */
TAVRIN_FUNC(tavrin_long) lib_LongPow(short base, short exponent);

/* The same in double: 1.0 for exponent 0, the base for 1 or negative. */
TAVRIN_FUNC(double) lib_DoublePow(short base, short exponent);

/* 25.4 when inch is true, 1.0 otherwise. */
TAVRIN_FUNC(double) lib_ConvertMmInch(bool inch);

TAVRIN_EXTERN_C_END

#endif
