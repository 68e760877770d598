// Device contexts, bitmaps and fonts of the cairo backend: making,
// selecting, describing and deleting them, with GDI's rules.
#include "platform/posix/gfx_objects.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cstring>

#include "platform/graphics.h"
#include "platform/live_objects.h"
#include "platform/syscalls.h"
#include "tavrin/display/cairo_dc.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                               \
  CALL(cairo_image_surface_create, "cairo_image_surface_create")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

constexpr int kDefaultFontPixels = 13;

void FreeBitmap(tavrin_bitmap_* bitmap) {
  cairo_surface_destroy(bitmap->surface);
  delete bitmap;
}

void FreeFont(tavrin_font_* font) {
  pango_font_description_free(font->description);
  delete font;
}

void Deselect(GfxObject* object) {
  if (object != nullptr && object->selections > 0) --object->selections;
}

tavrin_dc_* NewDc(DcKind kind) {
  auto* dc = new tavrin_dc_;
  dc->kind = kind;
  dc->font = gfx::StockFont();
  if (kind == DcKind::Memory) dc->bitmap = gfx::StockBitmap();
  live::Add(dc, live::Kind::kDc);
  return dc;
}
}  // namespace

namespace gfx {

namespace {
void RegisterObject(const GfxObject* object) {
  live::Add(object, object->kind == GfxKind::Bitmap ? live::Kind::kBitmap : live::Kind::kFont);
}
}  // namespace

tavrin_dc_* LiveDc(HDC dc) { return live::Is(dc, live::Kind::kDc) ? dc : nullptr; }

tavrin_bitmap_* LiveBitmap(HGDIOBJ object) {
  auto* bitmap = static_cast<tavrin_bitmap_*>(object);
  if (bitmap == StockBitmap()) return bitmap;
  return live::Is(object, live::Kind::kBitmap) ? bitmap : nullptr;
}

tavrin_font_* LiveFont(HGDIOBJ object) {
  auto* font = static_cast<tavrin_font_*>(object);
  if (font == StockFont()) return font;
  return live::Is(object, live::Kind::kFont) ? font : nullptr;
}

cairo_surface_t* NewImageSurface(int width, int height) {
  cairo_surface_t* surface = sys::cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (surface == nullptr) return nullptr;
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  return surface;
}

HBITMAP WrapSurface(cairo_surface_t* surface) {
  if (surface == nullptr) return nullptr;
  auto* bitmap = new tavrin_bitmap_;
  bitmap->surface = surface;
  bitmap->width = cairo_image_surface_get_width(surface);
  bitmap->height = cairo_image_surface_get_height(surface);
  RegisterObject(bitmap);
  return bitmap;
}

tavrin_bitmap_* StockBitmap() {
  static tavrin_bitmap_* stock = [] {
    auto* bitmap = new tavrin_bitmap_;
    bitmap->stock = true;
    // Made directly, not through the replaceable entry: a test that makes
    // bitmap creation fail must still find every device context's default.
    bitmap->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(bitmap->surface);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    bitmap->width = bitmap->height = 1;
    return bitmap;
  }();
  return stock;
}

tavrin_font_* StockFont() {
  static tavrin_font_* stock = [] {
    auto* font = new tavrin_font_;
    font->stock = true;
    font->logfont.lfHeight = -kDefaultFontPixels;
    font->logfont.lfWeight = FW_NORMAL;
    std::strcpy(font->logfont.lfFaceName, "Sans");
    font->description = pango_font_description_from_string("Sans");
    pango_font_description_set_absolute_size(font->description, kDefaultFontPixels * PANGO_SCALE);
    return font;
  }();
  return stock;
}

cairo_surface_t* ImageSurfaceOf(const tavrin_dc_* dc) {
  cairo_surface_t* surface = nullptr;
  if (dc->kind == DcKind::Memory) return dc->bitmap->surface;
  if (dc->kind == DcKind::Surface) surface = dc->surface;
  if (dc->kind == DcKind::Cairo) surface = cairo_get_target(dc->cairo);
  if (surface == nullptr || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) return nullptr;
  cairo_format_t format = cairo_image_surface_get_format(surface);
  return format == CAIRO_FORMAT_ARGB32 || format == CAIRO_FORMAT_RGB24 ? surface : nullptr;
}

cairo_t* BeginDrawing(tavrin_dc_* dc) {
  switch (dc->kind) {
    case DcKind::Memory:
      return cairo_create(dc->bitmap->surface);
    case DcKind::Surface:
      return cairo_create(dc->surface);
    case DcKind::Cairo:
      cairo_save(dc->cairo);
      return dc->cairo;
  }
  return nullptr;
}

void EndDrawing(tavrin_dc_* dc, cairo_t* cr) {
  if (dc->kind == DcKind::Cairo) {
    cairo_restore(cr);
  } else {
    cairo_destroy(cr);
  }
}

}  // namespace gfx

HDC CreateMemoryDc(HDC like) {
  if (like != nullptr && gfx::LiveDc(like) == nullptr) return nullptr;
  return NewDc(DcKind::Memory);
}

