// The FOCAS2 error report.
//
// lib_MBFocas2Error names a return code and shows it to the operator in a
// warning message box (OK button, exclamation icon, foreground, topmost:
// style 0x50030, no owner, no caption).  The message is
//   "Focas2 Error [NAME:CODE]\nWHAT in WHERE"  for FOCAS2 codes (-17..-1, 1..19)
//   "Error [DLL_FOCAS2_FUNCRET_INIT:32767]\nWHAT in WHERE"  for 32767
//   "Error [CODE]\nWHAT in WHERE"  for any code outside the table (such as -100)
// formatted into 256 bytes: longer text is cut at 255 characters.  A null text
// counts as empty.  Code 0 shows nothing.  The call returns when the box is
// closed; the box goes through the message seam (message.h).
#ifndef TAVRIN_NC_ERROR_REPORT_H
#define TAVRIN_NC_ERROR_REPORT_H

#include "tavrin/export.h"

#define TAVRIN_FOCAS2_MESSAGE_SIZE 256
#define TAVRIN_FOCAS2_BOX_STYLE 0x50030u

TAVRIN_EXTERN_C_BEGIN

/* Shows the code with what failed and where.  Returns nothing. */
TAVRIN_FUNC(void) lib_MBFocas2Error(short code, const char* what, const char* where);

/* The name of a return code, as lib_MBFocas2Error shows it: "EW_HANDLE" for
 * -8, "EW_NUMBER or EW_RANGE" for 3 (codes that FOCAS2 gives two names show
 * both), "DLL_FOCAS2_FUNCRET_INIT" for 32767.
 * code: any value; -17..-1, 1..19 and 32767 have names.
 * Returns a static string that stays valid for the life of the process, or
 * null for 0 (success) and for every code without a name.  Makes no CNC call
 * and shows nothing. */
TAVRIN_FUNC(const char*) lib_Focas2CodeName(short code);

TAVRIN_EXTERN_C_END

#ifdef __cplusplus
namespace tavrin {
/* The same as lib_Focas2CodeName. */
TAVRIN_API const char* Focas2CodeName(short code);
/* Formats the message that lib_MBFocas2Error shows into out (at most size-1
 * characters, always terminated when size > 0).  Returns false for code 0. */
TAVRIN_API bool FormatFocas2Error(short code, const char* what, const char* where, char* out, unsigned size);
}  // namespace tavrin
#endif

#endif
