// Serial devices on termios.
//
// A port is a terminal device opened for exclusive use and put in raw mode;
// the class's Windows control block is translated to and from termios; the
// wait is poll() on the port and on the eventfd that stands for the Windows
// event, so that closing the event from another thread wakes a waiting reader.
//
// The system calls go through this file's table, under names prefixed with
// "serial:" so that a test can fail this file's "open" without touching
// another file's.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/serial_device.h"
#include "platform/syscalls.h"

namespace tavrin::platform::serial {

namespace {

#define TAVRIN_SYSCALLS(CALL, OWN)    \
  CALL(open, "serial:open")           \
  CALL(close, "serial:close")         \
  CALL(ioctl, "serial:ioctl")         \
  CALL(flock, "serial:flock")         \
  CALL(fcntl, "serial:fcntl")         \
  CALL(isatty, "serial:isatty")       \
  CALL(tcgetattr, "serial:tcgetattr") \
  CALL(tcsetattr, "serial:tcsetattr") \
  CALL(tcflush, "serial:tcflush")     \
  CALL(eventfd, "serial:eventfd")     \
  CALL(poll, "serial:poll")           \
  CALL(read, "serial:read")           \
  CALL(write, "serial:write")         \
  CALL(lstat, "serial:lstat")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

constexpr char kPrefix[] = "\\\\.\\";

// --- Handles -----------------------------------------------------------------

// A null handle means "none" as on Windows, so descriptor 0 is never handed
// out (see KeepOffZero).
int ToDescriptor(HANDLE handle) {
  intptr_t value = reinterpret_cast<intptr_t>(handle);
  return value > 0 && value <= INT_MAX ? static_cast<int>(value) : -1;
}

HANDLE ToHandle(int fd) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd)); }

// Moves a descriptor that came out as 0 (standard input was closed) to
// another number, since a handle of 0 would read as null.
int KeepOffZero(int fd) {
  if (fd != 0) return fd;
  int moved = sys::fcntl(fd, F_DUPFD_CLOEXEC, 1);
  sys::close(fd);
  return moved;
}

// --- Port names --------------------------------------------------------------

// The n of a name COMn (any case, n from 1), or 0 for any other name.
unsigned long ComNumber(const std::string& name) {
  if (name.size() < 4 || name.size() > 12) return 0;
  for (std::size_t i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return 0;
  }
  unsigned long number = 0;
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
    number = number * 10 + static_cast<unsigned long>(name[i] - '0');
  }
  return number;
}

// The device path for a device name, mapped as Wine maps port names (see
// tavrin/serial/com_port.h).
std::string DevicePath(const char* device_name) {
  std::string name = device_name;
  if (name.compare(0, sizeof kPrefix - 1, kPrefix) == 0) name.erase(0, sizeof kPrefix - 1);
  if (name.empty()) return name;
  if (name[0] == '/') return name;
  unsigned long number = ComNumber(name);
  if (number == 0) return "/dev/" + name;

  std::string digits = std::to_string(number);
  std::string configured;
  if (GetEnvironmentValue(("TAVRIN_COM" + digits).c_str(), &configured) && !configured.empty()) return configured;
  std::string prefix;
  if (!GetEnvironmentValue("WINEPREFIX", &prefix) || prefix.empty()) {
    std::string home;
    if (GetEnvironmentValue("HOME", &home) && !home.empty()) prefix = home + "/.wine";
  }
  if (!prefix.empty()) {
    std::string link = prefix + "/dosdevices/com" + digits;
    struct stat status;
    if (sys::lstat(link.c_str(), &status) == 0) return link;
  }
  return "/dev/ttyS" + std::to_string(number - 1);
}

// --- Settings ----------------------------------------------------------------