bool DeleteDc(HDC handle) {
  tavrin_dc_* dc = gfx::LiveDc(handle);
  if (dc == nullptr || !live::Remove(dc)) {
    live::NoteRefusedDeletion();
    return false;
  }
  if (dc->bitmap != nullptr) {
    Deselect(dc->bitmap);
    dc->bitmap->selected_in = nullptr;
  }
  Deselect(dc->font);
  if (dc->surface != nullptr) cairo_surface_destroy(dc->surface);
  if (dc->cairo != nullptr) cairo_destroy(dc->cairo);
  delete dc;
  return true;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
  tavrin_dc_* dc = gfx::LiveDc(handle);
  if (dc == nullptr || object == nullptr) return nullptr;
  if (tavrin_bitmap_* bitmap = gfx::LiveBitmap(object)) {
    // Bitmaps go into memory device contexts only, and into one at a time.
    if (dc->kind != DcKind::Memory) return nullptr;
    if (!bitmap->stock && bitmap->selected_in != nullptr && bitmap->selected_in != dc) return nullptr;
    tavrin_bitmap_* previous = dc->bitmap;
    Deselect(previous);
    previous->selected_in = nullptr;
    dc->bitmap = bitmap;
    ++bitmap->selections;
    if (!bitmap->stock) bitmap->selected_in = dc;
    return previous;
  }
  if (tavrin_font_* font = gfx::LiveFont(object)) {
    tavrin_font_* previous = dc->font;
    Deselect(previous);
    dc->font = font;
    ++font->selections;
    return previous;
  }
  return nullptr;
}

HBITMAP CreateCompatibleBitmap(HDC like, int width, int height) {
  if (gfx::LiveDc(like) == nullptr || width <= 0 || height <= 0) return nullptr;
  return gfx::WrapSurface(gfx::NewImageSurface(width, height));
}

HBITMAP CopyBitmap(HBITMAP handle) {
  tavrin_bitmap_* bitmap = gfx::LiveBitmap(handle);
  if (bitmap == nullptr) return nullptr;
  cairo_surface_t* copy = gfx::NewImageSurface(bitmap->width, bitmap->height);
  if (copy == nullptr) return nullptr;
  cairo_t* cr = cairo_create(copy);
  cairo_set_source_surface(cr, bitmap->surface, 0, 0);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_destroy(cr);
  return gfx::WrapSurface(copy);
}

HFONT CreateFontFromDescription(const LOGFONTA* lf) {
  if (lf == nullptr) return nullptr;
  auto* font = new tavrin_font_;
  font->logfont = *lf;
  char* face = font->logfont.lfFaceName;
  face[NarrowTextCut(face, strnlen(face, LF_FACESIZE - 1))] = '\0';
  font->description = pango_font_description_new();
  pango_font_description_set_family(font->description, face[0] != '\0' ? face : "Sans");
  // A negative height is the character (em) height, a positive one the cell
  // height, of which the character takes about four fifths.
  long height = lf->lfHeight;
  long pixels = height < 0 ? -height : height > 0 ? (height * 4 + 2) / 5 : kDefaultFontPixels;
  pixels = std::clamp(pixels, 1L, 4096L);
  pango_font_description_set_absolute_size(font->description, static_cast<double>(pixels) * PANGO_SCALE);
  long weight = lf->lfWeight == 0 ? FW_NORMAL : std::clamp<long>(lf->lfWeight, 100, 1000);
  pango_font_description_set_weight(font->description, static_cast<PangoWeight>(weight));
  pango_font_description_set_style(font->description, lf->lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  gfx::RegisterObject(font);
  return font;
}

int PixelsPerInchY(HDC) { return 96; }

bool DeleteObject(HGDIOBJ object) {
  if (object == gfx::StockBitmap() || object == gfx::StockFont()) return true;
  tavrin_bitmap_* bitmap = gfx::LiveBitmap(object);
  tavrin_font_* font = bitmap == nullptr ? gfx::LiveFont(object) : nullptr;
  GfxObject* live = bitmap != nullptr ? static_cast<GfxObject*>(bitmap) : font;
  if (live == nullptr || live->selections > 0 || !live::Remove(live)) {
    live::NoteRefusedDeletion();
    return false;
  }
  if (bitmap != nullptr) FreeBitmap(bitmap);
  if (font != nullptr) FreeFont(font);
  return true;
}

int DescribeObject(HGDIOBJ object, int size, void* buffer) {
  if (buffer == nullptr || size <= 0) return 0;
  if (tavrin_bitmap_* bitmap = gfx::LiveBitmap(object)) {
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP description{0, bitmap->width, bitmap->height, bitmap->width * 4, 1, 32, nullptr};
    std::memcpy(buffer, &description, sizeof description);
    return sizeof description;
  }
  if (tavrin_font_* font = gfx::LiveFont(object)) {
    if (size < static_cast<int>(sizeof(LOGFONTA))) return 0;
    std::memcpy(buffer, &font->logfont, sizeof(LOGFONTA));
    return sizeof(LOGFONTA);
  }
  return 0;
}


}  // namespace tavrin::platform



extern "C" HDC tavrin_cairo_dc_create(cairo_t* cr) {
  if (cr == nullptr || cairo_status(cr) != CAIRO_STATUS_SUCCESS) return nullptr;
  tavrin_dc_* dc = tavrin::platform::NewDc(DcKind::Cairo);
  dc->cairo = cairo_reference(cr);
  return dc;
}

extern "C" HDC tavrin_surface_dc_create(cairo_surface_t* surface) {
  if (surface == nullptr || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return nullptr;
  tavrin_dc_* dc = tavrin::platform::NewDc(DcKind::Surface);
  dc->surface = cairo_surface_reference(surface);
  return dc;
}

extern "C" cairo_surface_t* tavrin_bitmap_surface(HBITMAP bitmap) {
  tavrin_bitmap_* live = tavrin::platform::gfx::LiveBitmap(bitmap);
  return live == nullptr ? nullptr : live->surface;
}
