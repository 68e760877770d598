// PMC data access.
//
// Reads and writes one PMC bit, byte, word or two-word addressed as a person
// writes it: a letter and a byte number (D9550 bit 0).  All traffic goes
// through pmc_rdpmcrng / pmc_wrpmcrng.  Every read and write returns the FOCAS2
// code, or DLL_FOCAS2_FUNCRET_INIT (32767) without any CNC call when the
// letter is not one of G F Y X A R T K C D E (upper case only).
//
// A failed read leaves the output untouched; a bit write whose read failed
// writes nothing.  A bit number outside 0..7 selects no bit: reads give false,
// writes send the byte back as it was read.
#ifndef TAVRIN_NC_PMC_H
#define TAVRIN_NC_PMC_H

#include "tavrin/export.h"
#include "tavrin/wintypes.h"

TAVRIN_EXTERN_C_BEGIN

TAVRIN_FUNC(short) lib_ReadPmcParam_Bit(unsigned short handle, char letter, unsigned short address, short bit, bool* value);
TAVRIN_FUNC(short) lib_ReadPmcParam_Byte(unsigned short handle, char letter, unsigned short address, char* value);
TAVRIN_FUNC(short) lib_ReadPmcParam_Word(unsigned short handle, char letter, unsigned short address, short* value);
TAVRIN_FUNC(short) lib_ReadPmcParam_2Word(unsigned short handle, char letter, unsigned short address, tavrin_long* value);

/* Sets (value exactly 1) or clears one bit, keeping the other seven: reads the
 * byte, changes the bit, writes the whole record back with its header as read. */
TAVRIN_FUNC(short) lib_WritePmcParam_Bit(unsigned short handle, char letter, unsigned short address, short bit, bool value);
/* Byte, word and two-word writes send the value without reading first. */
TAVRIN_FUNC(short) lib_WritePmcParam_Byte(unsigned short handle, char letter, unsigned short address, char value);
TAVRIN_FUNC(short) lib_WritePmcParam_Word(unsigned short handle, char letter, unsigned short address, short value);
TAVRIN_FUNC(short) lib_WritePmcParam_2Word(unsigned short handle, char letter, unsigned short address, tavrin_long value);

/* The FOCAS2 address type code of a letter: G 0, F 1, Y 2, X 3, A 4, R 5, T 6,
 * K 7, C 8, D 9, E 12; -1 for any other character. */
TAVRIN_FUNC(short) lib_GetPmcAddressTypeCode(char letter);

/* The address of the same signal in another path's block.  Path 1 gives the
 * address unchanged, path 2 adds 1000 (2000 when shift is not 0 and the
 * address is below 4000), path 3 adds 2000 (3000 likewise).  Any other path
 * gives -1.  No CNC call. */
TAVRIN_FUNC(short) lib_GetPmcAddress(short address, short path, short shift);

TAVRIN_EXTERN_C_END

#endif
