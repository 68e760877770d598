#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "support/drawing_target.h"

namespace tavrin::test {

// A memory device context's own bitmap is monochrome on GDI: colour targets
// are 32-bit DIB sections.
bool MakeColourBitmap(CBitmap* bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  return handle != nullptr && bitmap->Attach(handle);
}

bool NarrowTextIsUtf8() { return GetACP() == CP_UTF8; }

}  // namespace tavrin::test
