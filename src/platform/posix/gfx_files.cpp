// Bitmap files on Linux: BMP and PNG through gdk-pixbuf.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include "platform/graphics.h"
#include "platform/posix/gfx_objects.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                           \
  CALL(gdk_pixbuf_new_from_file, "gdk_pixbuf_new_from_file")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

// Linux modules carry no resources.
HBITMAP LoadBitmapFromModules(const char*) { return nullptr; }

HBITMAP LoadBitmapFile(const char* path) {
  if (path == nullptr) return nullptr;
  GError* error = nullptr;
  GdkPixbuf* pixbuf = sys::gdk_pixbuf_new_from_file(path, &error);
  if (error != nullptr) g_error_free(error);
  if (pixbuf == nullptr) return nullptr;
  const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf), stride = gdk_pixbuf_get_rowstride(pixbuf);
  const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
  cairo_surface_t* surface = gdk_pixbuf_get_bits_per_sample(pixbuf) == 8 && channels >= 3
                                 ? gfx::NewImageSurface(width, height)
                                 : nullptr;
  if (surface != nullptr) {
    // Bitmaps have no transparency of their own: a PNG's alpha is dropped.
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int out_stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
      const guchar* in = pixels + static_cast<std::ptrdiff_t>(y) * stride;
      auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * out_stride);
      for (int x = 0; x < width; ++x, in += channels) {
        out[x] = 0xFF000000u | (std::uint32_t{in[0]} << 16) | (std::uint32_t{in[1]} << 8) | in[2];
      }
    }
    cairo_surface_mark_dirty(surface);
  }
  g_object_unref(pixbuf);
  return gfx::WrapSurface(surface);
}

}  // namespace tavrin::platform