struct Speed {
  DWORD rate;
  speed_t code;
};
constexpr Speed kSpeeds[] = {
    {50, B50},         {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},       {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},     {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},   {115200, B115200},   {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B500000
    {500000, B500000}, {576000, B576000},
#endif
#ifdef B921600
    {921600, B921600},
#endif
#ifdef B1000000
    {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000}, {2000000, B2000000},
#endif
#ifdef B2500000
    {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
#endif
};

bool SpeedCode(DWORD rate, speed_t* code) {
  for (const Speed& speed : kSpeeds) {
    if (speed.rate == rate) {
      *code = speed.code;
      return true;
    }
  }
  return false;
}

DWORD SpeedRate(speed_t code) {
  for (const Speed& speed : kSpeeds) {
    if (speed.code == code) return speed.rate;
  }
  return 0;  // B0 (hang up) or a speed without a number
}

// Raw mode: no line discipline, as a Windows port has none.  The speed, byte
// size, parity, parity checking, stop bits and hardware flow control stay as
// they are; the modem lines are ignored and the receiver is on.
void MakeRaw(termios* t) {
  t->c_iflag &= ~static_cast<tcflag_t>(BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
  t->c_iflag |= IGNBRK;
  t->c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t->c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t->c_cflag |= CREAD | CLOCAL;
  t->c_cc[VMIN] = 1;
  t->c_cc[VTIME] = 0;
}

bool FromDcb(const DCB& dcb, termios* t) {
  speed_t speed;
  if (!SpeedCode(dcb.BaudRate, &speed) || speed == B0) return false;

  tcflag_t size;
  switch (dcb.ByteSize) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return false;
  }

  // Windows' rules: one and a half stop bits go with 5 bits only, two stop
  // bits with 6 to 8.  The driver sends one and a half for CSTOPB with CS5.
  bool two_stop_bits;
  switch (dcb.StopBits) {
    case ONESTOPBIT: two_stop_bits = false; break;
    case ONE5STOPBITS:
      if (dcb.ByteSize != 5) return false;
      two_stop_bits = true;
      break;
    case TWOSTOPBITS:
      if (dcb.ByteSize == 5) return false;
      two_stop_bits = true;
      break;
    default: return false;
  }

  tcflag_t parity;
  switch (dcb.Parity) {
    case NOPARITY: parity = 0; break;
    case ODDPARITY: parity = PARENB | PARODD; break;
    case EVENPARITY: parity = PARENB; break;
#ifdef CMSPAR
    case MARKPARITY: parity = PARENB | CMSPAR | PARODD; break;
    case SPACEPARITY: parity = PARENB | CMSPAR; break;
#endif
    default: return false;
  }

  if (cfsetispeed(t, speed) != 0 || cfsetospeed(t, speed) != 0) return false;
  tcflag_t cleared = CSIZE | CSTOPB | PARENB | PARODD;
#ifdef CMSPAR
  cleared |= CMSPAR;
#endif
#ifdef CRTSCTS
  cleared |= CRTSCTS;
#endif
  t->c_cflag &= ~cleared;
  t->c_cflag |= size | parity | (two_stop_bits ? CSTOPB : 0);
#ifdef CRTSCTS
  if (dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) t->c_cflag |= CRTSCTS;
#endif
  t->c_iflag &= ~static_cast<tcflag_t>(INPCK | IXON | IXOFF);
  if (dcb.fParity) t->c_iflag |= INPCK;
  if (dcb.fOutX) t->c_iflag |= IXON;
  if (dcb.fInX) t->c_iflag |= IXOFF;
  if (dcb.fOutX || dcb.fInX) {
    t->c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t->c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
  }
  return true;
}

DCB ToDcb(const termios& t) {
  DCB dcb = {};
  dcb.DCBlength = sizeof(DCB);
  dcb.BaudRate = SpeedRate(cfgetospeed(&t));
  dcb.fBinary = 1;
  dcb.fParity = (t.c_iflag & INPCK) != 0;
  bool hardware_flow = false;
#ifdef CRTSCTS
  hardware_flow = (t.c_cflag & CRTSCTS) != 0;
#endif
  dcb.fOutxCtsFlow = hardware_flow;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = hardware_flow ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
  dcb.fTXContinueOnXoff = 1;
  dcb.fOutX = (t.c_iflag & IXON) != 0;
  dcb.fInX = (t.c_iflag & IXOFF) != 0;
  switch (t.c_cflag & CSIZE) {
    case CS5: dcb.ByteSize = 5; break;
    case CS6: dcb.ByteSize = 6; break;
    case CS7: dcb.ByteSize = 7; break;
    default: dcb.ByteSize = 8; break;
  }
  if ((t.c_cflag & PARENB) == 0) {
    dcb.Parity = NOPARITY;
  } else {
    bool odd = (t.c_cflag & PARODD) != 0;
    bool stick = false;
#ifdef CMSPAR
    stick = (t.c_cflag & CMSPAR) != 0;
#endif
    dcb.Parity = stick ? (odd ? MARKPARITY : SPACEPARITY) : (odd ? ODDPARITY : EVENPARITY);
  }
  if ((t.c_cflag & CSTOPB) == 0) {
    dcb.StopBits = ONESTOPBIT;
  } else {
    dcb.StopBits = dcb.ByteSize == 5 ? ONE5STOPBITS : TWOSTOPBITS;
  }
  dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
  dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
  return dcb;
}

// Opens, locks and sets up a port; -1 with nothing left open on failure.
int OpenTerminal(const std::string& path) {
  // O_NONBLOCK only for the open itself, so that a port whose modem lines
  // say "no carrier" opens at once, as on Windows.
  int fd = KeepOffZero(sys::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
  if (fd < 0) return -1;
  // Exclusive use: flock keeps out every other opener that uses this library
  // (root included), TIOCEXCL every other opener that is not root.
  if (sys::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int saved = errno;
    sys::close(fd);
    errno = saved;
    return -1;
  }
  bool ready = false;
  if (sys::ioctl(fd, TIOCEXCL) == 0) {
    termios t;
    int flags = 0;
    ready = sys::tcgetattr(fd, &t) == 0 && (MakeRaw(&t), sys::tcsetattr(fd, TCSANOW, &t) == 0) &&
            (flags = sys::fcntl(fd, F_GETFL)) != -1 && sys::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != -1;
    if (!ready) {
      int saved = errno;
      sys::ioctl(fd, TIOCNXCL);
      errno = saved;
    }
  }
  if (!ready) {
    int saved = errno;
    sys::close(fd);
    errno = saved;
    return -1;
  }
  return fd;
}

}  // namespace

HANDLE OpenSerialDevice(const char* device_name) {
  if (device_name == nullptr) {
    errno = EINVAL;
    return INVALID_HANDLE_VALUE;
  }
  int fd = OpenTerminal(DevicePath(device_name));
  return fd < 0 ? INVALID_HANDLE_VALUE : ToHandle(fd);
}

bool SetSerialQueueSizes(HANDLE port, DWORD input_size, DWORD output_size) {
  if (input_size == 0 || output_size == 0) {
    errno = EINVAL;
    return false;
  }
  return sys::isatty(ToDescriptor(port)) == 1;
}

bool PurgeSerialDevice(HANDLE port, DWORD flags) {
  bool input = (flags & (PURGE_RXABORT | PURGE_RXCLEAR)) != 0;
  bool output = (flags & (PURGE_TXABORT | PURGE_TXCLEAR)) != 0;
  if (!input && !output) return true;
  int queue = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
  return sys::tcflush(ToDescriptor(port), queue) == 0;
}

bool GetSerialState(HANDLE port, DCB* dcb) {
  termios t;
  if (dcb == nullptr || sys::tcgetattr(ToDescriptor(port), &t) != 0) return false;
  *dcb = ToDcb(t);
  return true;
}

bool SetSerialState(HANDLE port, const DCB* dcb) {
  int fd = ToDescriptor(port);
  termios t;
  if (dcb == nullptr || sys::tcgetattr(fd, &t) != 0) return false;
  if (!FromDcb(*dcb, &t)) {
    errno = EINVAL;
    return false;
  }
  return sys::tcsetattr(fd, TCSANOW, &t) == 0;
}

HANDLE CreateSerialEvent() {
  int fd = KeepOffZero(sys::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  return fd < 0 ? nullptr : ToHandle(fd);
}

bool SetSerialEventMask(HANDLE port, DWORD) { return sys::fcntl(ToDescriptor(port), F_GETFD) != -1; }

bool WaitSerialEvent(HANDLE port, DWORD* events, OVERLAPPED* overlapped) {
  int fd = ToDescriptor(port);
  if (fd < 0 || events == nullptr) {
    errno = EBADF;
    return false;
  }
  // poll() skips a negative descriptor, so a record without an event waits
  // for the port alone.
  pollfd watched[2] = {{fd, POLLIN, 0}, {overlapped != nullptr ? ToDescriptor(overlapped->hEvent) : -1, POLLIN, 0}};
  while (sys::poll(watched, 2, -1) < 0) {
    if (errno != EINTR) return false;
  }
  // The event first: once it is signalled the port may be closing, and is
  // not touched again.
  if (watched[1].revents != 0) {
    *events = 0;
    return true;
  }
  short ready = watched[0].revents;
  if ((ready & POLLNVAL) != 0) {
    errno = EBADF;
    return false;
  }
  if ((ready & (POLLERR | POLLHUP)) != 0) {
    // The line hung up or failed: what it still holds can be read, and after
    // that the wait fails rather than report "ready" forever.
    int waiting = 0;
    if (sys::ioctl(fd, FIONREAD, &waiting) != 0 || waiting <= 0) {
      errno = EIO;
      return false;
    }
  }
  *events = EV_RXCHAR;
  return true;
}

bool GetSerialInputCount(HANDLE port, DWORD* count) {
  int waiting = 0;
  if (count == nullptr || sys::ioctl(ToDescriptor(port), FIONREAD, &waiting) != 0) return false;
  *count = waiting > 0 ? static_cast<DWORD>(waiting) : 0;
  return true;
}

bool ReadSerial(HANDLE port, void* buffer, DWORD size, DWORD* done) {
  ssize_t result;
  do {
    result = sys::read(ToDescriptor(port), buffer, size);
  } while (result < 0 && errno == EINTR);
  if (result < 0) return false;
  if (result == 0 && size > 0) {
    errno = EIO;  // end of input: the line hung up
    return false;
  }
  if (done != nullptr) *done = static_cast<DWORD>(result);
  return true;
}

bool WriteSerial(HANDLE port, const void* data, DWORD size, DWORD* done) {
  ssize_t result;
  do {
    result = sys::write(ToDescriptor(port), data, size);
  } while (result < 0 && errno == EINTR);
  if (result < 0) return false;
  if (done != nullptr) *done = static_cast<DWORD>(result);
  return true;
}

void CloseSerialEvent(HANDLE event) {
  int fd = ToDescriptor(event);
  if (fd < 0) return;
  uint64_t one = 1;
  sys::write(fd, &one, sizeof one);
  sys::close(fd);
}

void CloseSerialDevice(HANDLE port) {
  int fd = ToDescriptor(port);
  if (fd < 0) return;
  sys::ioctl(fd, TIOCNXCL);
  sys::flock(fd, LOCK_UN);
  sys::close(fd);
}

}  // namespace tavrin::platform::serial
