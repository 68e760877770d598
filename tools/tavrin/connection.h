// The CNC the tavrin command talks to.
//
// By default the simulated CNC, whose machine lives in a state file: every
// run loads it under the file's lock, works on it and saves it back
// (tavrin::simcnc::WithStateFile), so that runs follow each other and two
// runs at once lose no write.  A missing state file is made from the example
// machine description first.  With --focas the library's FOCAS2 binding is
// pointed at another FOCAS2 library instead.  The simulated CNC is loaded the
// same way as any other FOCAS2 library (simulated_cnc.h).  Either way the handle is opened
// the way --connect says, with the library's own handle functions.
#ifndef TAVRIN_TOOLS_CONNECTION_H
#define TAVRIN_TOOLS_CONNECTION_H

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "output.h"
#include "tavrin/nc/focas2_library.h"
#include "tavrin/simcnc.h"

namespace tavrin::cli {

// --connect: default (lib_GetNcLibHandle), node9 (lib_GetNcGuideLibHandle)
// or ADDRESS[:PORT] (lib_GetNcLibHandleEthernet, port 8193 unless given).
struct ConnectTarget {
  enum Kind { kDefault, kNode9, kEthernet } kind = kDefault;
  std::string address;
  unsigned short port = 8193;
};
bool ParseConnect(const std::string& text, ConnectTarget* target, std::string* error);

struct ConnectionOptions {
  std::string sim_file;  // --sim: state file of the simulated CNC
  std::string focas;     // --focas: another FOCAS2 library
  ConnectTarget target;
  int path = 0;          // --path: CNC path to select, 0 to leave the handle's own
};

// A reading of the library's own counts of FOCAS2 calls, to compare with a
// later one.  The library counts every call it makes, whatever the FOCAS2
// library, so these work against the simulated CNC and a real CNC alike.
struct CallMark {
  TavrinFocas2Stats at;
};

// One run against the CNC: an open handle.
class Session {
 public:
  explicit Session(unsigned short handle) : handle_(handle) {}
  unsigned short handle() const { return handle_; }

  static CallMark Mark();
  // FOCAS2 calls made since `mark`, refused ones (no library) included.
  static std::size_t CallsSince(const CallMark& mark);
  // How many of them did not return 0.
  static std::size_t FailedSince(const CallMark& mark);
  // The latest call since `mark` that did not return 0: its code and FOCAS2
  // name.  False when none failed.
  static bool LatestFailureSince(const CallMark& mark, short* code, std::string* call);

 private:
  unsigned short handle_;
};

class Connection {
 public:
  // What Run does with the handle after the body.
  enum class HandleUse {
    kFree,  // free it: every run opens its own
    kKeep,  // keep it for the next run while the body succeeds (see DropHandle)
  };

  Connection(const ConnectionOptions& options, Output& out) : options_(options), out_(out) {}
  ~Connection() { DropHandle(); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Points the library at the CNC and, for the simulated CNC, makes the
  // state file when it is missing (and the default file's folder; a folder
  // named with sim_file must exist) and says on standard error which CNC
  // this is.  Returns kExitOk, or the exit code of a failure already reported.
  int Prepare();
  // Runs body with an open handle (on the path asked for), then frees the
  // handle; for the simulated CNC all of it under the state file's lock.
  // Returns body's exit code, or the code of a failure already reported.
  // With HandleUse::kKeep a handle that a successful run leaves open is
  // used again by the next run (opened, and its path selected, only once);
  // a failed run frees it.
  int Run(const std::function<int(Session&)>& body, HandleUse use = HandleUse::kFree);
  // Frees a kept handle, so that the next run opens a new one (after the
  // CNC stopped answering, for instance).
  void DropHandle();

  bool simulated() const { return options_.focas.empty(); }

 private:
  int RunWithHandle(const std::function<int(Session&)>& body, HandleUse use);
  int OpenHandle(unsigned short* handle);

  ConnectionOptions options_;
  Output& out_;
  std::string state_file_;
  const tavrin::simcnc::Control* simulated_cnc_ = nullptr;
  bool holding_ = false;  // a kept handle is open
  unsigned short held_ = 0;
};

}  // namespace tavrin::cli

#endif
