// CLibCOMPort: one serial port (a communications device such as COM1).
//
// The port is opened with fixed queue sizes of 512 bytes and waits for
// received characters; the caller may change baud rate, byte size, stop bits
// and parity, write blocks of bytes and read what has arrived.  Every
// operation reports by a small signed code (TAVRIN_COM_*); nothing throws and
// nothing is printed.
//
// Calling order: a name (constructor or SetPortName), OpenPort, then any
// setters, then SendData and ReceiveData as needed, then ClosePort.  Opening
// reads the port's settings over the object's control block, so setters
// called before OpenPort are lost.  The port keeps the settings it had before
// opening except for what the setters change.
//
// The object owns the port handle and its event while the port is open; the
// destructor does not close them (call ClosePort).  Copies share the same
// handles, and only one of them may close them.  No lock is taken: ReceiveData
// blocks its caller until a character arrives, so call it from a thread that
// may wait.
//
// Port names.  On Windows the device opened is "\\.\" followed by the name.
// On Linux the name is mapped to a device the way Wine maps it, so that one
// configuration serves an application under Wine and a Linux one alike:
//   - COMn (any case, n from 1): the device named by the environment variable
//     TAVRIN_COMn when it is set and not empty; else the target of the link
//     $WINEPREFIX/dosdevices/comn when that link exists (the prefix defaults
//     to $HOME/.wine); else /dev/ttyS(n-1);
//   - a name beginning with '/': that path;
//   - any other name: /dev/NAME (for example "ttyUSB0" or "pts/3").
// On Linux the port is opened for exclusive use (TIOCEXCL and an exclusive
// flock), so a second open of the same device, from this process or another,
// fails with TAVRIN_COM_OPEN_FAILED as it does on Windows.  The line is put in
// raw mode (no echo, no line editing, no character translation, no XON/XOFF)
// keeping its speed, byte size, parity and stop bits.  A HANDLE is the file
// descriptor held in the pointer-sized value; the event of the OVERLAPPED
// record is an eventfd descriptor that wakes a waiting ReceiveData.
#ifndef TAVRIN_SERIAL_COM_PORT_H
#define TAVRIN_SERIAL_COM_PORT_H

#include "tavrin/export.h"
#include "tavrin/serial/serial_types.h"

/* Result codes (signed 16-bit). */
#define TAVRIN_COM_OK 0                  /* success; ReceiveData: also nothing arrived */
#define TAVRIN_COM_ALREADY_OPEN (-1)     /* OpenPort: the port is already open */
#define TAVRIN_COM_OPEN_FAILED (-2)      /* OpenPort: the device could not be opened */
#define TAVRIN_COM_SETUP_FAILED (-3)     /* OpenPort: the queue sizes could not be set */
#define TAVRIN_COM_PURGE_FAILED (-4)     /* OpenPort: the purge failed */
#define TAVRIN_COM_GETSTATE_FAILED (-5)  /* OpenPort: the settings could not be read */
#define TAVRIN_COM_EVENT_FAILED (-6)     /* OpenPort: the event could not be created */
#define TAVRIN_COM_MASK_FAILED (-7)      /* OpenPort: the event mask could not be set */
#define TAVRIN_COM_WRITE_FAILED (-8)     /* SendData: a write failed */
#define TAVRIN_COM_WAIT_FAILED (-9)      /* ReceiveData: the wait for an event failed */
#define TAVRIN_COM_READ_FAILED (-10)     /* ReceiveData: a read failed */

/* The most ReceiveData writes in one call: the size the caller's buffer must
 * have.  It equals the input queue size asked for at opening. */
#define TAVRIN_COM_RECEIVE_MAX 512
/* The longest port name: the device name field holds 16 characters with its
 * terminator, and the prefix "\\.\" takes 4 of them. */
#define TAVRIN_COM_PORT_NAME_MAX 11

#ifdef __cplusplus
class TAVRIN_CLASS CLibCOMPort {
 public:
  /* No name, not open. */
  CLibCOMPort();
  /* Not open, with the name set as by SetPortName. */
  CLibCOMPort(char* port_name);
  /* Copy every field, handles included (both objects then name the same open
   * port; only one may close it). */
  CLibCOMPort(const CLibCOMPort& other);
  CLibCOMPort& operator=(const CLibCOMPort& other);
  /* Does nothing: an open port stays open. */
  virtual ~CLibCOMPort();

  /* Sets the port name: the device name becomes "\\.\" followed by
   * port_name (for COM1: \\.\COM1).
   * port_name: at most TAVRIN_COM_PORT_NAME_MAX (11) characters.  A longer
   * name, or a null pointer, is refused: the device name is left empty (no
   * name set), and nothing is written past its 16-character field.  An empty
   * name counts as a name (the bare prefix), which names no device. */
  void SetPortName(char* port_name);

  /* The setters store one field of the control block and apply the whole
   * block to the port at once (SetCommState on Windows, tcsetattr on Linux).
   * Whether the port took it is not reported (GetDCB shows what was stored,
   * not what the port took).  On a port that is not open the value is
   * stored and lost at the next OpenPort.
   * On Linux the port takes speeds the terminal driver knows (110 to 921600
   * and the usual higher ones), 5 to 8 bits, one or two stop bits (one and a
   * half only with 5 bits, as on Windows), and none, odd, even, mark and space
   * parity; a block it cannot take leaves the port unchanged. */
  /* baud_rate: bits per second, such as CBR_9600 or 921600. */
  void SetDCBBaudRate(DWORD baud_rate);
  /* byte_size: bits per byte, 5 to 8. */
  void SetDCBByteSize(unsigned char byte_size);
  /* stop_bits: ONESTOPBIT (0), ONE5STOPBITS (1) or TWOSTOPBITS (2). */
  void SetDCBStopBits(unsigned char stop_bits);
  /* parity: NOPARITY (0), ODDPARITY (1), EVENPARITY (2), MARKPARITY (3) or
   * SPACEPARITY (4). */
  void SetDCBParity(unsigned char parity);

