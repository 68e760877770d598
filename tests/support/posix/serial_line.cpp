#include "support/serial_line.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdarg.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>

#include "tavrin/serial/com_port.h"

namespace tavrin::test {

namespace {

struct Speed {
  DWORD rate;
  speed_t code;
};
constexpr Speed kSpeeds[] = {{9600, B9600}, {19200, B19200}, {115200, B115200}, {921600, B921600}};

LineSettings Decode(const termios& t) {
  LineSettings settings{};
  for (const Speed& speed : kSpeeds) {
    if (speed.code == cfgetospeed(&t)) settings.baud_rate = speed.rate;
  }
  settings.byte_size = 5 + static_cast<int>((t.c_cflag & CSIZE) / CS6);
  bool odd = (t.c_cflag & PARODD) != 0;
  bool stick = (t.c_cflag & CMSPAR) != 0;
  settings.parity = (t.c_cflag & PARENB) == 0 ? NOPARITY
                    : stick                  ? (odd ? MARKPARITY : SPACEPARITY)
                                             : (odd ? ODDPARITY : EVENPARITY);
  settings.stop_bits = (t.c_cflag & CSTOPB) == 0 ? ONESTOPBIT : (settings.byte_size == 5 ? ONE5STOPBITS : TWOSTOPBITS);
  settings.raw = (t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) == 0 && (t.c_oflag & OPOST) == 0 &&
                 (t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF)) == 0;
  return settings;
}

}  // namespace

SerialLine::SerialLine() {
  char name[128] = {0};
  if (openpty(&far_, &near_, name, nullptr, nullptr) != 0) far_ = near_ = -1;
  path_ = name;
}

SerialLine::~SerialLine() {
  if (near_ >= 0) close(near_);
  if (far_ >= 0) close(far_);
}

bool SerialLine::Write(const void* data, std::size_t size) {
  return write(far_, data, size) == static_cast<ssize_t>(size);  // blocks of a few hundred bytes go whole
}

std::size_t SerialLine::Read(void* data, std::size_t size, int timeout_ms) {
  char* bytes = static_cast<char*>(data);
  std::size_t done = 0;
  pollfd watched = {far_, POLLIN, 0};
  while (done < size && poll(&watched, 1, timeout_ms) > 0) {
    ssize_t count = read(far_, bytes + done, size - done);
    if (count <= 0) break;
    done += static_cast<std::size_t>(count);
  }
  return done;
}

