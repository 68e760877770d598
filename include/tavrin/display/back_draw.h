// Back-buffer drawing: a screen draws off-screen and copies the result onto
// its device context in one step, leaving out one transparent colour.
//
//   lib_BackDrawStart(&dc, &mem, &rect, nullptr, background);   // or ...Start2
//   ... draw into mem ...
//   lib_BackDrawEnd(&dc, &mem, &rect, old_bitmap_or_null, transparent);
//
// The back-buffer bitmap is as wide and high as the rectangle (right - left,
// bottom - top).  The end call copies it from its pixel (0, 0) to the
// target's pixel (0, 0), whatever the rectangle's left and top, while the
// start call's background fill uses the rectangle's own coordinates inside
// the bitmap: with a left or top other than 0 part of the bitmap keeps the
// new bitmap's black.  A client rectangle (left and top 0) makes the two
// agree.  When the background colour equals the transparent colour, every
// pixel the caller did not paint lets the target show through.
//
// Between the calls the caller keeps the target, the memory device context
// object and the rectangle unchanged.  Nothing is reported.  Both device
// context objects and the rectangle must be valid (they are not tested for
// null).  When the bitmap cannot be made nothing is selected, and the fill
// and the copy use the memory device context's own (default 1 x 1) bitmap.
#ifndef TAVRIN_DISPLAY_BACK_DRAW_H
#define TAVRIN_DISPLAY_BACK_DRAW_H

#include "tavrin/export.h"
#ifdef __cplusplus
#  include "tavrin/display/gdi.h"
#else
/* C sees the device context and drawing object classes as opaque types: a C
   caller passes on pointers to objects made by C++ code. */
#  include "tavrin/display/gdi_types.h"
typedef struct CDC CDC;
typedef struct CGdiObject CGdiObject;
#endif

TAVRIN_EXTERN_C_BEGIN

/* Makes a memory device context compatible with target's and attaches it to
 * memory (an object holding none), makes the back-buffer bitmap compatible
 * with target, selects it and fills rect with background.  unused is
 * accepted and not used. */
TAVRIN_FUNC(void) lib_BackDrawStart(CDC* target, CDC* memory, RECT* rect, CGdiObject* unused, COLORREF background);

/* The same on a memory device context that the caller made already. */
TAVRIN_FUNC(void) lib_BackDrawStart2(CDC* target, CDC* memory, RECT* rect, CGdiObject* unused, COLORREF background);

/* Copies width x height pixels from memory at (0, 0) to target at (0, 0)
 * leaving out those of the transparent colour, selects previous back into
 * memory (nothing when null; a bitmap there takes the back-buffer bitmap
 * out), deletes memory's device context (memory is empty afterwards and can
 * start again) and deletes the back-buffer bitmap. */
TAVRIN_FUNC(void) lib_BackDrawEnd(CDC* target, CDC* memory, RECT* rect, CGdiObject* previous, COLORREF transparent);

TAVRIN_EXTERN_C_END

#endif
