// The drawing classes of Tavrin: points, rectangles, drawing objects
// (bitmaps and fonts) and device contexts, with the member names and meanings
// of the Windows class library that operator applications are written
// against, reduced to what the library's screens use.
//
// Backends.  On Windows every member is a call of GDI (TransparentBlt from
// msimg32).  On Linux the same members draw with cairo and pango: a bitmap is
// a cairo image surface (ARGB32, always opaque; a new bitmap is black), a
// memory device context draws into the bitmap selected in it (a new one holds
// a black 1 x 1 bitmap), a font is a pango font description resolved by
// fontconfig (Japanese and Chinese text is shown with whatever system font
// covers it), and a device context can also wrap a caller's cairo context or
// surface (tavrin/display/cairo_dc.h).  A memory device context's default
// font on Linux is "Sans" 13 pixels high, black text on white, opaque
// background mode, alignment TA_LEFT | TA_TOP.
//
// Ownership follows the class library: a drawing object deletes its handle in
// its destructor (DeleteObject), a device context object deletes its device
// context in its destructor (DeleteDC).  Objects cannot be copied.  An object
// that has Attach-ed a handle is that handle's permanent object: the
// SelectObject calls give it back for that handle.  A handle that no object
// has attached is given back through a temporary object that the device
// context owns and that stays valid until the next SelectObject of the same
// kind on that device context object, or its destruction.
//
// Nothing throws, nothing is printed: failures are FALSE, null or 0.
#ifndef TAVRIN_DISPLAY_GDI_H
#define TAVRIN_DISPLAY_GDI_H

#include "tavrin/display/gdi_types.h"
#include "tavrin/export.h"

/* A point (x, y). */
class CPoint : public POINT {
 public:
  CPoint() { x = 0; y = 0; }
  CPoint(int ix, int iy) { x = ix; y = iy; }
  CPoint(POINT p) { x = p.x; y = p.y; }
};

