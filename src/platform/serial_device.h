// Serial devices, one function for each communications call of the serial
// port class.
//
// The Windows backend makes the Win32 call of the same meaning (named beside
// each function); the POSIX backend gives the same behaviour with termios.
// Handles are Windows HANDLE values: on POSIX a file descriptor held in the
// pointer-sized value.  Every function reports failure by its result only
// (the system's error number is left in errno or GetLastError) and never
// throws.
#ifndef TAVRIN_PLATFORM_SERIAL_DEVICE_H
#define TAVRIN_PLATFORM_SERIAL_DEVICE_H

#include "tavrin/serial/serial_types.h"

namespace tavrin::platform::serial {

// Opens the device named `device_name` ("\\.\COM1", as the class stores it)
// for reading and writing, with no sharing (CreateFileA).  On POSIX the name
// after the prefix is mapped to a device path as tavrin/serial/com_port.h
// describes, and the line is put in raw mode.  INVALID_HANDLE_VALUE on
// failure, with nothing left open.
HANDLE OpenSerialDevice(const char* device_name);

// Asks for input and output queues of these sizes (SetupComm).  On POSIX the
// driver's queues are fixed: this checks that the handle is a terminal.
bool SetSerialQueueSizes(HANDLE port, DWORD input_size, DWORD output_size);

// Discards what the queues hold, by PURGE_* flags (PurgeComm).
bool PurgeSerialDevice(HANDLE port, DWORD flags);

// Reads the port's settings into *dcb, length field included (GetCommState).
// *dcb is left untouched on failure.
bool GetSerialState(HANDLE port, DCB* dcb);

// Applies every setting of *dcb to the port at once (SetCommState).  False,
// with the port unchanged, for settings it cannot take.
bool SetSerialState(HANDLE port, const DCB* dcb);

// Creates the manual-reset, unsignalled, unnamed event of the overlapped
// record (CreateEventA).  Null on failure.
HANDLE CreateSerialEvent();

// Chooses the events that end a wait (SetCommMask).  On POSIX the wait
// always watches for received characters: this checks that the handle is open.
bool SetSerialEventMask(HANDLE port, DWORD mask);

// Waits for a communications event (WaitCommEvent, then GetOverlappedResult
// when the wait is pending) and gives the events that ended it in *events:
// EV_RXCHAR for received characters, 0 when the overlapped record's event was
// signalled instead (POSIX).  Returns at once with EV_RXCHAR when bytes are
// already waiting.
bool WaitSerialEvent(HANDLE port, DWORD* events, OVERLAPPED* overlapped);

// The number of bytes waiting in the input queue (ClearCommError, which also
// clears the port's error state; FIONREAD on POSIX).
bool GetSerialInputCount(HANDLE port, DWORD* count);

// Reads up to `size` bytes (ReadFile, synchronous); *done gets the count.
// On POSIX a read that finds the line hung up fails.
bool ReadSerial(HANDLE port, void* buffer, DWORD size, DWORD* done);

// Writes up to `size` bytes (WriteFile, synchronous); *done gets the count.
bool WriteSerial(HANDLE port, const void* data, DWORD size, DWORD* done);

// Closes an event made by CreateSerialEvent (CloseHandle).  On POSIX it is
// signalled first, which wakes a WaitSerialEvent in another thread.  Null and
// INVALID_HANDLE_VALUE are ignored.
void CloseSerialEvent(HANDLE event);

// Closes a port made by OpenSerialDevice, giving up its exclusive use
// (CloseHandle).  Null and INVALID_HANDLE_VALUE are ignored.
void CloseSerialDevice(HANDLE port);

}  // namespace tavrin::platform::serial

#endif
