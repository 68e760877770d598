// Drawing: device contexts, bitmaps, fonts, fills, text and the colour-key
// copy, with GDI's meanings.  win32/graphics.cpp calls GDI; posix/ draws with
// cairo and pango on the library's own handles.  Every function accepts null
// and invalid handles and then fails (null, false, 0) without touching
// anything.
#ifndef TAVRIN_PLATFORM_GRAPHICS_H
#define TAVRIN_PLATFORM_GRAPHICS_H

#include <cstddef>

#include "tavrin/display/gdi_types.h"

namespace tavrin::platform {

// Device contexts.  A memory device context compatible with `like` (the
// screen when null), holding a default 1 x 1 bitmap and the default font.
HDC CreateMemoryDc(HDC like);
bool DeleteDc(HDC dc);
// Selects a bitmap or a font; returns the handle of that kind selected
// before, or null on failure.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);

// Drawing objects.
HBITMAP CreateCompatibleBitmap(HDC like, int width, int height);
HFONT CreateFontFromDescription(const LOGFONTA* lf);
// Pixels per logical inch of the device context's height (the screen's when
// dc is null).
int PixelsPerInchY(HDC dc);
bool DeleteObject(HGDIOBJ object);
// GetObject: the description of a bitmap (BITMAP) or font (LOGFONTA).
int DescribeObject(HGDIOBJ object, int size, void* buffer);
// A new bitmap with the same pixels, or null.
HBITMAP CopyBitmap(HBITMAP bitmap);

// Bitmap resources.  The bitmap `name` (a name or MAKEINTRESOURCE number)
// from the modules of the resource look-up chain; null where modules carry
// no resources.
HBITMAP LoadBitmapFromModules(const char* name);
// A bitmap read from a file (BMP; PNG too on Linux), or null (also for a
// format the platform does not read).
HBITMAP LoadBitmapFile(const char* path);
// The resource folder of the installed library, or "" when there is none.
const char* InstalledResourceFolder();
// The separator of folder lists in environment variables (':' or ';').
char PathListSeparator();

// Drawing.
void FillSolidRect(HDC dc, const RECT* rect, COLORREF colour);
COLORREF SetTextColor(HDC dc, COLORREF colour);
int SetBkMode(HDC dc, int mode);
UINT SetTextAlign(HDC dc, UINT flags);
UINT GetTextAlign(HDC dc);
bool TextOut(HDC dc, int x, int y, const char* text, int count);
bool TransparentBlt(HDC dest, int x_dest, int y_dest, int width_dest, int height_dest, HDC src,
                    int x_src, int y_src, int width_src, int height_src, UINT transparent_colour);
COLORREF GetPixel(HDC dc, int x, int y);

// Windows: marks a rectangle of the window for repainting.
void InvalidateWindowRect(HWND window, const RECT* rect, bool erase);

// Live drawing objects made through this layer and not yet released, and
// deletions refused for handles that were not live.
struct GraphicsCounts {
  long device_contexts;
  long bitmaps;
  long fonts;
  long refused_deletions;
};
GraphicsCounts CurrentGraphicsCounts();

// The longest prefix of `text` of at most max_bytes bytes that ends on a
// character boundary of the narrow code page (UTF-8 on Linux, the ANSI code
// page on Windows).
std::size_t NarrowTextCut(const char* text, std::size_t max_bytes);

}  // namespace tavrin::platform

#endif
