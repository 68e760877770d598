// The Windows communications types and constants that the serial port class
// names: the device control block DCB, the OVERLAPPED record, the handle
// value INVALID_HANDLE_VALUE, and the codes for speeds, parity, stop bits,
// purge flags and communications events.
//
// On Windows they come from <windows.h> (through tavrin/wintypes.h).  Elsewhere
// this header defines them with Windows' field names, order, widths and
// meanings, so that an application reads and fills a DCB the same way on both.
// On Linux a HANDLE of the serial port is a file descriptor held in the
// pointer-sized value (INVALID_HANDLE_VALUE is -1); see tavrin/serial/com_port.h.
#ifndef TAVRIN_SERIAL_SERIAL_TYPES_H
#define TAVRIN_SERIAL_SERIAL_TYPES_H

#include "tavrin/wintypes.h"

#if !defined(_WIN32)

#include <stdint.h>

typedef uintptr_t ULONG_PTR;

/* The device control block: a serial port's settings.  The bit fields and
 * members are Windows' own, in Windows' order (28 bytes). */
typedef struct _DCB {
  DWORD DCBlength;             /* sizeof(DCB); 0 in a block never filled */
  DWORD BaudRate;              /* bits per second (CBR_ values or any rate) */
  DWORD fBinary : 1;           /* binary mode: always 1 */
  DWORD fParity : 1;           /* check the parity of received bytes */
  DWORD fOutxCtsFlow : 1;      /* CTS output flow control */
  DWORD fOutxDsrFlow : 1;      /* DSR output flow control */
  DWORD fDtrControl : 2;       /* DTR_CONTROL_ value */
  DWORD fDsrSensitivity : 1;   /* ignore bytes while DSR is low */
  DWORD fTXContinueOnXoff : 1; /* keep sending after XOFF was sent */
  DWORD fOutX : 1;             /* XON/XOFF flow control of output */
  DWORD fInX : 1;              /* XON/XOFF flow control of input */
  DWORD fErrorChar : 1;        /* replace bytes with parity errors */
  DWORD fNull : 1;             /* discard null bytes */
  DWORD fRtsControl : 2;       /* RTS_CONTROL_ value */
  DWORD fAbortOnError : 1;     /* abort reads and writes on error */
  DWORD fDummy2 : 17;          /* reserved */
  WORD wReserved;              /* reserved, 0 */
  WORD XonLim;                 /* input bytes that allow XON to be sent */
  WORD XoffLim;                /* free input space that makes XOFF be sent */
  BYTE ByteSize;               /* bits per byte, 5 to 8 */
  BYTE Parity;                 /* NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY */
  BYTE StopBits;               /* ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS */
  char XonChar;                /* XON character */
  char XoffChar;               /* XOFF character */
  char ErrorChar;              /* replacement for bytes with parity errors */
  char EofChar;                /* end-of-input character */
  char EvtChar;                /* character that signals EV_RXFLAG */
  WORD wReserved1;             /* reserved */
} DCB, *LPDCB;

/* The record of an overlapped operation.  Windows puts Offset and OffsetHigh
 * in a union with a pointer; the layout here is the same (the pointer member
 * is left out so that the header stays standard C and C++). */
typedef struct _OVERLAPPED {
  ULONG_PTR Internal;
  ULONG_PTR InternalHigh;
  DWORD Offset;
  DWORD OffsetHigh;
  HANDLE hEvent; /* the event signalled when the operation ends */
} OVERLAPPED, *LPOVERLAPPED;

#ifndef INVALID_HANDLE_VALUE
#  define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#endif

/* Parity codes (DCB.Parity). */
#ifndef NOPARITY
#  define NOPARITY 0
#  define ODDPARITY 1
#  define EVENPARITY 2
#  define MARKPARITY 3
#  define SPACEPARITY 4
#endif

/* Stop-bit codes (DCB.StopBits). */
#ifndef ONESTOPBIT
#  define ONESTOPBIT 0
#  define ONE5STOPBITS 1
#  define TWOSTOPBITS 2
#endif

/* DTR and RTS line control (DCB.fDtrControl, DCB.fRtsControl). */
#ifndef DTR_CONTROL_DISABLE
#  define DTR_CONTROL_DISABLE 0x00
#  define DTR_CONTROL_ENABLE 0x01
#  define DTR_CONTROL_HANDSHAKE 0x02
#  define RTS_CONTROL_DISABLE 0x00
#  define RTS_CONTROL_ENABLE 0x01
#  define RTS_CONTROL_HANDSHAKE 0x02
#  define RTS_CONTROL_TOGGLE 0x03
#endif

/* Standard speeds (DCB.BaudRate).  Any other rate may be given as a number. */
#ifndef CBR_9600
#  define CBR_110 110
#  define CBR_300 300
#  define CBR_600 600
#  define CBR_1200 1200
#  define CBR_2400 2400
#  define CBR_4800 4800
#  define CBR_9600 9600
#  define CBR_14400 14400
#  define CBR_19200 19200
#  define CBR_38400 38400
#  define CBR_56000 56000
#  define CBR_57600 57600
#  define CBR_115200 115200
#  define CBR_128000 128000
#  define CBR_256000 256000
#endif

/* Communications events (SetCommMask, WaitCommEvent). */
#ifndef EV_RXCHAR
#  define EV_RXCHAR 0x0001
#  define EV_RXFLAG 0x0002
#  define EV_TXEMPTY 0x0004
#  define EV_CTS 0x0008
#  define EV_DSR 0x0010
#  define EV_RLSD 0x0020
#  define EV_BREAK 0x0040
#  define EV_ERR 0x0080
#  define EV_RING 0x0100
#endif

/* Purge flags (PurgeComm). */
#ifndef PURGE_TXABORT
#  define PURGE_TXABORT 0x0001
#  define PURGE_RXABORT 0x0002
#  define PURGE_TXCLEAR 0x0004
#  define PURGE_RXCLEAR 0x0008
#endif

#endif /* !_WIN32 */

#endif
