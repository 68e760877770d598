// The panel's display language, from the CNC and the user's language.
#ifndef TAVRIN_UTIL_LANGUAGE_H
#define TAVRIN_UTIL_LANGUAGE_H

#include "tavrin/export.h"
#include "tavrin/wintypes.h"

TAVRIN_EXTERN_C_BEGIN

/* The display language code for the CNC on `handle`.
 *
 * Selects CNC path 1 on the handle (its failure is not noticed) and leaves it
 * selected.  Reads parameter 7364 as one byte: with bit 1 set the code is
 * parameter 3281; otherwise it is parameter 7240, or parameter 3281 when
 * 7240 holds 0.  The code is then matched with the user's language (Windows:
 * GetUserDefaultLangID; Linux: LC_ALL, LC_MESSAGES, LANG, see below):
 *   1        1 when the user's language is Japanese (0x0411), else 0;
 *   4, 15    the code when it is Chinese, Taiwan (0x0404) or PRC (0x0804),
 *            else 0;
 *   others   the code unchanged.
 * Returns 0 when any parameter read fails.
 *
 * On Linux the user's language comes from the first of LC_ALL, LC_MESSAGES
 * and LANG that is set: ja* is 0x0411, zh_TW 0x0404, zh_CN and zh_SG 0x0804,
 * zh_HK 0x0C04, other languages their Windows identifiers, 0x0409 when the
 * language is unknown or none is set. */
TAVRIN_FUNC(BYTE) lib_GetLanguage(unsigned short handle);

/* True when the user's language (as for lib_GetLanguage) is Japanese. */
TAVRIN_FUNC(bool) lib_IsJapaneseSetting(void);

TAVRIN_EXTERN_C_END

#endif
