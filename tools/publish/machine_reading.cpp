#include "machine_reading.h"

#include <functional>

#include "commands.h"
#include "tavrin/machine/mchn.h"
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

// Runs read() and notes the FOCAS2 call that failed in it, if one did.
bool Watched(std::vector<FailedCall>* failed, const std::function<void()>& read) {
  CallMark mark = Session::Mark();
  read();
  short code = 0;
  std::string call;
  if (!Session::LatestFailureSince(mark, &code, &call)) return true;
  Note(failed, call, code);
  return false;
}

Json ReadIdentity(unsigned short handle, std::vector<FailedCall>* failed) {
  CLibMchn m(handle);
  Json identity = Json::object();
  // A value whose read failed is published as null, never as its stand-in.
  auto value = [failed](const std::function<Json()>& read) {
    Json v;
    return Watched(failed, [&] { v = read(); }) ? v : Json(nullptr);
  };
  char series[TAVRIN_MCHN_TEXT_SIZE] = "";
  short code = m.GetMchnSeries(series);
  Note(failed, "GetMchnSeries", code);
  identity["series"] = code == 0 ? Json(series) : Json(nullptr);
  identity["type"] = value([&] { return Json(m.GetMchnType()); });
  identity["model"] = value([&] { return Json(m.GetMchnModel()); });
  char serial[TAVRIN_MCHN_TEXT_SIZE] = "";
  code = m.GetMachineSerialNo(serial);
  Note(failed, "GetMachineSerialNo", code);
  identity["serial_number"] = code == 0 ? Json(serial) : Json(nullptr);
  Json stations = Json::array();
  short paths = 0;
  code = lib_GetPathMax(handle, &paths);
  Note(failed, "lib_GetPathMax", code);
  for (short path = 1; code == 0 && path <= paths; ++path) {
    stations.push_back(value([&] { return Json(m.GetStationNum(path)); }));
  }
  identity["station_numbers"] = stations;  // path 1 first
  identity["maintenance_version"] = value([&] { return Json(m.GetMindrVersion()); });
  identity["inch"] = value([&] { return Json(m.IsInch()); });
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

  // The status through the tavrin command's own status table, so that the
  // published signals are exactly those `tavrin machine status` shows; a
  // signal whose read failed is null there and named in its "failed" list.
  Output status(true);
  ShowMachineStatus(session, status);
  reading->status = Json::object();
  for (auto& field : status.data().items()) {
    const std::string& key = field.key();
    if (key == "focas_calls" || key == "failed_calls" || key == "failed" || key == "error" || key == "code" ||
        key == "code_name") {
      continue;
    }
    reading->status[key] = field.value();
  }
  if (status.data().contains("failed")) {
    for (const Json& f : status.data()["failed"]) Note(&failed, f["call"].get<std::string>(), f["code"].get<short>());
  } else if (status.data().contains("code")) {
    Note(&failed, "lib_GetPathMax", status.data()["code"].get<short>());
  }

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