  /* Tells whether a name is set (the device name holds the prefix).
   * port_name: when not null, receives the name after the prefix, or an empty
   * string when none is set; it must hold TAVRIN_COM_PORT_NAME_MAX + 1 (12)
   * characters.
   * Returns true when a name is set. */
  bool GetPortName(char* port_name);
  /* Tells whether the control block has been read from the port (its length
   * field is not 0: OpenPort got past reading the settings).
   * dcb: when not null, receives a copy of the control block as it is.
   * Returns true when the block has been read. */
  bool GetDCB(DCB* dcb);
  /* Tells whether the port is open.
   * handle: when not null, receives the port handle (INVALID_HANDLE_VALUE
   * when not open).
   * Returns true when the port handle is not INVALID_HANDLE_VALUE: from the
   * moment OpenPort opened the device, even if a later step failed, until
   * ClosePort. */
  bool GetPortHandle(HANDLE* handle);
  /* Tells whether the overlapped record holds an event handle.
   * overlapped: when not null, receives a copy of the overlapped record.
   * Returns true when its event handle is not INVALID_HANDLE_VALUE.  After
   * OpenPort failed to create the event (TAVRIN_COM_EVENT_FAILED) the record
   * has been cleared and holds a null event, for which this returns true. */
  bool GetEventHandle(OVERLAPPED* overlapped);

  /* Opens the port: opens the device for reading and writing with no
   * sharing, sets the input and output queue sizes to 512 bytes, purges both
   * directions, reads the port's settings into the control block, creates a
   * manual-reset event in a cleared overlapped record, and sets the event
   * mask to received characters (EV_RXCHAR).
   * Returns TAVRIN_COM_OK, or:
   *   TAVRIN_COM_ALREADY_OPEN   the port is open; it is left alone;
   *   TAVRIN_COM_OPEN_FAILED    no such device, or it is in use, or it is not
   *                             a terminal; the object stays not open;
   *   TAVRIN_COM_SETUP_FAILED, TAVRIN_COM_PURGE_FAILED,
   *   TAVRIN_COM_GETSTATE_FAILED, TAVRIN_COM_EVENT_FAILED,
   *   TAVRIN_COM_MASK_FAILED    a later step failed: the device stays open and
   *                             the object counts as open; call ClosePort. */
  short OpenPort();

  /* Writes length bytes from data, going on after partial writes until all
   * are written.  Blocks until the driver has taken them.
   * Returns TAVRIN_COM_OK (at once, writing nothing, when length is 0), or
   * TAVRIN_COM_WRITE_FAILED when a write fails (the port is not open, data
   * is null, or the device failed); part of the block may have been sent. */
  short SendData(char* data, DWORD length);

  /* Waits until a character arrives, then copies the bytes waiting in the
   * input queue to the start of buffer, at most TAVRIN_COM_RECEIVE_MAX (512)
   * of them: buffer must hold 512 bytes.  Bytes beyond 512 stay queued for
   * the next call.  Neither the count nor a terminator is given: the caller
   * must know how much to expect (or fill the buffer beforehand).
   * Returns TAVRIN_COM_OK after reading, and also, leaving buffer untouched,
   * when the wait ended for another reason than a received character (on
   * Linux: the event was signalled, as ClosePort does from another thread;
   * the event is manual-reset and nothing in the library resets it, so every
   * later wait on this opening ends the same way) or when nothing is waiting;
   * or:
   *   TAVRIN_COM_WAIT_FAILED  the wait failed (the port is not open, or the
   *                           line hung up with nothing left to read);
   *   TAVRIN_COM_READ_FAILED  a read failed, or buffer is null. */
  short ReceiveData(char* buffer);

  /* Closes the event and the port and sets both handles back to
   * INVALID_HANDLE_VALUE, so the port can be opened again.  Nothing happens
   * for handles that are not open.  On Linux the event is signalled before it
   * is closed, so a ReceiveData waiting on this object in another thread
   * returns (TAVRIN_COM_OK, or TAVRIN_COM_WAIT_FAILED when it had not yet
   * started waiting). */
  void ClosePort();

 private:
  char device_name_[16];    // "\\.\" and the port name; empty while none is set
  HANDLE port_handle_;      // INVALID_HANDLE_VALUE while not open
  OVERLAPPED overlapped_;   // given to the event wait; its event made at opening
  DCB dcb_;                 // settings read at opening and changed by the setters
};
#endif

TAVRIN_EXTERN_C_BEGIN

/* The number of bytes waiting in the input queue of an open port, for a
 * caller that wants to know before ReceiveData takes them.
 * port: from CLibCOMPort::GetPortHandle.  Windows ClearCommError (which
 * also clears the port's error state); elsewhere FIONREAD.
 * Returns 1 with *count set; 0 when count is null or the port is not open
 * or refuses (*count then 0 when given). */
TAVRIN_FUNC(int) lib_GetComPortInputCount(HANDLE port, DWORD* count);

TAVRIN_EXTERN_C_END

#endif
