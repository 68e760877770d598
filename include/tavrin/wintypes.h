// The Windows types that Tavrin's public interface names.
//
// On Windows they come from <windows.h>.  Elsewhere this header defines the
// few that are needed, with the same widths as on 32-bit Windows, so that an
// application's code reads the same on both.
//
// tavrin_long is the library's "long": signed 32-bit on every platform (on
// Windows it is long itself, so that exported names and layouts match).
#ifndef TAVRIN_WINTYPES_H
#define TAVRIN_WINTYPES_H

#if defined(_WIN32)
#  ifndef WIN32_LEAN_AND_MEAN
#    define WIN32_LEAN_AND_MEAN
#  endif
#  include <windows.h>
typedef long tavrin_long;
#else
#  include <stdint.h>
typedef int32_t tavrin_long;
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef void* HANDLE;
typedef void* HWND;
typedef void* HINSTANCE;
typedef void* HMODULE;
typedef DWORD COLORREF;
#  ifndef TRUE
#    define TRUE 1
#  endif
#  ifndef FALSE
#    define FALSE 0
#  endif
#  ifndef MAX_PATH
#    define MAX_PATH 260
#  endif
#  define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#  define GetRValue(rgb) ((BYTE)(rgb))
#  define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#  define GetBValue(rgb) ((BYTE)((rgb) >> 16))
typedef struct tagRECT { LONG left; LONG top; LONG right; LONG bottom; } RECT;
typedef struct tagPOINT { LONG x; LONG y; } POINT;
typedef struct tagSIZE { LONG cx; LONG cy; } SIZE;
#endif

#endif
