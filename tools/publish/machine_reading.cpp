#include "machine_reading.h"

#include <functional>

#include "commands.h"
#include "tavrin/machine/mchn.h"
#include "tavrin/machine/mchn_status.h"
#include "tavrin/nc/error_report.h"
#include "tavrin/nc/handles.h"
#include "tavrin/nc/return_codes.h"

namespace tavrin::cli::publish {

namespace {

constexpr short kSocketError = -16;  // EW_SOCKET: the CNC's network link is gone

bool LinkFault(short code) { return code == kSocketError || code == EW_HANDLE; }

void Note(std::vector<FailedCall>* failed, const std::string& call, short code) {
  if (code == 0) return;
  for (FailedCall& f : *failed) {
    if (f.call == call && f.code == code) {
      ++f.times;
      return;
    }
  }
  failed->push_back({call, code, 1});
}

Json CodeFields(short code) {
  const char* name = tavrin::Focas2CodeName(code);
  return {{"code", code}, {"code_name", name != nullptr ? Json(name) : Json(nullptr)}};
}

// The identity from one reading of the library; a value whose read failed is
// published as null, never as its getter's stand-in, and its call named.
Json ReadIdentity(unsigned short handle, std::vector<FailedCall>* failed) {
  TavrinMachineIdentity id;
  CallMark mark = Session::Mark();
  short code = lib_ReadMachineIdentity(handle, &id);
  std::string call;
  short latest = 0;
  if (code != 0 && Session::LatestFailureSince(mark, &latest, &call)) Note(failed, call, code);
  const bool macros = id.serial_code == 0;
  Json identity = Json::object();
  identity["series"] = id.series_code == 0 ? Json(id.series) : Json(nullptr);
  identity["type"] = id.type;
  identity["model"] = id.model;
  identity["serial_number"] = macros ? Json(id.serial_number) : Json(nullptr);
  Json stations = Json::array();
  for (short path = 1; path <= id.path_count && path <= TAVRIN_STATUS_MAX_PATHS; ++path) {
    stations.push_back(id.station[path - 1] == -1 && code != 0 ? Json(nullptr) : Json(id.station[path - 1]));
  }
  identity["station_numbers"] = stations;  // path 1 first
  identity["maintenance_version"] = macros ? Json(id.maintenance_version) : Json(nullptr);
  identity["inch"] = id.inch != 0;
  return identity;
}

}  // namespace

std::string ReadSerialNumber(Session& session) {
  char serial[TAVRIN_MCHN_TEXT_SIZE] = "";
  if (CLibMchn(session.handle()).GetMachineSerialNo(serial) != 0) return {};
  return serial;
}

void ReadMachine(Session& session, const std::vector<Item>& items, short items_path, MachineReading* reading) {
  CallMark mark = Session::Mark();
  std::vector<FailedCall> failed;

  // The status from one reading of the library, the same fields as
  // `tavrin machine status --json`; a signal whose read failed is null and
  // its call named.
  StatusReading status = ReadStatus(session.handle());
  reading->status = status.data;
  for (const FailedRead& f : status.failures) Note(&failed, f.call, f.code);
  if (status.path_count < 0) Note(&failed, "lib_GetPathMax", status.code);

  reading->identity = ReadIdentity(session.handle(), &failed);

  reading->items.clear();
  if (!items.empty()) {
    // The identity reads left another path selected; the machine object's
    // mode read selects the items' path again.
    CLibMchn(session.handle()).GetCncMode(items_path);
    for (const Item& item : items) {
      Json value;
      short code = ReadItem(session.handle(), item, &value);
      Note(&failed, item.name, code);
      Json payload = {{"value", code == 0 ? value : Json(nullptr)}, {"source", DescribeItem(item)}};
      if (code != 0) payload.update(CodeFields(code));
      reading->items.push_back(payload);
    }
  }

  reading->focas_calls = static_cast<long long>(Session::CallsSince(mark));
  reading->failed = failed;
  reading->reached = true;
  reading->fault.clear();
  for (const FailedCall& f : reading->failed) {
    if (LinkFault(f.code)) {
      reading->reached = false;
      reading->fault = f.call + " failed: " + CodeText(f.code);
      break;
    }
  }
}

}  // namespace tavrin::cli::publish