bool SerialLine::WaitQueued(std::size_t count, int timeout_ms) {
  // The pseudo-terminal hands bytes to the port end's queue asynchronously;
  // look at the queue until it holds them all.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    int queued = 0;
    if (ioctl(near_, FIONREAD, &queued) != 0) return false;
    if (queued >= 0 && static_cast<std::size_t>(queued) >= count) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

bool SerialLine::Settings(LineSettings* settings) {
  termios t;  // the far end reports the port end's settings
  if (tcgetattr(far_, &t) != 0) return false;
  *settings = Decode(t);
  return true;
}

void SignalEvent(HANDLE event) {
  eventfd_write(static_cast<int>(reinterpret_cast<intptr_t>(event)), 1);
}

// --- Faults --------------------------------------------------------------------

namespace {

int let_through = -1;  // calls to let through before failing; negative: none fail
std::string opened_path;

bool Fail() { return let_through > 0 ? (--let_through, false) : let_through == 0; }

int FailingOpen(const char* path, int flags, ...) {
  if (Fail()) return errno = ENOENT, -1;
  return open(path, flags);
}
int RecordingOpen(const char* path, int, ...) {
  opened_path = path;
  return errno = ENOENT, -1;
}
// Only the event mask step (F_GETFD) is failed through fcntl; the calls
// that take a third argument go through.
int FailingFcntl(int fd, int command, ...) {
  if (command == F_GETFD) return Fail() ? (errno = EBADF, -1) : fcntl(fd, command);
  if (command == F_GETFL) return fcntl(fd, command);
  va_list arguments;
  va_start(arguments, command);
  int argument = va_arg(arguments, int);
  va_end(arguments);
  return fcntl(fd, command, argument);
}
int FailingIsatty(int fd) { return Fail() ? (errno = ENOTTY, 0) : isatty(fd); }
int FailingTcgetattr(int fd, termios* t) { return Fail() ? (errno = EIO, -1) : tcgetattr(fd, t); }
int FailingTcflush(int fd, int queue) { return Fail() ? (errno = EIO, -1) : tcflush(fd, queue); }
int FailingEventfd(unsigned int value, int flags) { return Fail() ? (errno = EMFILE, -1) : eventfd(value, flags); }
int FailingPoll(pollfd* fds, nfds_t count, int timeout) { return Fail() ? (errno = ENOMEM, -1) : poll(fds, count, timeout); }
ssize_t FailingRead(int fd, void* data, size_t size) { return Fail() ? (errno = EIO, -1) : read(fd, data, size); }
ssize_t FailingWrite(int fd, const void* data, size_t size) { return Fail() ? (errno = EIO, -1) : write(fd, data, size); }

const SyscallFake* FailingCall(const std::string& name) {
  static const SyscallFake kCalls[] = {
      {"serial:open", &FailingOpen},       {"serial:fcntl", &FailingFcntl},
      {"serial:isatty", &FailingIsatty},   {"serial:tcgetattr", &FailingTcgetattr},
      {"serial:tcflush", &FailingTcflush}, {"serial:eventfd", &FailingEventfd},
      {"serial:poll", &FailingPoll},       {"serial:read", &FailingRead},
      {"serial:write", &FailingWrite},
  };
  for (const SyscallFake& call : kCalls) {
    if (name == call.name) return &call;
  }
  return nullptr;
}

}  // namespace

SyscallFailure::SyscallFailure(const char* name, int occurrence) {
  const SyscallFake* failing = FailingCall(name);
  if (failing == nullptr) return;
  let_through = occurrence;
  failing_.Replace(*failing);
}

SyscallFailure::~SyscallFailure() { let_through = -1; }


namespace {
int applied_count = 0;
termios applied;

int RecordingTcsetattr(int fd, int when, const termios* t) {
  applied = *t;
  ++applied_count;
  return tcsetattr(fd, when, t);
}
}  // namespace

SettingsRecorder::SettingsRecorder() : recorder_{{"serial:tcsetattr", &RecordingTcsetattr}} { applied_count = 0; }
SettingsRecorder::~SettingsRecorder() = default;
int SettingsRecorder::count() const { return applied_count; }
LineSettings SettingsRecorder::last() const { return Decode(applied); }

std::string DevicePathFor(const char* port_name) {
  char name[TAVRIN_COM_PORT_NAME_MAX + 1] = {0};
  std::strncpy(name, port_name, sizeof name - 1);
  opened_path.clear();
  ScopedSyscalls recording{{"serial:open", &RecordingOpen}};
  if (!recording.installed()) return "";
  CLibCOMPort port(name);
  port.OpenPort();
  return opened_path;
}

std::vector<StepFault> OpenStepFaults() {
  return {{"serial:open", 0, TAVRIN_COM_OPEN_FAILED},       {"serial:tcgetattr", 0, TAVRIN_COM_OPEN_FAILED},
          {"serial:isatty", 0, TAVRIN_COM_SETUP_FAILED},    {"serial:tcflush", 0, TAVRIN_COM_PURGE_FAILED},
          {"serial:tcgetattr", 1, TAVRIN_COM_GETSTATE_FAILED}, {"serial:eventfd", 0, TAVRIN_COM_EVENT_FAILED},
          {"serial:fcntl", 0, TAVRIN_COM_MASK_FAILED}};
}

std::vector<StepFault> TransferFaults() {
  return {{"serial:write", 0, TAVRIN_COM_WRITE_FAILED},
          {"serial:poll", 0, TAVRIN_COM_WAIT_FAILED},
          {"serial:read", 0, TAVRIN_COM_READ_FAILED}};
}

}  // namespace tavrin::test
