// The Windows drawing types that Tavrin's drawing classes name.
//
// On Windows they come from <windows.h> (through wintypes.h).  Elsewhere this
// header defines the few that are needed, with the layouts of 32-bit Windows:
// the handles of device contexts, bitmaps and fonts (pointers to the
// library's own objects), the font description LOGFONTA, the bitmap
// description BITMAP, the text-alignment and background-mode values and the
// resource-number macro.
//
// Narrow text is UTF-8 on Linux and the ANSI code page on Windows.
#ifndef TAVRIN_DISPLAY_GDI_TYPES_H
#define TAVRIN_DISPLAY_GDI_TYPES_H

#include "tavrin/wintypes.h"

#if !defined(_WIN32)
#  include <stdint.h>

typedef struct tavrin_dc_* HDC;
typedef struct tavrin_bitmap_* HBITMAP;
typedef struct tavrin_font_* HFONT;
typedef void* HGDIOBJ;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;

#  define LF_FACESIZE 32
/* A font description.  lfHeight < 0: the character height in pixels;
 * lfHeight > 0: the cell height in pixels; 0: the default size.
 * lfWeight: 0 (normal) or 100 to 900 (400 normal, 700 bold).
 * lfFaceName: the family name (fontconfig resolves it); empty: "Sans".
 * The other fields are kept and not used on Linux. */
typedef struct tagLOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];
} LOGFONTA, LOGFONT;

/* A bitmap description (GetObject on a bitmap).  Bitmaps are 32 bits per
 * pixel; bmBits is null. */
typedef struct tagBITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
} BITMAP;

#  define FW_DONTCARE 0
#  define FW_NORMAL 400
#  define FW_BOLD 700
#  define DEFAULT_CHARSET 1
#  define SHIFTJIS_CHARSET 128
#  define GB2312_CHARSET 134

#  define TRANSPARENT 1
#  define OPAQUE 2

#  define TA_NOUPDATECP 0
#  define TA_UPDATECP 1
#  define TA_LEFT 0
#  define TA_RIGHT 2
#  define TA_CENTER 6
#  define TA_TOP 0
#  define TA_BOTTOM 8
#  define TA_BASELINE 24
#  define GDI_ERROR 0xFFFFFFFFu

#  define CLR_INVALID 0xFFFFFFFFu

#  define IS_INTRESOURCE(r) ((((uintptr_t)(r)) >> 16) == 0)
#  define MAKEINTRESOURCEA(i) ((LPSTR)(uintptr_t)((WORD)(i)))
#  define MAKEINTRESOURCE MAKEINTRESOURCEA
#endif

#endif
