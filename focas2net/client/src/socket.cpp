#include "socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "codes.h"

namespace tavrin::focas2net {

namespace {

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  if (left <= 0) return 0;
  return left > 60 * 60 * 1000 ? 60 * 60 * 1000 : static_cast<int>(left);
}

// A non-blocking socket connected, or being connected, to one address.
int StartConnect(const addrinfo& address) {
  int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address.ai_protocol);
  if (fd < 0) return -1;
  if (::connect(fd, address.ai_addr, address.ai_addrlen) != 0 && errno != EINPROGRESS) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

void Socket::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool Socket::WaitFor(short events, Clock::time_point deadline) const {
  for (;;) {
    pollfd entry{fd_, events, 0};
    const int ready = ::poll(&entry, 1, MillisecondsLeft(deadline));
    if (ready > 0) return true;  // errors and hang-ups show in the next call
    if (ready == 0) return false;
    if (errno != EINTR) return false;
  }
}

short Socket::Connect(const std::string& address, unsigned short port, Clock::time_point deadline) {
  Close();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (::getaddrinfo(address.c_str(), service.c_str(), &hints, &found) != 0) return EW_SOCKET;
  for (const addrinfo* at = found; at != nullptr && fd_ < 0; at = at->ai_next) {
    fd_ = StartConnect(*at);
    if (fd_ < 0) continue;
    int error = 0;
    socklen_t size = sizeof error;
    if (!WaitFor(POLLOUT, deadline) || ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
      Close();
    }
  }
  ::freeaddrinfo(found);
  if (fd_ < 0) return EW_SOCKET;
  const int on = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return EW_OK;
}

short Socket::Send(const wire::Frame& frame, Clock::time_point deadline) {
  if (fd_ < 0) return EW_SOCKET;
  const std::vector<std::uint8_t> bytes = wire::EncodeFrame(frame);
  if (bytes.empty()) return EW_PROTOCOL;  // a payload longer than a frame holds
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitFor(POLLOUT, deadline)) return EW_SOCKET;
    } else {
      return EW_SOCKET;
    }
  }
  return EW_OK;
}

short Socket::Receive(wire::Frame* frame, Clock::time_point deadline) {
  if (fd_ < 0) return EW_SOCKET;
  wire::FrameReader reader;
  std::uint8_t buffer[4096];
  for (;;) {
    if (!WaitFor(POLLIN, deadline)) return EW_SOCKET;
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n == 0) return EW_SOCKET;  // the peer closed
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return EW_SOCKET;
    }
    std::size_t used = 0;
    switch (reader.Feed(buffer, static_cast<std::size_t>(n), &used)) {
      case wire::FrameReader::Result::kNeedMore:
        break;
      case wire::FrameReader::Result::kBad:
        return EW_PROTOCOL;
      case wire::FrameReader::Result::kFrame:
        // One request, one answer: bytes past the answer are not ours to
        // keep for later.
        if (used != static_cast<std::size_t>(n)) return EW_PROTOCOL;
        *frame = reader.frame();
        return EW_OK;
    }
  }
}

}  // namespace tavrin::focas2net
