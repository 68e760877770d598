// The message seam: where the library's message boxes go.
//
// On Windows a box is shown with MessageBoxA unless a handler is installed.
// Elsewhere the default writes the caption and the text as one block on
// standard error and answers IDOK (1).  An installed handler receives the
// text, the caption (may be null: the system's default title), the Windows
// style bits and the user pointer; its result is the box's result.  Tests
// install a handler so that nothing blocks.
#ifndef TAVRIN_MESSAGE_H
#define TAVRIN_MESSAGE_H

#include "tavrin/export.h"

typedef int (*tavrin_message_handler)(const char* text, const char* caption, unsigned int style, void* user);

TAVRIN_EXTERN_C_BEGIN

/* Installs handler (null restores the default).  Safe from any thread. */
TAVRIN_API void tavrin_set_message_handler(tavrin_message_handler handler, void* user);

/* Shows a box through the seam and returns its result. */
TAVRIN_API int tavrin_show_message(const char* text, const char* caption, unsigned int style);

TAVRIN_EXTERN_C_END

#endif
