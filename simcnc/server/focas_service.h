// One simulated machine answering FOCAS2 Ethernet frames.
//
// Every request is turned into the simulated CNC's own FOCAS2 call on the
// machine's instance, with a handle opened for the connection, so that
// planned failures, the journal and the checks are those of the in-process
// simulated CNC, and a state file is shared with other programs under its
// lock.  No sockets here: the server feeds frames in and sends what comes out.
#ifndef TAVRIN_SIMCNC_SERVER_FOCAS_SERVICE_H
#define TAVRIN_SIMCNC_SERVER_FOCAS_SERVICE_H

#include <cstdint>
#include <string>

#include "focas2net/wire/frame.h"
#include "tavrin/simcnc.h"

namespace tavrin::simcnc::server {

// What one TCP connection has said so far.
struct Session {
  enum class Role { kNone, kFirst, kSecond };  // the open request's 1 or 2
  Role role = Role::kNone;
  std::string peer_address;     // handed to cnc_allclibhndl3
  std::uint16_t local_port = 0;
  unsigned short handle = 0;    // the simulated CNC's handle, on the second connection
  short open_result = 0;        // what cnc_allclibhndl3 answered
  bool opening_read_pending = false;  // the opening's read of parameter 9968 is still to come
  int path = 1;                 // the path the handle is on
  // cnc_statinfo travels as three requests; one call of the simulated CNC
  // answers all three.
  bool status_cached = false;
  unsigned status_used = 0;
  std::int16_t status[16] = {};
};

class MachineService {
 public:
  MachineService();
  ~MachineService();
  MachineService(const MachineService&) = delete;
  MachineService& operator=(const MachineService&) = delete;

  // Loads the machine from a description file, kept in memory from then on,
  // or (shared) takes a state file that every frame loads and saves under
  // its lock.  False, with *error, when it cannot be loaded.
  bool Load(const std::string& file, bool shared, std::string* error);
  // Plans failures of a FOCAS2 call (by name): every call (nth 0) or its
  // nth call.  False for an unknown name.
  bool PlanFailure(const std::string& call, short code, int nth);

  // Answers one frame.  False, with *why, when the frame is not one a
  // FOCAS2 client sends: the connection is then ended.
  bool Respond(Session& session, const wire::Frame& in, wire::Frame* out, std::string* why);
  // The connection is gone: its handle, if any, is freed.
  void End(Session& session);

 private:
  struct Work;
  static void RunWork(void* work);
  void Handle(Work& work);
  wire::SubAnswer Answer(Session& session, const wire::SubRequest& request);

  Instance* instance_;
  std::string state_file_;
};

// The 8-byte number of a macro write (base 2 or 10) as the CNC keeps it: the
// fewest decimal places (at most 9) at which it is whole, within the
// number's own precision; rounded at the most places that fit when it is
// whole at none.  False when it does not fit 32 bits even without decimals,
// or the base is neither 2 nor 10.
bool ScaleNumber(wire::Number8 number, std::int32_t* value, std::int16_t* decimals);

}  // namespace tavrin::simcnc::server

#endif
