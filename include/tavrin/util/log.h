// The application's log file.
#ifndef TAVRIN_UTIL_LOG_H
#define TAVRIN_UTIL_LOG_H

#include "tavrin/export.h"

TAVRIN_EXTERN_C_BEGIN

/* Appends `text` and a line end to the log file beside the running
 * executable: its drive, folder and name without extension, then "_Log.txt"
 * (C:\Panel\Operator.exe logs to C:\Panel\Operator_Log.txt,
 * /opt/panel/operator to /opt/panel/operator_Log.txt).  The file is created
 * when missing.  The text is written as it is (never used as a format),
 * without time stamp or decoration; on Windows each line end is "\r\n", as
 * a text-mode file writes it.
 *
 * Each line is one append of the whole line, so lines of several threads or
 * processes logging at once never mix.  Nothing is reported: the line is
 * dropped when the text is null, the executable's path cannot be found, it
 * or the log file's name would be longer than 259 characters, or the file
 * cannot be opened or written. */
TAVRIN_FUNC(void) lib_OutputLog(const char* text);

TAVRIN_EXTERN_C_END

#endif
