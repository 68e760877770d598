// The simulated CNC on TCP: one listening socket per served machine, every
// connection handled by one thread with poll() on non-blocking sockets.
//
// A connection that sends what no FOCAS2 client sends (a wrong magic, a frame
// above the size limit, a wrong count or length), that stays silent or leaves
// a frame unfinished for the idle time-out, or that comes beyond the
// machine's connection limit, is ended with one line on standard error; the
// others go on.  A connection holds at most one frame being read and one
// answer being sent: it is not read while its answer waits.
#ifndef TAVRIN_SIMCNC_SERVER_SERVER_H
#define TAVRIN_SIMCNC_SERVER_SERVER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "focas_service.h"

namespace tavrin::simcnc::server {

struct ServerOptions {
  std::string listen_address = "127.0.0.1";
  int idle_timeout_seconds = 60;
  int max_connections_per_machine = 64;
  std::size_t max_payload = 16384;  // request frames above this end the connection
  bool verbose = false;             // log normal opens and closes too
};

struct ServedMachine {
  std::string name;  // for the log: the file served
  std::uint16_t port = 0;
  std::unique_ptr<MachineService> service;
};

// Binds every machine's port (port 0: any free one, written back into
// `machines`), prints "listening on ADDRESS:PORT" for each on standard output
// once all are bound, and serves until a signal to stop.  False, with
// *error, when a port cannot be bound.
bool Serve(const ServerOptions& options, std::vector<ServedMachine>& machines, std::string* error);

}  // namespace tavrin::simcnc::server

#endif
