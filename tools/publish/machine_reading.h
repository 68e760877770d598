// One sweep of `tavrin publish`: everything it publishes, read once from the
// CNC through the machine object and the lib_ functions, on the handle of one
// Session of the tavrin command's Connection.
#ifndef TAVRIN_TOOLS_PUBLISH_MACHINE_READING_H
#define TAVRIN_TOOLS_PUBLISH_MACHINE_READING_H

#include <string>
#include <vector>

#include "connection.h"
#include "items.h"
#include "output.h"

namespace tavrin::cli::publish {

struct FailedCall {
  std::string call;  // the FOCAS2 call, or the lib_ function or item that gave the code
  short code = 0;
  int times = 0;
};

struct MachineReading {
  // False when the CNC did not answer: an open failed, or a call gave
  // EW_SOCKET (-16) or EW_HANDLE (-8).  `fault` then names the call and code,
  // and nothing else below is to be published.
  bool reached = false;
  std::string fault;

  Json status;    // every signal of the machine object's status table
  Json identity;  // series, type, model, serial number, stations, version, inch
  std::vector<Json> items;  // per item: {"value": ...} or {"value": null, "code", "code_name"}

  long long focas_calls = -1;  // as the library counted them; -1 before a sweep
  std::vector<FailedCall> failed;
};

// Reads status, identity and items (these on `items_path`) on the open
// session.
void ReadMachine(Session& session, const std::vector<Item>& items, short items_path, MachineReading* reading);

// The CNC's serial number through the machine object, for the default
// --id; empty when it cannot be read.
std::string ReadSerialNumber(Session& session);

}  // namespace tavrin::cli::publish

#endif
