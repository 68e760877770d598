// Support of the serial port tests: a pseudo-terminal standing in for a
// cable, faults injected into the library's serial system calls, and a child
// process that tries the same port.  Where the platform has none of these
// (Windows), SerialLine::ok() and SyscallFailure::installed() are false and
// the tests that need them skip.
#ifndef TAVRIN_TESTS_SUPPORT_SERIAL_LINE_H
#define TAVRIN_TESTS_SUPPORT_SERIAL_LINE_H

#include <cstddef>
#include <string>
#include <vector>

#include "tavrin/serial/serial_types.h"

namespace tavrin::test {

// A port's settings as its far end sees them; the codes are the DCB's.
struct LineSettings {
  DWORD baud_rate;
  int byte_size;
  int parity;     // NOPARITY ... SPACEPARITY
  int stop_bits;  // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS
  bool raw;       // no echo, line editing, translation or XON/XOFF
};

// A pseudo-terminal: the library opens path() as its port, the test works
// the far end (and looks at the port end's input queue).
class SerialLine {
 public:
  SerialLine();
  ~SerialLine();
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  bool ok() const { return far_ >= 0; }
  const std::string& path() const { return path_; }

  // Far end: writes all of the bytes (blocking).
  bool Write(const void* data, std::size_t size);
  // Far end: reads until `size` bytes came or `timeout_ms` passed without
  // any; returns the count read.
  std::size_t Read(void* data, std::size_t size, int timeout_ms);
  // Waits until the port end's input queue holds `count` bytes.
  bool WaitQueued(std::size_t count, int timeout_ms);
  // The port's settings, read through the far end.
  bool Settings(LineSettings* settings);
  // Sets the port's speed, byte size, parity and stop bits through the far end.
  bool Configure(const LineSettings& settings);

 private:
  int far_ = -1;
  int near_ = -1;
  std::string path_;
};

// Signals a library event handle (the hEvent of the port's OVERLAPPED record).
void SignalEvent(HANDLE event);

// OpenPort on `port_name` in a child process: its result, or 1 where the
// platform cannot run one.
short OpenPortInChildProcess(const char* port_name);

// Makes the `occurrence`-th call (counted from 0) of the library's serial
// system call `name` fail, and every later one, until destroyed.
class SyscallFailure {
 public:
  SyscallFailure(const char* name, int occurrence);
  ~SyscallFailure();
  SyscallFailure(const SyscallFailure&) = delete;
  SyscallFailure& operator=(const SyscallFailure&) = delete;
  bool installed() const { return installed_; }

 private:
  std::string name_;
  bool installed_ = false;
};

// Records the settings the library applies to its port while alive.
class SettingsRecorder {
 public:
  SettingsRecorder();
  ~SettingsRecorder();
  SettingsRecorder(const SettingsRecorder&) = delete;
  SettingsRecorder& operator=(const SettingsRecorder&) = delete;
  bool installed() const { return installed_; }
  int count() const;
  LineSettings last() const;

 private:
  bool installed_ = false;
};

// The device path that OpenPort tries for `port_name`; the open is
// intercepted, so no device is opened.  Empty where not supported.
std::string DevicePathFor(const char* port_name);

// The calls whose failure ends each step of OpenPort, and the code it gives.
struct OpenStepFault {
  const char* call;
  int occurrence;
  short code;
};
std::vector<OpenStepFault> OpenStepFaults();

// The calls that write, wait for an event and read.
struct TransferCalls {
  const char* write;
  const char* wait;
  const char* read;
};
TransferCalls SerialTransferCalls();

}  // namespace tavrin::test

#endif
