// One TCP connection to a CNC, used with deadlines: connect, send a whole
// frame, receive one whole frame.  Plain POSIX sockets, non-blocking, waited
// on with poll; nothing here blocks past the deadline it is given (name
// resolution of a host name excepted).
#ifndef TAVRIN_FOCAS2NET_CLIENT_SOCKET_H
#define TAVRIN_FOCAS2NET_CLIENT_SOCKET_H

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "focas2net/wire/frame.h"

namespace tavrin::focas2net {

using Clock = std::chrono::steady_clock;

class Socket {
 public:
  Socket() = default;
  ~Socket() { Close(); }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  // Each returns EW_OK, EW_SOCKET (refused, closed by the peer, no answer
  // before the deadline) or, for Receive, EW_PROTOCOL (bytes that are not a
  // frame, or more bytes than the one frame).
  short Connect(const std::string& address, unsigned short port, Clock::time_point deadline);
  short Send(const wire::Frame& frame, Clock::time_point deadline);
  short Receive(wire::Frame* frame, Clock::time_point deadline);

  void Close();
  bool is_open() const { return fd_ >= 0; }

 private:
  // Waits until the socket is ready for `events` (POLLIN or POLLOUT); false
  // once the deadline has passed.
  bool WaitFor(short events, Clock::time_point deadline) const;

  int fd_ = -1;
};

}  // namespace tavrin::focas2net

#endif
