// Replacing a piece of a string in place.
#ifndef TAVRIN_UTIL_STRINGS_H
#define TAVRIN_UTIL_STRINGS_H

#include "tavrin/export.h"

TAVRIN_EXTERN_C_BEGIN

/* Replaces the first occurrence of `search` in `text` with `replacement`,
 * moving the rest of the text (with its terminator) to follow the
 * replacement.  Returns 1 when a replacement was made; 0, with the text
 * unchanged, when `search` is empty, does not occur, or any argument is null.
 *
 * The function does not know the size of text's buffer: a replacement
 * longer than the search text makes the text grow by the difference, and
 * the caller must provide that room. */
TAVRIN_FUNC(int) lib_ReplaceStr(char* text, const char* search, const char* replacement);

TAVRIN_EXTERN_C_END

#endif
