// The cairo backend's own drawing objects behind HDC, HBITMAP and HFONT.
//
// Every handle handed out is registered while it is live, so that a stale or
// foreign handle is refused the way GDI refuses it instead of being used.
// A bitmap or font selected in a device context cannot be deleted (GDI's
// rule); the stock objects (the default 1 x 1 bitmap and the default font)
// are shared by every device context and are never deleted.
#ifndef TAVRIN_PLATFORM_POSIX_GFX_OBJECTS_H
#define TAVRIN_PLATFORM_POSIX_GFX_OBJECTS_H

#include <cairo.h>
#include <pango/pango.h>

#include <cstdint>

#include "tavrin/display/gdi_types.h"

enum class GfxKind { Bitmap, Font };

struct GfxObject {
  GfxKind kind;
  bool stock = false;
  int selections = 0;  // device contexts it is selected in
  explicit GfxObject(GfxKind k) : kind(k) {}
};

struct tavrin_bitmap_ : GfxObject {
  tavrin_bitmap_() : GfxObject(GfxKind::Bitmap) {}
  cairo_surface_t* surface = nullptr;  // ARGB32 image, opaque pixels
  int width = 0;
  int height = 0;
  tavrin_dc_* selected_in = nullptr;  // memory device context holding it
};

struct tavrin_font_ : GfxObject {
  tavrin_font_() : GfxObject(GfxKind::Font) {}
  PangoFontDescription* description = nullptr;
  LOGFONTA logfont{};
};

enum class DcKind { Memory, Surface, Cairo };

struct tavrin_dc_ {
  DcKind kind = DcKind::Memory;
  tavrin_bitmap_* bitmap = nullptr;     // Memory: the selected bitmap (stock 1 x 1 at first)
  cairo_surface_t* surface = nullptr;   // Surface: the caller's surface (referenced)
  cairo_t* cairo = nullptr;             // Cairo: the caller's context (referenced)
  tavrin_font_* font = nullptr;         // the selected font (stock at first)
  COLORREF text_colour = 0;
  COLORREF back_colour = 0xFFFFFF;
  int back_mode = OPAQUE;
  UINT text_align = TA_LEFT | TA_TOP;
};

namespace tavrin::platform::gfx {

// The live handle as its object, or null (live_objects.h).
tavrin_dc_* LiveDc(HDC dc);
tavrin_bitmap_* LiveBitmap(HGDIOBJ object);
tavrin_font_* LiveFont(HGDIOBJ object);

tavrin_bitmap_* StockBitmap();
tavrin_font_* StockFont();

// The surface that a device context draws into when that is an image
// surface (memory device contexts always; surface device contexts with an
// image surface), else null.
cairo_surface_t* ImageSurfaceOf(const tavrin_dc_* dc);
// A cairo context that draws into the device context (the caller's context
// saved for a Cairo device context).  EndDrawing releases it.
cairo_t* BeginDrawing(tavrin_dc_* dc);
void EndDrawing(tavrin_dc_* dc, cairo_t* cr);

// Pixels: opaque native-endian ARGB from a COLORREF and back.
inline std::uint32_t PixelFromColour(COLORREF c) {
  return 0xFF000000u | (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) |
         std::uint32_t{GetBValue(c)};
}
inline std::uint32_t KeyFromColour(COLORREF c) { return PixelFromColour(c) & 0x00FFFFFFu; }
inline void SetSourceColour(cairo_t* cr, COLORREF c) {
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

// The colour-key copy of one row: every source pixel whose colour (alpha
// left out) differs from key is written to the destination.
void ColourKeyCopyRow(std::uint32_t* dest, const std::uint32_t* src, int count, std::uint32_t key);

// A new opaque black ARGB32 image surface, or null.
cairo_surface_t* NewImageSurface(int width, int height);
// A registered bitmap around an image surface (which it takes over), or null.
HBITMAP WrapSurface(cairo_surface_t* surface);

}  // namespace tavrin::platform::gfx

#endif
