// Support of the serial port tests: a pseudo-terminal standing in for a
// cable, and faults injected into the library's serial system calls.  Where
// the platform has neither (Windows), SerialLine::ok() and the installed()
// of the interceptors are false and the tests that need them skip.
#ifndef TAVRIN_TESTS_SUPPORT_SERIAL_LINE_H
#define TAVRIN_TESTS_SUPPORT_SERIAL_LINE_H

#include <cstddef>
#include <string>
#include <vector>

#include "support/scoped_syscalls.h"
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
// the far end.
class SerialLine {
 public:
  SerialLine();
  ~SerialLine();
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;
  bool ok() const { return far_ >= 0; }
  const std::string& path() const { return path_; }

  bool Write(const void* data, std::size_t size);
  // Reads until `size` bytes came or `timeout_ms` passed without any; the
  // count read.
  std::size_t Read(void* data, std::size_t size, int timeout_ms);
  // Waits until the port end's input queue holds `count` bytes.
  bool WaitQueued(std::size_t count, int timeout_ms);
  // The port's settings, read through the far end (a pseudo-terminal keeps
  // only speed and stop bits).
  bool Settings(LineSettings* settings);

 private:
  int far_ = -1;
  int near_ = -1;
  std::string path_;
};

// Signals a library event handle (the hEvent of the port's OVERLAPPED record).
void SignalEvent(HANDLE event);

// While alive, the `occurrence`-th call (from 0) of the library's serial
// system call `name`, and every later one, fails.
class SyscallFailure {
 public:
  SyscallFailure(const char* name, int occurrence);
  ~SyscallFailure();
  SyscallFailure(const SyscallFailure&) = delete;
  SyscallFailure& operator=(const SyscallFailure&) = delete;
  bool installed() const { return failing_.installed(); }

 private:
  ScopedSyscalls failing_;
};

// While alive, records the settings the library applies to its port.
class SettingsRecorder {
 public:
  SettingsRecorder();
  ~SettingsRecorder();
  SettingsRecorder(const SettingsRecorder&) = delete;
  SettingsRecorder& operator=(const SettingsRecorder&) = delete;
  bool installed() const { return recorder_.installed(); }
  int count() const;
  LineSettings last() const;

 private:
  ScopedSyscalls recorder_;
};

// The device path that OpenPort tries for `port_name` (the open is
// intercepted: nothing is opened); empty where not supported.
std::string DevicePathFor(const char* port_name);

// A system call whose failure ends a step of OpenPort, or SendData's write,
// or ReceiveData's wait and read, and the code that step gives.
struct StepFault {
  const char* call;
  int occurrence;
  short code;
};
std::vector<StepFault> OpenStepFaults();
std::vector<StepFault> TransferFaults();  // write, wait, read

}  // namespace tavrin::test

#endif
