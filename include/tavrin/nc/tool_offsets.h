// Tool offsets.
//
// Wear and geometry values of the items X, Z, R, T and Y of one offset number.
// X, Z, R and Y travel as double in the CNC's input unit: reads divide the
// stored integer by 10^d, writes multiply by 10^d and truncate toward zero,
// where d is the CNC's input decimal places asked for (cnc_getfigure) on every
// call: after reading the value, before writing it.  T values travel as whole
// numbers and make one call with no figure query.
//
// Every function returns the FOCAS2 code.  A failed read leaves the output
// untouched; a write whose figure query failed writes nothing.  A scaled value
// beyond the signed 32-bit range is clamped to that range.
#ifndef TAVRIN_NC_TOOL_OFFSETS_H
#define TAVRIN_NC_TOOL_OFFSETS_H

#include "tavrin/export.h"
#include "tavrin/wintypes.h"

TAVRIN_EXTERN_C_BEGIN

TAVRIN_FUNC(short) lib_ReadOffsetWearX(unsigned short handle, short number, double* value);
TAVRIN_FUNC(short) lib_ReadOffsetWearZ(unsigned short handle, short number, double* value);
TAVRIN_FUNC(short) lib_ReadOffsetWearR(unsigned short handle, short number, double* value);
TAVRIN_FUNC(short) lib_ReadOffsetWearY(unsigned short handle, short number, double* value);
TAVRIN_FUNC(short) lib_ReadOffsetGeometryX(unsigned short handle, short number, double* value);
TAVRIN_FUNC(short) lib_ReadOffsetGeometryZ(unsigned short handle, short number, double* value);
TAVRIN_FUNC(short) lib_ReadOffsetGeometryR(unsigned short handle, short number, double* value);
TAVRIN_FUNC(short) lib_ReadOffsetGeometryY(unsigned short handle, short number, double* value);
TAVRIN_FUNC(short) lib_ReadOffsetWearT(unsigned short handle, short number, tavrin_long* value);
TAVRIN_FUNC(short) lib_ReadOffsetGeometryT(unsigned short handle, short number, tavrin_long* value);

TAVRIN_FUNC(short) lib_WriteOffsetWearX(unsigned short handle, short number, double value);
TAVRIN_FUNC(short) lib_WriteOffsetWearZ(unsigned short handle, short number, double value);
TAVRIN_FUNC(short) lib_WriteOffsetWearR(unsigned short handle, short number, double value);
TAVRIN_FUNC(short) lib_WriteOffsetWearY(unsigned short handle, short number, double value);
TAVRIN_FUNC(short) lib_WriteOffsetGeometryX(unsigned short handle, short number, double value);
TAVRIN_FUNC(short) lib_WriteOffsetGeometryZ(unsigned short handle, short number, double value);
TAVRIN_FUNC(short) lib_WriteOffsetGeometryR(unsigned short handle, short number, double value);
TAVRIN_FUNC(short) lib_WriteOffsetGeometryY(unsigned short handle, short number, double value);
TAVRIN_FUNC(short) lib_WriteOffsetWearT(unsigned short handle, short number, tavrin_long value);
TAVRIN_FUNC(short) lib_WriteOffsetGeometryT(unsigned short handle, short number, tavrin_long value);

TAVRIN_EXTERN_C_END

#endif
