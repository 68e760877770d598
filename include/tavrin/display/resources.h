// Where bitmap resources come from, how a window is asked to repaint, and a
// count of the library's live drawing objects.
//
// Bitmap look-up (CBitmap::LoadBitmap, CLibBmp::SetBmp by number or name):
//   1. on Windows, the modules of the resource look-up chain: the
//      application's executable, then Tavrin.dll;
//   2. the resource folders, in order: the folders added with
//      tavrin_add_resource_folder (oldest first), then those listed in the
//      environment variable TAVRIN_RESOURCES (separated by ':' on Linux and
//      ';' on Windows), then on Linux the installed share folder
//      (<prefix>/share/tavrin/resources).
// In a folder, bitmap number N is the file "N.bmp" or "N.png", a named one
// "NAME.bmp" or "NAME.png" (PNG on Linux only; a PNG's alpha is dropped).
// Names containing '/' or '\' are not looked up in folders.
#ifndef TAVRIN_DISPLAY_RESOURCES_H
#define TAVRIN_DISPLAY_RESOURCES_H

#include "tavrin/display/gdi_types.h"
#include "tavrin/export.h"

/* The most folders tavrin_add_resource_folder keeps, and the longest folder
 * path (bytes, without the terminator). */
#define TAVRIN_RESOURCE_FOLDERS_MAX 16
#define TAVRIN_RESOURCE_FOLDER_PATH_MAX 1023

/* Live drawing objects: device contexts, bitmaps and fonts made through the
 * library and not yet deleted (stock objects are not counted), and the
 * deletions the library refused (a handle deleted twice, or deleted while
 * selected in a device context). */
typedef struct tavrin_gdi_counts {
  long device_contexts;
  long bitmaps;
  long fonts;
  long refused_deletions;
} tavrin_gdi_counts;

typedef void (*tavrin_invalidate_handler)(HWND window, const RECT* rect, void* context);

TAVRIN_EXTERN_C_BEGIN

/* Adds a folder to search for bitmaps, after those added before.  Returns 1,
 * or 0 when folder is null or empty, longer than
 * TAVRIN_RESOURCE_FOLDER_PATH_MAX, or TAVRIN_RESOURCE_FOLDERS_MAX folders are
 * kept already.  Thread-safe. */
TAVRIN_API int tavrin_add_resource_folder(const char* folder);

/* Forgets every folder added with tavrin_add_resource_folder. */
TAVRIN_API void tavrin_clear_resource_folders(void);

/* Installs the function that repaints part of a window (a GTK application
 * calls gtk_widget_queue_draw_area there); null removes it.  While a handler
 * is installed it is called instead of the system's InvalidateRect, on every
 * platform; without one, Windows invalidates the window and Linux does
 * nothing.  context is handed back to the handler unchanged. */
TAVRIN_API void tavrin_set_invalidate_handler(tavrin_invalidate_handler handler, void* context);

/* Fills *counts (nothing when counts is null). */
TAVRIN_API void tavrin_get_gdi_counts(tavrin_gdi_counts* counts);

TAVRIN_EXTERN_C_END

#ifdef __cplusplus
namespace tavrin {
// A bitmap along the look-up chain above: name is a name or
// MAKEINTRESOURCE(number).  Null when none is found.
HBITMAP LoadBitmapResource(const char* name);
// Asks for a repaint of rect in window (handler, else the system's).
void InvalidateWindow(HWND window, const RECT* rect, bool erase);
}  // namespace tavrin
#endif

#endif
