// Drawing left out: the Linux library of a headless build
// (TAVRIN_WITH_DRAWING=OFF) links neither cairo, pango nor gdk-pixbuf.  No
// device context, bitmap or font can be made, so every handle is unknown and
// each call answers as the cairo backend answers an unknown handle: null,
// false, 0, CLR_INVALID or GDI_ERROR, and a refused deletion is counted.
#include "platform/graphics.h"
#include "platform/live_objects.h"
#include "tavrin/display/cairo_dc.h"

namespace tavrin::platform {

HDC CreateMemoryDc(HDC) { return nullptr; }

bool DeleteDc(HDC) {
  live::NoteRefusedDeletion();
  return false;
}

HGDIOBJ SelectObject(HDC, HGDIOBJ) { return nullptr; }
HBITMAP CreateCompatibleBitmap(HDC, int, int) { return nullptr; }
HFONT CreateFontFromDescription(const LOGFONTA*) { return nullptr; }
int PixelsPerInchY(HDC) { return 96; }

bool DeleteObject(HGDIOBJ) {
  live::NoteRefusedDeletion();
  return false;
}

int DescribeObject(HGDIOBJ, int, void*) { return 0; }
HBITMAP CopyBitmap(HBITMAP) { return nullptr; }
HBITMAP LoadBitmapFromModules(const char*) { return nullptr; }
HBITMAP LoadBitmapFile(const char*) { return nullptr; }
void FillSolidRect(HDC, const RECT*, COLORREF) {}
COLORREF SetTextColor(HDC, COLORREF) { return CLR_INVALID; }
int SetBkMode(HDC, int) { return 0; }
UINT SetTextAlign(HDC, UINT) { return GDI_ERROR; }
UINT GetTextAlign(HDC) { return GDI_ERROR; }
bool TextOut(HDC, int, int, const char*, int) { return false; }
bool TransparentBlt(HDC, int, int, int, int, HDC, int, int, int, int, UINT) { return false; }
COLORREF GetPixel(HDC, int, int) { return CLR_INVALID; }

}  // namespace tavrin::platform

extern "C" HDC tavrin_cairo_dc_create(struct _cairo*) { return nullptr; }
extern "C" HDC tavrin_surface_dc_create(struct _cairo_surface*) { return nullptr; }
extern "C" struct _cairo_surface* tavrin_bitmap_surface(HBITMAP) { return nullptr; }
