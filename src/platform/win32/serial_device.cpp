// Serial devices through the Win32 communications API.
//
// The system calls go through this file's table, under names prefixed with
// "serial:" so that a test can fail this file's "CloseHandle" without touching
// another file's.
#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/serial_device.h"
#include "platform/syscalls.h"

namespace tavrin::platform::serial {

namespace {

#define TAVRIN_SYSCALLS(CALL, OWN)                        \
  CALL(CreateFileA, "serial:CreateFileA")                 \
  CALL(SetupComm, "serial:SetupComm")                     \
  CALL(PurgeComm, "serial:PurgeComm")                     \
  CALL(GetCommState, "serial:GetCommState")               \
  CALL(SetCommState, "serial:SetCommState")               \
  CALL(CreateEventA, "serial:CreateEventA")               \
  CALL(SetCommMask, "serial:SetCommMask")                 \
  CALL(WaitCommEvent, "serial:WaitCommEvent")             \
  CALL(GetOverlappedResult, "serial:GetOverlappedResult") \
  CALL(ClearCommError, "serial:ClearCommError")           \
  CALL(ReadFile, "serial:ReadFile")                       \
  CALL(WriteFile, "serial:WriteFile")                     \
  CALL(CloseHandle, "serial:CloseHandle")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

bool IsOpen(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

// The bytes waiting in the input queue; false when the port cannot tell.
bool InputCount(HANDLE port, DWORD* count) {
  DWORD errors = 0;
  COMSTAT status = {};
  if (!sys::ClearCommError(port, &errors, &status)) return false;
  *count = status.cbInQue;
  return true;
}

}  // namespace

HANDLE OpenSerialDevice(const char* device_name) {
  // Read and write, no sharing, no security attributes, open existing,
  // attribute normal: synchronous I/O.
  return sys::CreateFileA(device_name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                          nullptr);
}

bool SetSerialQueueSizes(HANDLE port, DWORD input_size, DWORD output_size) {
  return sys::SetupComm(port, input_size, output_size) != 0;
}

bool PurgeSerialDevice(HANDLE port, DWORD flags) { return sys::PurgeComm(port, flags) != 0; }

bool GetSerialState(HANDLE port, DCB* dcb) {
  if (dcb == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  // Read into a block of our own, so that a failed read leaves *dcb (and its
  // length field, which tells whether it was ever read) as it was.
  DCB state = {};
  state.DCBlength = sizeof state;
  if (!sys::GetCommState(port, &state)) return false;
  if (state.DCBlength == 0) state.DCBlength = sizeof state;
  *dcb = state;
  return true;
}

bool SetSerialState(HANDLE port, const DCB* dcb) {
  if (dcb == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  DCB state = *dcb;
  return sys::SetCommState(port, &state) != 0;
}

HANDLE CreateSerialEvent() {
  // Manual reset, initially not signalled, no name.
  return sys::CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

bool SetSerialEventMask(HANDLE port, DWORD mask) { return sys::SetCommMask(port, mask) != 0; }

bool WaitSerialEvent(HANDLE port, DWORD* events, OVERLAPPED* overlapped) {
  if (events == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  // The driver reports only characters that arrive while nobody waits or
  // during the wait: bytes left queued by an earlier read of at most 512
  // would otherwise wait for the next character.
  DWORD waiting = 0;
  if (InputCount(port, &waiting) && waiting > 0) {
    *events = EV_RXCHAR;
    return true;
  }
  DWORD mask = 0;
  if (!sys::WaitCommEvent(port, &mask, overlapped)) {
    if (GetLastError() != ERROR_IO_PENDING || overlapped == nullptr) return false;
    DWORD transferred = 0;
    if (!sys::GetOverlappedResult(port, overlapped, &transferred, TRUE)) return false;
  }
  *events = mask;
  return true;
}

bool GetSerialInputCount(HANDLE port, DWORD* count) {
  if (count == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return InputCount(port, count);
}

bool ReadSerial(HANDLE port, void* buffer, DWORD size, DWORD* done) {
  DWORD count = 0;
  if (!sys::ReadFile(port, buffer, size, &count, nullptr)) return false;
  if (done != nullptr) *done = count;
  return true;
}

bool WriteSerial(HANDLE port, const void* data, DWORD size, DWORD* done) {
  DWORD count = 0;
  if (!sys::WriteFile(port, data, size, &count, nullptr)) return false;
  if (done != nullptr) *done = count;
  return true;
}

void CloseSerialEvent(HANDLE event) {
  if (IsOpen(event)) sys::CloseHandle(event);
}

void CloseSerialDevice(HANDLE port) {
  if (IsOpen(port)) sys::CloseHandle(port);
}

}  // namespace tavrin::platform::serial
