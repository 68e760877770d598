// Drawing on Windows: GDI, TransparentBlt from msimg32, bitmap resources from
// the modules of the resource look-up chain.  The layer counts the device
// contexts, bitmaps and fonts it made until they are deleted.
#include <windows.h>


#include "platform/graphics.h"
#include "platform/live_objects.h"
#include "platform/module.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                       \
  CALL(CreateCompatibleDC, "CreateCompatibleDC")         \
  CALL(CreateCompatibleBitmap, "CreateCompatibleBitmap") \
  CALL(CreateFontIndirectA, "CreateFontIndirectA")       \
  CALL(LoadBitmapA, "LoadBitmapA")                       \
  CALL(LoadImageA, "LoadImageA")                         \
  CALL(TransparentBlt, "TransparentBlt")                 \
  CALL(InvalidateRect, "InvalidateRect")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

template <typename H>
H Note(H handle, live::Kind kind) {
  live::Add(handle, kind);
  return handle;
}

// Deleted through GDI: forgotten when it was one of ours, counted as refused
// when GDI refused it.
bool Deleted(const void* handle, bool done) {
  if (done) {
    live::Remove(handle);
  } else {
    live::NoteRefusedDeletion();
  }
  return done;
}
}  // namespace

HDC CreateMemoryDc(HDC like) {
  return Note(sys::CreateCompatibleDC(like), live::Kind::kDc);
}

bool DeleteDc(HDC dc) { return Deleted(dc, dc != nullptr && ::DeleteDC(dc) != FALSE); }

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  if (dc == nullptr || object == nullptr) return nullptr;
  HGDIOBJ previous = ::SelectObject(dc, object);
  return previous == HGDI_ERROR ? nullptr : previous;
}

HBITMAP CreateCompatibleBitmap(HDC like, int width, int height) {
  if (like == nullptr || width <= 0 || height <= 0) return nullptr;
  return Note(sys::CreateCompatibleBitmap(like, width, height), live::Kind::kBitmap);
}

HFONT CreateFontFromDescription(const LOGFONTA* lf) {
  if (lf == nullptr) return nullptr;
  return Note(sys::CreateFontIndirectA(lf), live::Kind::kFont);
}

int PixelsPerInchY(HDC dc) {
  if (dc != nullptr) return GetDeviceCaps(dc, LOGPIXELSY);
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return 96;
  int pixels = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return pixels > 0 ? pixels : 96;
}

bool DeleteObject(HGDIOBJ object) { return Deleted(object, object != nullptr && ::DeleteObject(object) != FALSE); }

int DescribeObject(HGDIOBJ object, int size, void* buffer) {
  if (object == nullptr || buffer == nullptr || size <= 0) return 0;
  return GetObjectA(object, size, buffer);
}

HBITMAP CopyBitmap(HBITMAP bitmap) {
  if (bitmap == nullptr) return nullptr;
  return Note(static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0)), live::Kind::kBitmap);
}

HBITMAP LoadBitmapFromModules(const char* name) {
  if (name == nullptr) return nullptr;
  auto module = static_cast<HINSTANCE>(FindResourceInChain(name, MAKEINTRESOURCEA(2) /* RT_BITMAP */));
  if (module == nullptr) return nullptr;
  return Note(sys::LoadBitmapA(module, name), live::Kind::kBitmap);
}

HBITMAP LoadBitmapFile(const char* path) {
  if (path == nullptr) return nullptr;
  HANDLE image = sys::LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  return Note(static_cast<HBITMAP>(image), live::Kind::kBitmap);
}

const char* InstalledResourceFolder() { return ""; }

char PathListSeparator() { return ';'; }

void FillSolidRect(HDC dc, const RECT* rect, COLORREF colour) {
  if (dc == nullptr || rect == nullptr) return;
  ::SetBkColor(dc, colour);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
}

COLORREF SetTextColor(HDC dc, COLORREF colour) { return dc == nullptr ? CLR_INVALID : ::SetTextColor(dc, colour); }

int SetBkMode(HDC dc, int mode) { return dc == nullptr ? 0 : ::SetBkMode(dc, mode); }

UINT SetTextAlign(HDC dc, UINT flags) { return dc == nullptr ? GDI_ERROR : ::SetTextAlign(dc, flags); }

UINT GetTextAlign(HDC dc) { return dc == nullptr ? GDI_ERROR : ::GetTextAlign(dc); }

bool TextOut(HDC dc, int x, int y, const char* text, int count) {
  return dc != nullptr && text != nullptr && count >= 0 && ::TextOutA(dc, x, y, text, count) != FALSE;
}

bool TransparentBlt(HDC dest, int x_dest, int y_dest, int width_dest, int height_dest, HDC src, int x_src,
                    int y_src, int width_src, int height_src, UINT transparent_colour) {
  if (dest == nullptr || src == nullptr) return false;
  return sys::TransparentBlt(dest, x_dest, y_dest, width_dest, height_dest, src, x_src, y_src, width_src, height_src,
                             transparent_colour) != FALSE;
}

COLORREF GetPixel(HDC dc, int x, int y) { return dc == nullptr ? CLR_INVALID : ::GetPixel(dc, x, y); }

void InvalidateWindowRect(HWND window, const RECT* rect, bool erase) {
  if (window != nullptr) sys::InvalidateRect(window, rect, erase ? TRUE : FALSE);
}


std::size_t NarrowTextCut(const char* text, std::size_t max_bytes) {
  if (text == nullptr) return 0;
  std::size_t length = 0;
  while (length < max_bytes && text[length] != '\0') {
    // A lead byte of the ANSI code page takes its trail byte along.
    std::size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[length])) && text[length + 1] != '\0' ? 2 : 1;
    if (length + step > max_bytes) break;
    length += step;
  }
  return length;
}

}  // namespace tavrin::platform
