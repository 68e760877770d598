// A simulated CNC: the machine, the open handles, the planned failures and
// the journal, behind one lock.  A process has one of its own, and one more
// per Instance that a server of several machines makes.
#ifndef TAVRIN_SIMCNC_SIMULATOR_H
#define TAVRIN_SIMCNC_SIMULATOR_H

#include <map>
#include <mutex>
#include <string>

#include "failure_injection.h"
#include "journal.h"
#include "machine_state.h"

namespace tavrin::simcnc::detail {

struct Simulator {
  std::mutex mutex;
  Machine machine;
  std::map<unsigned short, int> handles;  // open handle -> its current path
  unsigned short last_handle = 0;         // handles are never reused soon
  EthernetOpen last_ethernet{"", 0, 0};
  FailurePlan failures;
  CallJournal journal;

  // A new handle on path 1; 0 when every handle is in use.
  unsigned short OpenHandle();
  // The path selected on an open handle, or null for an unknown handle.
  Path* PathOf(unsigned short handle);
  // Puts in a new machine; open handles stay open, those on a path the new
  // machine lacks move to path 1.
  void ReplaceMachine(Machine replacement);
};

// The simulator the calling thread selected (SelectInstance), or else the
// process's own, made at first use from the file named by the environment
// variable TAVRIN_SIMCNC_MACHINE when that is set.  Callers take its mutex.
Simulator& Sim();

// Reads a machine description file (see description_file.h).
bool ReadMachineFile(const std::string& path, Machine* machine, std::string* error);

}  // namespace tavrin::simcnc::detail

#endif
