#include "server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>

namespace tavrin::simcnc::server {

namespace {

using Clock = std::chrono::steady_clock;

volatile sig_atomic_t stop_requested = 0;
void RequestStop(int) { stop_requested = 1; }

struct Connection {
  int fd = -1;
  std::size_t machine = 0;
  std::string peer;
  wire::FrameReader reader;
  Session session;
  // Bytes received and not yet fed to the reader: the connection is not
  // read again until they are, and they are not fed while an answer waits.
  std::array<std::uint8_t, 4096> input{};
  std::size_t input_at = 0, input_end = 0;
  std::vector<std::uint8_t> output;
  std::size_t output_at = 0;
  Clock::time_point last_activity;
  bool mid_frame = false;
  Clock::time_point frame_started;

  explicit Connection(std::size_t max_payload) : reader(max_payload) {}
};

struct Listener {
  int fd = -1;
  int connections = 0;
};

void Log(const ServedMachine& machine, const std::string& peer, const std::string& what) {
  std::fprintf(stderr, "tavrin-simcnc: port %u (%s), %s: %s\n", static_cast<unsigned>(machine.port),
               machine.name.c_str(), peer.c_str(), what.c_str());
}

std::string PeerText(const sockaddr_in& address) {
  char text[INET_ADDRSTRLEN] = "?";
  inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
  return std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
}

std::string PeerAddress(const sockaddr_in& address) {
  char text[INET_ADDRSTRLEN] = "";
  inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
  return text;
}

// A server of many connections needs as many descriptors as the system
// allows this process.
void RaiseDescriptorLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
  }
}

bool Bind(const std::string& address, ServedMachine& machine, int* fd_out, std::string* error) {
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_port = htons(machine.port);
  if (inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1) {
    *error = "--listen " + address + ": not an IPv4 address";
    return false;
  }
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *error = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  const int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  if (bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 || listen(fd, 128) != 0) {
    *error = address + ":" + std::to_string(machine.port) + ": " + std::strerror(errno);
    close(fd);
    return false;
  }
  socklen_t size = sizeof where;
  getsockname(fd, reinterpret_cast<sockaddr*>(&where), &size);
  machine.port = ntohs(where.sin_port);
  *fd_out = fd;
  return true;
}

class Loop {
 public:
  Loop(const ServerOptions& options, std::vector<ServedMachine>& machines, std::vector<Listener> listeners)
      : options_(options), machines_(machines), listeners_(std::move(listeners)) {}

  void Run() {
    std::vector<pollfd> polled;
    while (!stop_requested) {
      polled.clear();
      const bool accepting = Clock::now() >= accept_paused_until_;
      for (const Listener& listener : listeners_) polled.push_back({listener.fd, static_cast<short>(accepting ? POLLIN : 0), 0});
      for (const auto& connection : connections_) {
        short events = 0;
        if (connection->output_at < connection->output.size()) {
          events = POLLOUT;
        } else if (connection->input_at == connection->input_end) {
          events = POLLIN;
        }
        polled.push_back({connection->fd, events, 0});
      }
      const int ready = poll(polled.data(), polled.size(), WaitMilliseconds());
      if (ready < 0 && errno != EINTR) {
        std::fprintf(stderr, "tavrin-simcnc: poll: %s\n", std::strerror(errno));
        break;
      }
      const std::size_t listener_count = listeners_.size();
      // Connections first, by their place in the poll list, before accepting
      // adds new ones at the end.
      for (std::size_t i = 0; ready > 0 && i < connections_.size(); ++i) {
        const short events = polled[listener_count + i].revents;
        if (events != 0) Service(*connections_[i], events);
      }
      for (std::size_t i = 0; ready > 0 && i < listener_count; ++i) {
        if (polled[i].revents & POLLIN) Accept(i);
      }
      ExpireIdle();
      Sweep();
    }
    for (auto& connection : connections_) Close(*connection, "");
    Sweep();
  }

