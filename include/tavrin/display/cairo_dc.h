// Linux: device contexts over a caller's cairo context or surface, and the
// cairo surface of a bitmap.
//
// A GTK draw handler (or any cairo-based toolkit) hands its cairo_t to
// tavrin_cairo_dc_create and attaches the result to a CDC; the library's
// classes then draw into it with the context's transformation and clip.  The
// colour-key copy into an image surface device context is a direct pixel
// loop; into any other target it goes through a mask.
//
// Only on Linux (on Windows device contexts are GDI's).
#ifndef TAVRIN_DISPLAY_CAIRO_DC_H
#define TAVRIN_DISPLAY_CAIRO_DC_H

#if !defined(_WIN32)

#include "tavrin/display/gdi_types.h"
#include "tavrin/export.h"

/* cairo's context and surface types, cairo_t and cairo_surface_t, named by
   their struct tags below so that this header and cairo.h may come in either
   order: C before C11 refuses a second typedef of the same name. */
struct _cairo;
struct _cairo_surface;
#if defined(__cplusplus) || (defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L)
typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
#endif

TAVRIN_EXTERN_C_BEGIN

/* A device context that draws into cr.  It holds a reference to cr, released
 * by DeleteDC.  Each drawing call saves and restores cr's state.  Null when
 * cr is null or in an error state.  GetPixel and being the source of a
 * colour-key copy work only when cr's target is an image surface. */
TAVRIN_API HDC tavrin_cairo_dc_create(struct _cairo* cr);

/* A device context that draws into surface (any cairo surface; an image
 * surface in format ARGB32 or RGB24 is written directly).  It holds a
 * reference to surface, released by DeleteDC.  Null when surface is null or
 * in an error state. */
TAVRIN_API HDC tavrin_surface_dc_create(struct _cairo_surface* surface);

/* The ARGB32 image surface that holds a bitmap's pixels (owned by the
 * bitmap: reference it to keep it past DeleteObject), or null for an invalid
 * handle.  Call cairo_surface_flush before reading it and
 * cairo_surface_mark_dirty after writing it directly. */
TAVRIN_API struct _cairo_surface* tavrin_bitmap_surface(HBITMAP bitmap);

TAVRIN_EXTERN_C_END

#endif

#endif