/* A rectangle: left and top inside, right and bottom outside. */
class CRect : public RECT {
 public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
  CRect(const RECT& r) { *static_cast<RECT*>(this) = r; }
  CRect& operator=(const RECT& r) { *static_cast<RECT*>(this) = r; return *this; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  /* Whether p lies inside: left <= x < right and top <= y < bottom. */
  BOOL PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  /* Grows by dx on the left and the right and by dy at the top and the
   * bottom; negative values shrink. */
  void InflateRect(int dx, int dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
  operator RECT*() { return this; }
  operator const RECT*() const { return this; }
};

class CDC;

/* A drawing object: holds at most one handle, deletes it when destroyed. */
class TAVRIN_CLASS CGdiObject {
 public:
  CGdiObject() = default;
  /* Deletes the handle held (DeleteObject). */
  virtual ~CGdiObject();
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  /* Takes a handle and becomes its permanent object.  FALSE (and nothing
   * changes) when h is null or this object already holds a handle. */
  BOOL Attach(HGDIOBJ h);
  /* Gives up the handle without deleting it; returns it (null if none). */
  HGDIOBJ Detach();
  /* Deletes the handle and leaves the object empty.  FALSE when the object
   * holds no handle or the handle could not be deleted (for example because
   * it was deleted already). */
  BOOL DeleteObject();
  /* Copies the handle's description (BITMAP for a bitmap, LOGFONTA for a
   * font) into buffer, at most size bytes.  Returns the bytes written, 0 on
   * failure (no handle, null buffer, too small a buffer). */
  int GetObject(int size, LPVOID buffer) const;
  /* The handle or null. */
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  operator HGDIOBJ() const { return m_hObject; }

  /* The permanent object of the handle, or null when none has attached it. */
  static CGdiObject* FromHandle(HGDIOBJ h);

  HGDIOBJ m_hObject = nullptr;
};

/* A bitmap. */
class TAVRIN_CLASS CBitmap : public CGdiObject {
 public:
  CBitmap() = default;
  ~CBitmap() override;
  /* A bitmap of width x height pixels that can be selected into the memory
   * device contexts made compatible with dc (a 32-bit colour bitmap on
   * Linux; on Windows dc's format, so a memory device context holding only
   * its default bitmap gives a monochrome one).  A new bitmap is black.
   * FALSE when this object already holds a handle, dc is null, a size is not
   * positive or the bitmap cannot be made. */
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  /* Loads bitmap resource number id (or name) along the resource look-up
   * chain (tavrin/display/resources.h).  FALSE when this object already holds
   * a handle or no such bitmap is found. */
  BOOL LoadBitmap(UINT id);
  BOOL LoadBitmap(LPCSTR name);
  /* Fills *bitmap with the bitmap's description; the result as GetObject. */
  int GetBitmap(BITMAP* bitmap) const;
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
  /* The permanent bitmap object of h, or null. */
  static CBitmap* FromHandle(HBITMAP h);
};

/* A font. */
class TAVRIN_CLASS CFont : public CGdiObject {
 public:
  CFont() = default;
  ~CFont() override;
  /* Makes the font described by lf.  FALSE when this object already holds a
   * handle, lf is null or the font cannot be made. */
  BOOL CreateFontIndirect(const LOGFONTA* lf);
  /* The same with lf->lfHeight read in tenths of a point and converted for
   * dc (the screen when dc is null: 96 pixels per inch on Linux): the pixel
   * height is -(pixels per inch x lfHeight / 720), rounded. */
  BOOL CreatePointFontIndirect(const LOGFONTA* lf, CDC* dc = nullptr);
  /* Fills *lf with the font's description (heights in pixels); the result
   * as GetObject. */
  int GetLogFont(LOGFONTA* lf) const;
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
  /* The permanent font object of h, or null. */
  static CFont* FromHandle(HFONT h);
};

/* A device context. */
class TAVRIN_CLASS CDC {
 public:
  CDC() = default;
  /* Deletes the device context held (DeleteDC). */
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  /* Makes a memory device context compatible with dc's (with the screen's
   * when dc is null) and attaches it.  FALSE when this object already holds
   * one or it cannot be made. */
  BOOL CreateCompatibleDC(CDC* dc);
  /* Takes a device context handle.  FALSE when h is null or this object
   * already holds one. */
  BOOL Attach(HDC h);
  /* Gives up the handle without deleting it; returns it. */
  HDC Detach();
  /* Deletes the device context (the objects selected in it are not
   * deleted) and leaves the object empty.  FALSE when it holds none. */
  BOOL DeleteDC();
  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }

  /* Selects a bitmap (memory device contexts only) or a font.  Returns the
   * object of the kind that was selected before (see the header's note on
   * permanent and temporary objects), null on failure (null object, no
   * device context, a bitmap selected in another device context). */
  CBitmap* SelectObject(CBitmap* bitmap);
  CFont* SelectObject(CFont* font);
  CGdiObject* SelectObject(CGdiObject* object);
  /* Selects handle h into device context dc.  Returns the permanent object of
   * the handle that was selected before, or null (also when h is null: a
   * null handle selects nothing). */
  static CGdiObject* SelectGdiObject(HDC dc, HGDIOBJ h);

  /* Fills the rectangle with a solid colour (the background colour becomes
   * colour, as in the class library). */
  void FillSolidRect(const RECT* rect, COLORREF colour);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
  /* The text colour; returns the previous one (CLR_INVALID without a device
   * context). */
  COLORREF SetTextColor(COLORREF colour);
  /* The background mode, TRANSPARENT or OPAQUE; returns the previous one (0
   * on failure). */
  int SetBkMode(int mode);
  /* The text-alignment flags (TA_LEFT, TA_RIGHT, TA_CENTER with TA_TOP,
   * TA_BOTTOM or TA_BASELINE); returns the previous flags (GDI_ERROR on
   * failure). */
  UINT SetTextAlign(UINT flags);
  UINT GetTextAlign() const;
  /* Writes count bytes of text (narrow text; on Linux invalid UTF-8 bytes
   * are shown as U+FFFD) at (x, y) with the selected font, text colour,
   * background mode and alignment.  FALSE on failure. */
  BOOL TextOut(int x, int y, LPCSTR text, int count);
  /* Copies the source rectangle of src to the destination rectangle,
   * scaling when the sizes differ, leaving out every source pixel whose
   * colour is transparent_colour (the destination keeps its own there).
   * A size that is not positive copies nothing.  FALSE on failure (no
   * device context; on Linux also a size not positive, or a source that is
   * not an image). */
  BOOL TransparentBlt(int x_dest, int y_dest, int width_dest, int height_dest, CDC* src, int x_src,
                      int y_src, int width_src, int height_src, UINT transparent_colour);
  /* The colour of one pixel; CLR_INVALID outside the drawing surface or
   * without a device context. */
  COLORREF GetPixel(int x, int y) const;

  HDC m_hDC = nullptr;

 private:
  // The temporary objects handed out for handles that have no permanent
  // object (see the header's note).
  CBitmap* TemporaryBitmap(HGDIOBJ h);
  CFont* TemporaryFont(HGDIOBJ h);
  CBitmap* m_pTempBitmap = nullptr;
  CFont* m_pTempFont = nullptr;
  // The back-buffer bitmap that lib_BackDrawStart made for this memory
  // device context, deleted by lib_BackDrawEnd (or by the destructor when
  // the end call never came).
  friend struct TavrinBackBuffer;
  HBITMAP m_hBackBuffer = nullptr;
};

#endif
