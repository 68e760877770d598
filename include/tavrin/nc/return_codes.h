// Return codes of the NC access functions.
//
// Every NC function returns a signed 16-bit code: 0 is success, -17 to -1 and
// 1 to 19 are FOCAS2 codes passed through unchanged, 32767 is the library's
// own code for arguments refused before any CNC call.  lib_MBFocas2Error
// (error_report.h) names them.
#ifndef TAVRIN_NC_RETURN_CODES_H
#define TAVRIN_NC_RETURN_CODES_H

#define DLL_FOCAS2_FUNCRET_INIT 32767 /* arguments refused, no CNC call made */
#define TAVRIN_PCODE_NO_OUTPUT (-100) /* lib_ReadPluralPCode given no output */

/* FOCAS2 return codes. */
#define EW_PROTOCOL (-17)
#define EW_NODLL (-15)
#define EW_INIERR (-14)
#define EW_ITLOW (-13)
#define EW_ITHIGHT (-12)
#define EW_BUS (-11)
#define EW_SYSTEM2 (-10)
#define EW_HSSB (-9)
#define EW_HANDLE (-8)
#define EW_VERSION (-7)
#define EW_UNEXP (-6)
#define EW_SYSTEM (-5)
#define EW_PARITY (-4)
#define EW_MMCSYS (-3)
#define EW_RESET (-2)
#define EW_BUSY (-1)
#define EW_OK 0
#define EW_FUNC 1
#define EW_NOPMC 1
#define EW_LENGTH 2
#define EW_NUMBER 3
#define EW_RANGE 3
#define EW_ATTRIB 4
#define EW_TYPE 4
#define EW_DATA 5
#define EW_NOOPT 6
#define EW_PROT 7
#define EW_OVRFLOW 8
#define EW_PARAM 9
#define EW_BUFFER 10
#define EW_PATH 11
#define EW_MODE 12
#define EW_REJECT 13
#define EW_DTSRVR 14
#define EW_ALARM 15
#define EW_STOP 16
#define EW_PASSWD 17
#define EW_PMC 18
#define EW_PMCHANDLE 19

#endif
