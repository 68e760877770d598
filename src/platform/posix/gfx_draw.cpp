// Drawing of the cairo backend: solid fills, text with pango, pixels and the
// colour-key copy.
#include <glib.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <string>

#include "platform/graphics.h"
#include "platform/posix/gfx_objects.h"

namespace tavrin::platform {

namespace {

// A source or destination area clipped against its surface.
struct Span {
  int x, y, width, height;
};

std::uint32_t* PixelRow(cairo_surface_t* surface, int y) {
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface) +
                                          static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface));
}

// The same-size copy straight between image surfaces.  Both rectangles are
// clipped together so that only pixels present in both are touched.
void CopyDirect(cairo_surface_t* dest, int x_dest, int y_dest, cairo_surface_t* src, int x_src, int y_src,
                int width, int height, std::uint32_t key) {
  const int src_w = cairo_image_surface_get_width(src), src_h = cairo_image_surface_get_height(src);
  const int dest_w = cairo_image_surface_get_width(dest), dest_h = cairo_image_surface_get_height(dest);
  int skip_x = std::max({0, -x_src, -x_dest});
  int skip_y = std::max({0, -y_src, -y_dest});
  int w = std::min({width, src_w - x_src, dest_w - x_dest}) - skip_x;
  int h = std::min({height, src_h - y_src, dest_h - y_dest}) - skip_y;
  if (w <= 0 || h <= 0) return;
  cairo_surface_flush(src);
  cairo_surface_flush(dest);
  for (int row = 0; row < h; ++row) {
    gfx::ColourKeyCopyRow(PixelRow(dest, y_dest + skip_y + row) + x_dest + skip_x,
                          PixelRow(src, y_src + skip_y + row) + x_src + skip_x, w, key);
  }
  cairo_surface_mark_dirty_rectangle(dest, x_dest + skip_x, y_dest + skip_y, w, h);
}

// Any other copy: the source area becomes a surface in which the transparent
// pixels are clear, painted over the destination (scaled when the sizes
// differ, nearest pixel).
bool CopyThroughMask(tavrin_dc_* dest, int x_dest, int y_dest, int width_dest, int height_dest,
                     cairo_surface_t* src, Span from, std::uint32_t key) {
  const int src_w = cairo_image_surface_get_width(src), src_h = cairo_image_surface_get_height(src);
  cairo_surface_t* masked = gfx::NewImageSurface(from.width, from.height);
  if (masked == nullptr) return false;
  cairo_surface_flush(src);
  cairo_surface_flush(masked);
  for (int row = 0; row < from.height; ++row) {
    std::uint32_t* out = PixelRow(masked, row);
    int y = from.y + row;
    for (int col = 0; col < from.width; ++col) {
      int x = from.x + col;
      std::uint32_t pixel = (x >= 0 && y >= 0 && x < src_w && y < src_h) ? PixelRow(src, y)[x] : 0;
      bool shown = (x >= 0 && y >= 0 && x < src_w && y < src_h) && (pixel & 0x00FFFFFFu) != key;
      out[col] = shown ? (pixel | 0xFF000000u) : 0;
    }
  }
  cairo_surface_mark_dirty(masked);
  cairo_t* cr = gfx::BeginDrawing(dest);
  cairo_rectangle(cr, x_dest, y_dest, width_dest, height_dest);
  cairo_clip(cr);
  cairo_translate(cr, x_dest, y_dest);
  cairo_scale(cr, static_cast<double>(width_dest) / from.width, static_cast<double>(height_dest) / from.height);
  cairo_set_source_surface(cr, masked, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_paint(cr);
  gfx::EndDrawing(dest, cr);
  cairo_surface_destroy(masked);
  return true;
}

}  // namespace

void FillSolidRect(HDC handle, const RECT* rect, COLORREF colour) {
  tavrin_dc_* dc = gfx::LiveDc(handle);
  if (dc == nullptr || rect == nullptr) return;
  dc->back_colour = colour;
  if (rect->right <= rect->left || rect->bottom <= rect->top) return;
  cairo_t* cr = gfx::BeginDrawing(dc);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  gfx::SetSourceColour(cr, colour);
  cairo_rectangle(cr, rect->left, rect->top, static_cast<double>(rect->right) - rect->left,
                  static_cast<double>(rect->bottom) - rect->top);
  cairo_fill(cr);
  gfx::EndDrawing(dc, cr);
}

COLORREF SetTextColor(HDC handle, COLORREF colour) {
  tavrin_dc_* dc = gfx::LiveDc(handle);
  if (dc == nullptr) return CLR_INVALID;
  COLORREF previous = dc->text_colour;
  dc->text_colour = colour;
  return previous;
}