 private:
  int WaitMilliseconds() const {
    auto wait = std::chrono::milliseconds(1000);
    const Clock::time_point now = Clock::now();
    for (const auto& connection : connections_) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline(*connection) - now);
      wait = std::min(wait, std::max(left, std::chrono::milliseconds(0)));
    }
    return static_cast<int>(wait.count()) + 1;
  }

  // Silent for the time-out, or a frame left unfinished that long.
  Clock::time_point Deadline(const Connection& connection) const {
    const auto timeout = std::chrono::seconds(options_.idle_timeout_seconds);
    return (connection.mid_frame ? connection.frame_started : connection.last_activity) + timeout;
  }

  void Accept(std::size_t index) {
    Listener& listener = listeners_[index];
    const ServedMachine& machine = machines_[index];
    for (;;) {
      sockaddr_in peer{};
      socklen_t size = sizeof peer;
      const int fd = accept4(listener.fd, reinterpret_cast<sockaddr*>(&peer), &size, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) {
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
          // Out of descriptors: wait a moment rather than spin on the
          // listening socket; closing connections makes room.
          std::fprintf(stderr, "tavrin-simcnc: port %u: cannot accept: %s\n", static_cast<unsigned>(machine.port),
                       std::strerror(errno));
          accept_paused_until_ = Clock::now() + std::chrono::milliseconds(500);
        }
        return;
      }
      if (listener.connections >= options_.max_connections_per_machine) {
        Log(machine, PeerText(peer),
            "refused: the machine has " + std::to_string(listener.connections) + " connections already");
        close(fd);
        continue;
      }
      const int yes = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
      auto connection = std::make_unique<Connection>(options_.max_payload);
      connection->fd = fd;
      connection->machine = index;
      connection->peer = PeerText(peer);
      connection->session.peer_address = PeerAddress(peer);
      connection->session.local_port = machine.port;
      connection->last_activity = Clock::now();
      ++listener.connections;
      if (options_.verbose) Log(machine, connection->peer, "connected");
      connections_.push_back(std::move(connection));
    }
  }

  void Service(Connection& connection, short events) {
    if (connection.fd < 0) return;
    if (events & POLLOUT) {
      if (!Send(connection)) return;
      Process(connection);
      return;
    }
    if (events & (POLLIN | POLLHUP | POLLERR)) {
      const ssize_t got = recv(connection.fd, connection.input.data(), connection.input.size(), 0);
      if (got == 0) {
        Close(connection, connection.mid_frame ? "closed by the client in the middle of a frame" : "");
        return;
      }
      if (got < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) Close(connection, std::strerror(errno));
        return;
      }
      connection.input_at = 0;
      connection.input_end = static_cast<std::size_t>(got);
      connection.last_activity = Clock::now();
      Process(connection);
    }
  }

  // Feeds received bytes to the reader and answers each whole frame, as
  // long as no answer waits to be sent.
  void Process(Connection& connection) {
    ServedMachine& machine = machines_[connection.machine];
    while (connection.fd >= 0 && connection.input_at < connection.input_end &&
           connection.output_at == connection.output.size()) {
      std::size_t used = 0;
      const auto result = connection.reader.Feed(connection.input.data() + connection.input_at,
                                                 connection.input_end - connection.input_at, &used);
      connection.input_at += used;
      if (result == wire::FrameReader::Result::kBad) {
        Close(connection, connection.reader.error());
        return;
      }
      if (result == wire::FrameReader::Result::kNeedMore) {
        if (!connection.mid_frame) {
          connection.mid_frame = true;
          connection.frame_started = Clock::now();
        }
        continue;
      }
      connection.mid_frame = false;
      wire::Frame answer;
      std::string why;
      bool answered = false;
      try {
        answered = machine.service->Respond(connection.session, connection.reader.frame(), &answer, &why);
      } catch (const std::exception& e) {
        // Out of memory, in all likelihood: this connection ends, the
        // server goes on.
        why = std::string("no answer: ") + e.what();
      }
      if (!answered) {
        Close(connection, why);
        return;
      }
      if (!why.empty()) Log(machine, connection.peer, why);
      connection.output = wire::EncodeFrame(answer);
      connection.output_at = 0;
      if (!Send(connection)) return;
    }
  }

  bool Send(Connection& connection) {
    while (connection.output_at < connection.output.size()) {
      const ssize_t sent = send(connection.fd, connection.output.data() + connection.output_at,
                                connection.output.size() - connection.output_at, MSG_NOSIGNAL);
      if (sent < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return true;
        Close(connection, std::string("send: ") + std::strerror(errno));
        return false;
      }
      connection.output_at += static_cast<std::size_t>(sent);
      connection.last_activity = Clock::now();
    }
    connection.output.clear();
    connection.output_at = 0;
    return true;
  }

  void ExpireIdle() {
    const Clock::time_point now = Clock::now();
    for (auto& connection : connections_) {
      if (connection->fd < 0 || now < Deadline(*connection)) continue;
      Close(*connection, connection->mid_frame
                             ? "a frame left unfinished for " + std::to_string(options_.idle_timeout_seconds) + " s"
                             : "idle for " + std::to_string(options_.idle_timeout_seconds) + " s");
    }
  }

  // Ends a connection: its handle is freed; `why` (empty for an orderly end)
  // is logged.
  void Close(Connection& connection, const std::string& why) {
    if (connection.fd < 0) return;
    ServedMachine& machine = machines_[connection.machine];
    machine.service->End(connection.session);
    // Logged before the close, so that the line is there when the peer
    // sees the end.
    if (!why.empty()) {
      Log(machine, connection.peer, "ended: " + why);
    } else if (options_.verbose) {
      Log(machine, connection.peer, "closed");
    }
    close(connection.fd);
    connection.fd = -1;
    --listeners_[connection.machine].connections;
    accept_paused_until_ = Clock::time_point{};
  }

  void Sweep() {
    connections_.erase(std::remove_if(connections_.begin(), connections_.end(),
                                      [](const std::unique_ptr<Connection>& c) { return c->fd < 0; }),
                       connections_.end());
  }

  const ServerOptions& options_;
  std::vector<ServedMachine>& machines_;
  std::vector<Listener> listeners_;
  std::vector<std::unique_ptr<Connection>> connections_;
  Clock::time_point accept_paused_until_{};
};

}  // namespace

bool Serve(const ServerOptions& options, std::vector<ServedMachine>& machines, std::string* error) {
  RaiseDescriptorLimit();
  std::vector<Listener> listeners;
  for (ServedMachine& machine : machines) {
    Listener listener;
    if (!Bind(options.listen_address, machine, &listener.fd, error)) {
      for (Listener& bound : listeners) close(bound.fd);
      return false;
    }
    listeners.push_back(listener);
  }
  struct sigaction stop {};
  stop.sa_handler = RequestStop;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGINT, &stop, nullptr);
  sigaction(SIGTERM, &stop, nullptr);
  signal(SIGPIPE, SIG_IGN);
  for (const ServedMachine& machine : machines) {
    std::printf("listening on %s:%u\n", options.listen_address.c_str(), static_cast<unsigned>(machine.port));
  }
  std::fflush(stdout);
  Loop(options, machines, std::move(listeners)).Run();
  return true;
}

}  // namespace tavrin::simcnc::server
