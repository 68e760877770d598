// CLibBmp: one drawable item of an operator screen.  A bitmap placed at a
// position in a window, drawn with one colour left transparent, optionally
// on a coloured background rectangle, optionally carrying a line of text
// that is written onto the bitmap.  The display and selection flags are kept
// for the screen's own bookkeeping; drawing does not consult them.
//
// Typical use: SetBmp, SetBmpPos (which needs the bitmap for its size),
// optionally text, colours, alignment and a font, then DrawBmp or DrawTxt on
// every repaint.
//
// Ownership.  The item owns its rectangles, its text position, its bitmap
// object and the bitmap it holds (each bitmap handle is deleted exactly
// once: when another SetBmp replaces it or when the item is destroyed), and
// its font object.  The font handle seen through the font object stays the
// caller's: keep that font alive while the item draws, and delete it
// yourself.  Copies (copy constructor and assignment) are deep: the copy
// gets its own rectangles, point and a copy of the bitmap's pixels, and
// shares only the caller's font handle; so every item has a single owner of
// everything it deletes.
//
// Texts are narrow (UTF-8 on Linux, the ANSI code page on Windows).  A text
// longer than 127 bytes and a label longer than 32 bytes are cut to that
// many, never in the middle of a character.
#ifndef TAVRIN_DISPLAY_BMP_H
#define TAVRIN_DISPLAY_BMP_H

#include "tavrin/display/gdi.h"
#include "tavrin/export.h"

/* Longest text (bytes) and label kept, without the terminator. */
#define TAVRIN_BMP_TEXT_MAX 127
#define TAVRIN_BMP_NAME_MAX 32

class TAVRIN_CLASS CLibBmp {
 public:
  /* Flags false, rectangles and text position 0, text black and left
   * aligned, text and label empty, no bitmap, transparent colour white
   * (0xFFFFFF), no window, background mode off, background colour yellow
   * (0x00FFFF), no font. */
  CLibBmp();
  /* The same, with the window whose background rectangle SetBackClrMode
   * repaints. */
  CLibBmp(HWND window);
  CLibBmp(const CLibBmp& other);
  CLibBmp& operator=(const CLibBmp& other);
  /* Releases what the item owns (the bitmap included, not the font). */
  ~CLibBmp();

  void SetDispFlag(bool flag);
  bool IsDispFlag();
  void SetSlctFlag(bool flag);
  bool IsSlctFlag();

  /* Places the bitmap with its top-left pixel at (x, y): the bitmap
   * rectangle becomes (x, y, x + width, y + height) and the background
   * rectangle that rectangle grown by 1 on every side (a widening by
   * InflateBackClrRect has to be repeated after each placement).  Without a
   * bitmap the size is 0 x 0. */
  void SetBmpPos(short x, short y);
  /* Copies the bitmap rectangle into *rect (nothing when null). */
  void GetBmpRect(CRect* rect);
  /* One side of the bitmap rectangle, cut to 16 bits. */
  short GetBmpLeftPos();
  short GetBmpTopPos();
  short GetBmpRightPos();
  short GetBmpBottomPos();
  /* right - left and bottom - top, cut to 16 bits. */
  short GetBmpWidth();
  short GetBmpHeight();

  /* The text's reference point, in the bitmap's own pixels (0, 0 is its
   * top-left pixel), on the text's baseline. */
  void SetTxtPos(short x, short y);
  /* Copies the text position into *point (nothing when null). */
  void GetTxtPos(CPoint* point);
  void SetTxtClr(COLORREF colour);
  COLORREF GetTxtClr();
  /* code 0: left, 1: right, 2: centre; any other code: left.  The text
   * position is then the left end, right end or centre of the text. */
  void SetTxtAlign(short code);
  /* The stored alignment flags: 0 (left), 2 (right) or 6 (centre). */
  short GetTxtAlign();
  /* Copies text in (at most TAVRIN_BMP_TEXT_MAX bytes; null is ignored). */
  void SetTxt(char* text);
  /* Copies the text out into text, which holds 128 bytes (nothing when
   * null). */
  void GetTxt(char* text);
  /* A label kept for the caller (at most TAVRIN_BMP_NAME_MAX bytes; null is
   * ignored). */
  void SetBmpName(char* name);
  /* Copies the label out into name, which holds 33 bytes (nothing when
   * null). */
  void GetBmpName(char* name);

  /* Deletes the bitmap held, then loads bitmap resource number id along the
   * look-up chain (tavrin/display/resources.h).  true when a bitmap was
   * found; false leaves the item without a bitmap. */
  bool SetBmp(unsigned int id);
  /* The same by resource name (null: the item is left without a bitmap). */
  void SetBmp(char* name);
  /* Deletes the bitmap held and takes bitmap, which the item now owns and
   * remembers as the handed-in bitmap.  Handing in the bitmap already held
   * changes nothing. */
  void SetBmp(HBITMAP bitmap);
  void SetBmpTransparent(COLORREF colour);
  COLORREF GetBmpTransparent();

  /* Whether point lies in the bitmap rectangle: the left and top edges
   * belong to it, the right and bottom edges do not. */
  bool IsOnCursor(CPoint point);

  /* Fills the background rectangle with the background colour when the
   * background mode is on, then copies the bitmap to target at the bitmap
   * rectangle's top-left corner leaving out the transparent colour.  Without
   * a bitmap nothing is copied. */
  void DrawBmp(CDC* target);
  /* Writes the text onto the bitmap itself (it stays there: reload the
   * bitmap with SetBmp before writing another text) at the text position
   * with the text colour, a transparent text background, the alignment on
   * the baseline and the item's font (the device context's default font
   * when none was given), then copies the bitmap to target as DrawBmp does.
   * Never fills the background rectangle. */
  void DrawTxt(CDC* target);

  void SetBackClr(COLORREF colour);
  COLORREF GetBackClr();
  /* Sets the background mode; when the item has a window, asks for a
   * repaint of the background rectangle in it without erasing
   * (tavrin_set_invalidate_handler).  Without a window only the mode
   * changes. */
  void SetBackClrMode(bool mode);
  bool IsBackClrMode();
  /* Grows the background rectangle by dx on the left and the right and by
   * dy at the top and the bottom; negative values shrink it. */
  void InflateBackClrRect(int dx, int dy);

  /* The item's font object becomes a view of font's font handle (no font
   * when font is null). */
  void SetFont(CFont* font);
  /* The item's own font object (not the caller's). */
  CFont* GetFont();

 private:
  void CopyFrom(const CLibBmp& other);
  void Copy(CDC* target, CDC* memory);

  bool m_bDispFlag;
  bool m_bSlctFlag;
  RECT* m_pBmpRect;
  POINT* m_pTxtPos;
  COLORREF m_TxtClr;
  short m_TxtAlign;
  char m_szTxt[129];
  char m_szBmpName[33];
  CBitmap* m_pBitmap;
  HBITMAP m_hHandedInBmp;
  COLORREF m_BmpTransparent;
  HWND m_hWnd;
  bool m_bBackClrMode;
  COLORREF m_BackClr;
  RECT* m_pBackClrRect;
  CFont* m_pFont;
};

#endif