int SetBkMode(HDC handle, int mode) {
  tavrin_dc_* dc = gfx::LiveDc(handle);
  if (dc == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  int previous = dc->back_mode;
  dc->back_mode = mode;
  return previous;
}

UINT SetTextAlign(HDC handle, UINT flags) {
  tavrin_dc_* dc = gfx::LiveDc(handle);
  if (dc == nullptr) return GDI_ERROR;
  UINT previous = dc->text_align;
  dc->text_align = flags;
  return previous;
}

UINT GetTextAlign(HDC handle) {
  tavrin_dc_* dc = gfx::LiveDc(handle);
  return dc == nullptr ? GDI_ERROR : dc->text_align;
}

bool TextOut(HDC handle, int x, int y, const char* text, int count) {
  tavrin_dc_* dc = gfx::LiveDc(handle);
  if (dc == nullptr || text == nullptr || count < 0) return false;
  // Narrow text is UTF-8 here; pango needs valid UTF-8, so stray bytes are
  // shown as U+FFFD.
  gchar* valid = g_utf8_make_valid(text, count);
  cairo_t* cr = gfx::BeginDrawing(dc);
  PangoLayout* layout = pango_cairo_create_layout(cr);
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  pango_layout_set_font_description(layout, dc->font->description);
  pango_layout_set_text(layout, valid, -1);
  g_free(valid);

  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, nullptr, &logical);
  int baseline = PANGO_PIXELS(pango_layout_get_baseline(layout));
  const UINT horizontal = dc->text_align & (TA_LEFT | TA_RIGHT | TA_CENTER);
  const UINT vertical = dc->text_align & (TA_TOP | TA_BOTTOM | TA_BASELINE);
  int left = x - (horizontal == TA_CENTER ? logical.width / 2 : horizontal == TA_RIGHT ? logical.width : 0);
  int top = y - (vertical == TA_BASELINE ? baseline : vertical == TA_BOTTOM ? logical.height : 0);

  if (dc->back_mode == OPAQUE) {
    gfx::SetSourceColour(cr, dc->back_colour);
    cairo_rectangle(cr, left, top, logical.width, logical.height);
    cairo_fill(cr);
  }
  gfx::SetSourceColour(cr, dc->text_colour);
  cairo_move_to(cr, left - logical.x, top - logical.y);
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);
  gfx::EndDrawing(dc, cr);
  return true;
}

bool TransparentBlt(HDC dest_handle, int x_dest, int y_dest, int width_dest, int height_dest, HDC src_handle,
                    int x_src, int y_src, int width_src, int height_src, UINT transparent_colour) {
  tavrin_dc_* dest = gfx::LiveDc(dest_handle);
  tavrin_dc_* src = gfx::LiveDc(src_handle);
  if (dest == nullptr || src == nullptr) return false;
  if (width_dest <= 0 || height_dest <= 0 || width_src <= 0 || height_src <= 0) return false;
  cairo_surface_t* from = gfx::ImageSurfaceOf(src);
  if (from == nullptr) return false;
  const std::uint32_t key = gfx::KeyFromColour(transparent_colour);
  cairo_surface_t* to = dest->kind == DcKind::Cairo ? nullptr : gfx::ImageSurfaceOf(dest);
  if (to != nullptr && to != from && width_dest == width_src && height_dest == height_src) {
    CopyDirect(to, x_dest, y_dest, from, x_src, y_src, width_src, height_src, key);
    return true;
  }
  return CopyThroughMask(dest, x_dest, y_dest, width_dest, height_dest, from,
                         Span{x_src, y_src, width_src, height_src}, key);
}

COLORREF GetPixel(HDC handle, int x, int y) {
  tavrin_dc_* dc = gfx::LiveDc(handle);
  if (dc == nullptr) return CLR_INVALID;
  cairo_surface_t* surface = gfx::ImageSurfaceOf(dc);
  if (surface == nullptr || x < 0 || y < 0 || x >= cairo_image_surface_get_width(surface) ||
      y >= cairo_image_surface_get_height(surface)) {
    return CLR_INVALID;
  }
  cairo_surface_flush(surface);
  std::uint32_t pixel = PixelRow(surface, y)[x];
  std::uint32_t alpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24 ? 255 : pixel >> 24;
  if (alpha == 0) return 0;
  auto channel = [&](int shift) { return (((pixel >> shift) & 0xFFu) * 255 + alpha / 2) / alpha; };
  return RGB(channel(16), channel(8), channel(0));
}

}  // namespace tavrin::platform
