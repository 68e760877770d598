// Machine object commands: the status of every signal, switches and
// requests, identity and configuration, axis display order, ATC data and tool
// counting, and watch.  Each is a call of a CLibMchn member.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <csignal>
#include <iostream>
#include <memory>
#include <thread>

#include "commands.h"
#include "parse.h"
#include "process_info.h"
#include "read_watch.h"
#include "tavrin/machine/mchn.h"
#include "tavrin/machine/mchn_status.h"
#include "tavrin/nc/handles.h"

namespace tavrin::cli {

namespace {

struct StatusSignal {
  const char* key;
  const char* name;
  const char* address;
  signed char TavrinMachineStatus::*field;
};

const StatusSignal kStatusSignals[] = {
    {"simulation", "simulation", "D9550.0", &TavrinMachineStatus::simulation},
    {"dry_run", "dry run", "F2.7", &TavrinMachineStatus::dry_run},
    {"single_block", "single block", "F4.3", &TavrinMachineStatus::single_block},
    {"machine_lock", "machine lock", "F4.1", &TavrinMachineStatus::machine_lock},
    {"program_check", "program check", "D25.0", &TavrinMachineStatus::program_check},
    {"optional_stop", "optional stop", "D9550.5", &TavrinMachineStatus::optional_stop},
    {"idle", "idle", "D6045.0", &TavrinMachineStatus::idle},
    {"left_chuck_check", "left chuck check", "D6045.1", &TavrinMachineStatus::left_chuck_check},
    {"right_chuck_check", "right chuck check", "D6045.2", &TavrinMachineStatus::right_chuck_check},
    {"hand_check", "hand check", "D6045.3", &TavrinMachineStatus::hand_check},
    {"six_digit_t", "six-digit T codes", "D9694.3", &TavrinMachineStatus::six_digit_t},
    {"cycle_running", "cycle running", "D9151.3", &TavrinMachineStatus::cycle_running},
    {"work_preset_done", "work coordinate preset done", "D9551.2", &TavrinMachineStatus::work_preset_done},
    {"simulation_reset_done", "simulation reset done", "D9551.0", &TavrinMachineStatus::simulation_reset_done},
    {"simulation_reference_done", "simulation reference done", "D9551.1", &TavrinMachineStatus::simulation_reference_done},
    {"check_mode_3d", "3D check mode", "K12.4", &TavrinMachineStatus::three_d_check_mode},
    {"reset_in_progress", "reset in progress", "D9150.0 D9386.1", &TavrinMachineStatus::reset_in_progress},
};

struct Switch {
  const char* name;
  void (CLibMchn::*set)(bool);
  const char* address;
};

const Switch kSwitches[] = {
    {"simulation", &CLibMchn::SetSimulationMode, "D9550.0"},
    {"dry-run", &CLibMchn::SetDryRunMode, "D9550.1"},
    {"single-block", &CLibMchn::SetSingleBlockMode, "D9550.2"},
    {"auto-start-button", &CLibMchn::SetAutoReadyBtnDownSignal, "D9550.3"},
    {"feed-hold-button", &CLibMchn::SetStopFeedBtnDownSignal, "D9550.4"},
    {"optional-stop", &CLibMchn::SetOptionalStopMode, "D9550.5"},
    {"machine-lock", &CLibMchn::SetMachineLock, "D81.0"},
    {"program-check", &CLibMchn::SetProgramCheck, "D25.0"},
    {"idle", &CLibMchn::SetIdelMode, "D6045.0"},
    {"left-chuck-check", &CLibMchn::SetLChuckCheck, "D6045.1"},
    {"right-chuck-check", &CLibMchn::SetRChuckCheck, "D6045.2"},
    {"hand-check", &CLibMchn::SetHandCheck, "D6045.3"},
    {"six-digit-t", &CLibMchn::SetT6ketaMode, "D9694.3"},
};

struct Request {
  const char* name;
  void (CLibMchn::*require)();
  const char* address;
};

const Request kRequests[] = {
    {"work-preset", &CLibMchn::RequireExecWorkCoordinatePreset, "D9550.6"},
    {"simulation-reset", &CLibMchn::RequireExecSimuResetProc, "D9550.7"},
    {"3d-check-mode", &CLibMchn::RequireChange3dchkMode, "D9700.1"},
};

int ShowIdentity(Session& session, Output& out) {
  CLibMchn machine(session.handle());
  Table table{{"item", "value"}, {}};
  Json& data = out.data();
  // One reading gives the machine's values and the station numbers, each read
  // once for the table and the JSON document alike.
  TavrinMachineIdentity id;
  CallMark mark = Session::Mark();
  short failed = lib_ReadMachineIdentity(session.handle(), &id);
  short code = 0;
  std::string failed_call;
  Session::LatestFailureSince(mark, &code, &failed_call);
  if (id.series_code != 0) return out.FailCode(id.series_code, "GetMchnSeries");
  if (id.serial_code != 0) return out.FailCode(id.serial_code, "GetMachineSerialNo");
  if (id.path_count < 0) return out.FailCode(failed, "lib_GetPathMax");
  data["series"] = id.series;
  table.rows.push_back({"series", id.series[0] != '\0' ? id.series : "(unknown series code)"});
  data["type"] = id.type;
  table.rows.push_back({"machine type code (D7688)", std::to_string(id.type)});
  data["model"] = id.model;
  table.rows.push_back({"machine model code (D4005)", std::to_string(id.model)});
  data["b_rotation"] = id.b_rotation != 0;
  table.rows.push_back({"B rotation (D4006)", id.b_rotation != 0 ? "yes" : "no"});
  data["magazine_stations"] = id.magazine_stations;
  table.rows.push_back({"magazine stations (parameter 7257)", std::to_string(id.magazine_stations)});
  data["maintenance_version"] = id.maintenance_version;
  table.rows.push_back({"maintenance product version (#10434)", NumberText(id.maintenance_version)});
  data["serial_number"] = id.serial_number;
  table.rows.push_back({"serial number (#10435-#10437)", id.serial_number});
  data["inch"] = id.inch != 0;
  table.rows.push_back({"input unit (parameter 0.2)", id.inch != 0 ? "inch" : "mm"});
  ReadWatch watch;
  // Shown by machine status; kept in the JSON document only.
  bool reset = false;
  data["reset_in_progress"] = watch.Watch("reset in progress (D9150.0 D9386.1)", [&] { reset = machine.IsResetProcessing(); })
                                  ? Json(reset)
                                  : Json(nullptr);
  Json per_path = Json::array();
  for (short path = 1; path <= id.path_count; ++path) {
    std::string p = "path " + std::to_string(path) + ": ";
    Json entry = {{"path", path}};
    short station = path <= TAVRIN_STATUS_MAX_PATHS ? id.station[path - 1] : -1;
    bool station_failed = station == -1 && failed != 0;
    entry["station"] = station_failed ? Json(nullptr) : Json(station);
    table.rows.push_back({p + "station number (#10910)", station_failed ? "failed" : std::to_string(station)});
    short mode = -1;
    bool read = watch.Watch(p + "CNC mode", [&] { mode = machine.GetCncMode(path); });
    entry["cnc_mode"] = read ? Json(mode) : Json(nullptr);
    table.rows.push_back({p + "CNC mode", read ? std::to_string(mode) : "failed"});
    int radius = 0;
    code = machine.GetToolOffsetXRad(path, &radius);
    if (code != 0) return out.FailCode(code, "GetToolOffsetXRad");
    entry["x_offsets_radius"] = radius != 0;
    table.rows.push_back({p + "X offsets (parameter 5004.1)", radius != 0 ? "radius" : "diameter"});
    // The selected path is now this one: tool length input is read on it.
    bool lengths = false;
    read = watch.Watch(p + "tool lengths entered (parameter 7292.1)", [&] { lengths = machine.IsToolNagasaInput(); });
    entry["tool_length_input"] = read ? Json(lengths) : Json(nullptr);
    table.rows.push_back({p + "tool lengths entered (parameter 7292.1)", read ? (lengths ? "yes" : "no") : "failed"});
    per_path.push_back(entry);
  }
  data["paths"] = per_path;
  if (failed != 0) watch.Add({"the identity reading", failed_call, failed});
  if (!watch.failures().empty()) data["failed"] = watch.FailuresJson();
  out.Print(table);
  return watch.Report(out);
}

void AddSwitchCommands(CLI::App* machine, Context& context) {
  struct SetArgs {
    std::string name;
    std::string state;
  };
  auto args = std::make_shared<SetArgs>();
  std::vector<std::string> names;
  std::string list;
  for (const Switch& s : kSwitches) {
    names.push_back(s.name);
    list += std::string(list.empty() ? "" : ", ") + s.name + " (" + s.address + ")";
  }
  CLI::App* set = machine->add_subcommand("set", "switch an operation mode on or off: " + list);
  set->add_option("mode", args->name, "the mode")->required()->check(CLI::IsMember(names));
  set->add_option("state", args->state, "on or off")->required();
  set->callback([&context, args] {
    bool on = false;
    std::string error;
    Require(ParseSwitch(args->state, &on, &error), error);
    const Switch* chosen = nullptr;
    for (const Switch& s : kSwitches) {
      if (args->name == s.name) chosen = &s;
    }
    context.with_cnc = [chosen, on](Session& session, Output& out) {
      CallMark mark = Session::Mark();
      (CLibMchn(session.handle()).*(chosen->set))(on);
      int result = CheckCallsSince(mark, out, std::string("setting ") + chosen->name);
      if (result != kExitOk) return result;
      out.data()["mode"] = chosen->name;
      out.data()["on"] = on;
      out.data()["address"] = chosen->address;
      out.Line(std::string(chosen->name) + " " + (on ? "on" : "off") + " (" + chosen->address + " " +
               (on ? "set" : "cleared") + ")");
      return static_cast<int>(kExitOk);
    };
  });

  auto request_name = std::make_shared<std::string>();
  std::vector<std::string> requests;
  list.clear();
  for (const Request& r : kRequests) {
    requests.push_back(r.name);
    list += std::string(list.empty() ? "" : ", ") + r.name + " (" + r.address + ")";
  }
  CLI::App* request = machine->add_subcommand("request", "send a request (the PMC program clears it): " + list);
  request->add_option("request", *request_name, "the request")->required()->check(CLI::IsMember(requests));
  request->callback([&context, request_name] {
    const Request* chosen = nullptr;
    for (const Request& r : kRequests) {
      if (*request_name == r.name) chosen = &r;
    }
    context.with_cnc = [chosen](Session& session, Output& out) {
      CallMark mark = Session::Mark();
      (CLibMchn(session.handle()).*(chosen->require))();
      int result = CheckCallsSince(mark, out, std::string("request ") + chosen->name);
      if (result != kExitOk) return result;
      out.data()["request"] = chosen->name;
      out.data()["address"] = chosen->address;
      out.Line(std::string("request ") + chosen->name + " sent (" + chosen->address + " set)");
      return static_cast<int>(kExitOk);
    };
  });
}

void AddAxesAndAtc(CLI::App* machine, Context& context) {
  CLI::App* axes = machine->add_subcommand("axes", "the axis display order of the selected path (GetDispOrderIdx)");
  axes->callback([&context] {
    context.with_cnc = [](Session& session, Output& out) {
      CLibMchn m(session.handle());
      // A position beyond the list reads 0, like axis 0: the list is shown
      // up to the first axis index that comes again.
      Json order = Json::array();
      Table table{{"position", "axis index"}, {}};
      std::vector<bool> seen(32, false);
      for (short position = 0; position < 32; ++position) {
        CallMark mark = Session::Mark();
        short axis = m.GetDispOrderIdx(position);
        int read = CheckCallsSince(mark, out, "GetDispOrderIdx(" + std::to_string(position) + ")");
        if (read != kExitOk) return read;
        if (axis < 0) return out.Fail(kExitFailed, "GetDispOrderIdx failed: the axis names or parameters 3130/3115 could not be read");
        if (axis < 32 && seen[axis]) break;
        if (axis < 32) seen[axis] = true;
        order.push_back(axis);
        table.rows.push_back({std::to_string(position), std::to_string(axis)});
      }
      out.data()["display_order"] = order;
      out.Print(table);
      return static_cast<int>(kExitOk);
    };
  });

  CLI::App* atc = machine->add_subcommand("atc", "ATC entries: T code, tool type, large diameter");
  atc->require_subcommand(1);
  auto entry = std::make_shared<int>(0);
  CLI::App* get = atc->add_subcommand("get", "read one ATC entry");
  get->add_option("entry", *entry, "the entry number (0..)")->required()->check(CLI::Range(0, 32767));
  get->callback([&context, entry] {
    auto e = static_cast<short>(*entry);
    context.with_cnc = [e](Session& session, Output& out) {
      CLibMchn m(session.handle());
      tavrin_long tcode = 0;
      short type = 0;
      bool large = false;
      short code = m.GetAtcTCodeNo(e, &tcode);
      if (code != 0) return out.FailCode(code, "GetAtcTCodeNo");
      code = m.GetAtcToolType(e, &type);
      if (code != 0) return out.FailCode(code, "GetAtcToolType");
      code = m.GetAtcLargeDiam(e, &large);
      if (code != 0) return out.FailCode(code, "GetAtcLargeDiam");
      out.data()["entry"] = e;
      out.data()["t_code"] = tcode;
      out.data()["tool_type"] = type;
      out.data()["large_diameter"] = large;
      out.Print({{"entry", "T code", "tool type", "large diameter"},
                 {{std::to_string(e), std::to_string(tcode), std::to_string(type), large ? "yes" : "no"}}});
      return static_cast<int>(kExitOk);
    };
  });

  struct AtcSet {
    int entry = 0;
    std::string tcode, type, large;
  };
  auto args = std::make_shared<AtcSet>();
  CLI::App* set = atc->add_subcommand("set", "write parts of one ATC entry");
  set->add_option("entry", args->entry, "the entry number (0..)")->required()->check(CLI::Range(0, 32767));
  set->add_option("--tcode", args->tcode, "the T code number");
  set->add_option("--type", args->type, "the tool type, 0..63");
  set->add_option("--large", args->large, "large diameter: on or off");
  set->callback([&context, args] {
    std::string error;
    long long tcode = 0, type = 0;
    bool large = false;
    Require(!args->tcode.empty() || !args->type.empty() || !args->large.empty(), "give --tcode, --type or --large");
    if (!args->tcode.empty()) Require(ParseInteger(args->tcode, INT32_MIN, INT32_MAX, &tcode, &error), "--tcode: ", error);
    if (!args->type.empty()) Require(ParseInteger(args->type, 0, 63, &type, &error), "--type: ", error);
    if (!args->large.empty()) Require(ParseSwitch(args->large, &large, &error), "--large: ", error);
    AtcSet given = *args;
    context.with_cnc = [given, tcode, type, large](Session& session, Output& out) {
      CLibMchn m(session.handle());
      auto e = static_cast<short>(given.entry);
      if (!given.tcode.empty()) {
        short code = m.SetAtcTCodeNo(e, static_cast<tavrin_long>(tcode));
        if (code != 0) return out.FailCode(code, "SetAtcTCodeNo");
        out.data()["t_code"] = tcode;
        out.Line("entry " + std::to_string(e) + ": T code set to " + std::to_string(tcode));
      }
      if (!given.type.empty()) {
        short code = m.SetAtcToolType(e, static_cast<short>(type));
        if (code != 0) return out.FailCode(code, "SetAtcToolType");
        out.data()["tool_type"] = type;
        out.Line("entry " + std::to_string(e) + ": tool type set to " + std::to_string(type));
      }
      if (!given.large.empty()) {
        short code = m.SetAtcLargeDiam(e, large);
        if (code != 0) return out.FailCode(code, "SetAtcLargeDiam");
        out.data()["large_diameter"] = large;
        out.Line("entry " + std::to_string(e) + ": large diameter " + (large ? "on" : "off"));
      }
      out.data()["entry"] = e;
      return static_cast<int>(kExitOk);
    };
  });

  auto stations = std::make_shared<int>(0);
  CLI::App* magazine = machine->add_subcommand("magazine", "the stations at which tools are taken out of the magazines");
  magazine->add_option("--stations", *stations, "the magazine's station count (default: parameter 7257)")
      ->check(CLI::Range(1, 32767));
  magazine->callback([&context, stations] {
    auto given = static_cast<short>(*stations);
    context.with_cnc = [given](Session& session, Output& out) {
      CLibMchn m(session.handle());
      CallMark mark = Session::Mark();
      short count = given != 0 ? given : m.GetMagazineStMax();
      int read = CheckCallsSince(mark, out, "GetMagazineStMax (parameter 7257)");
      if (read != kExitOk) return read;
      short left = 0, right = 0;
      short code = m.GetRemoveLMagazineStNo(count, &left);
      if (code != 0) return out.FailCode(code, "GetRemoveLMagazineStNo");
      code = m.GetRemoveRMagazineStNo(count, &right);
      if (code != 0) return out.FailCode(code, "GetRemoveRMagazineStNo");
      out.data()["stations"] = count;
      out.data()["left"] = left;
      out.data()["right"] = right;
      out.Print({{"magazine", "removal station"}, {{"left (R6836)", std::to_string(left)}, {"right (E7350)", std::to_string(right)}}});
      return static_cast<int>(kExitOk);
    };
  });
}

void AddToolCount(CLI::App* machine, Context& context) {
  CLI::App* count = machine->add_subcommand("tool-count", "tool counting: status, count setting and count addition");
  count->require_subcommand(1);
  CLI::App* status = count->add_subcommand("status", "the tool count status bits (parameter 7250, bits 0 and 1)");
  status->callback([&context] {
    context.with_cnc = [](Session& session, Output& out) {
      short value = 0;
      short code = CLibMchn(session.handle()).GetToolCountStatus(&value);
      if (code != 0) return out.FailCode(code, "GetToolCountStatus");
      out.data()["status"] = value;
      out.Line("tool count status: " + std::to_string(value));
      return static_cast<int>(kExitOk);
    };
  });
  auto mode = std::make_shared<int>(0);
  CLI::App* clear = count->add_subcommand("clear-status", "clear status bits: 0 both, 1 bit 1, 2 bit 0");
  clear->add_option("mode", *mode, "0, 1 or 2")->required()->check(CLI::Range(0, 2));
  clear->callback([&context, mode] {
    auto m = static_cast<short>(*mode);
    context.with_cnc = [m](Session& session, Output& out) {
      short code = CLibMchn(session.handle()).SetToolCountStatus(m);
      if (code != 0) return out.FailCode(code, "SetToolCountStatus");
      out.data()["mode"] = m;
      out.Line("tool count status cleared (mode " + std::to_string(m) + ")");
      return static_cast<int>(kExitOk);
    };
  });

  struct ToolArgs {
    int tool = 1;
    std::string setting, addition;
  };
  auto get_args = std::make_shared<ToolArgs>();
  CLI::App* get = count->add_subcommand("get", "count setting and count addition of a tool, on --path (default 1)");
  get->add_option("tool", get_args->tool, "the tool number")->required()->check(CLI::Range(1, 32767));
  get->callback([&context, get_args] {
    auto tool = static_cast<short>(get_args->tool);
    auto path = static_cast<short>(context.connection.path > 0 ? context.connection.path : 1);
    context.with_cnc = [tool, path](Session& session, Output& out) {
      CLibMchn m(session.handle());
      double setting = 0.0, addition = 0.0;
      std::size_t messages = out.MessageCount();
      short code = m.GetToolCountSetting(path, tool, &setting);
      // An unsupported maintenance product version is told in a message box only.
      if (out.MessageCount() != messages) return out.Fail(kExitFailed, "tool counting: " + out.LastMessage());
      if (code == TAVRIN_MCHN_TOOL_OUT_OF_RANGE) return out.Fail(kExitFailed, "tool " + std::to_string(tool) + " is beyond the largest tool number");
      if (code != 0) return out.FailCode(code, "GetToolCountSetting");
      code = m.GetToolCountAddition(path, tool, &addition);
      if (code != 0) return out.FailCode(code, "GetToolCountAddition");
      out.data()["tool"] = tool;
      out.data()["setting"] = setting;
      out.data()["addition"] = addition;
      out.Print({{"tool", "count setting", "count addition"}, {{std::to_string(tool), NumberText(setting), NumberText(addition)}}});
      return static_cast<int>(kExitOk);
    };
  });

  auto set_args = std::make_shared<ToolArgs>();
  CLI::App* set = count->add_subcommand("set", "write the count setting and/or addition of a tool, on --path (default 1)");
  set->add_option("tool", set_args->tool, "the tool number")->required()->check(CLI::Range(1, 32767));
  set->add_option("--setting", set_args->setting, "the count setting");
  set->add_option("--addition", set_args->addition, "the count addition");
  set->callback([&context, set_args] {
    std::string error;
    double setting = 0.0, addition = 0.0;
    Require(!set_args->setting.empty() || !set_args->addition.empty(), "give --setting or --addition");
    if (!set_args->setting.empty()) Require(ParseNumber(set_args->setting, &setting, &error), "--setting: ", error);
    if (!set_args->addition.empty()) Require(ParseNumber(set_args->addition, &addition, &error), "--addition: ", error);
    ToolArgs given = *set_args;
    auto path = static_cast<short>(context.connection.path > 0 ? context.connection.path : 1);
    context.with_cnc = [given, path, setting, addition](Session& session, Output& out) {
      CLibMchn m(session.handle());
      auto tool = static_cast<short>(given.tool);
      std::size_t messages = out.MessageCount();
      if (!given.addition.empty()) {
        short code = m.SetToolCountAddition(path, tool, addition);
        if (out.MessageCount() != messages) return out.Fail(kExitFailed, "tool counting: " + out.LastMessage());
        if (code != 0) return out.FailCode(code, "SetToolCountAddition");
        out.data()["addition"] = addition;
        out.Line("tool " + std::to_string(tool) + ": count addition " + NumberText(addition));
      }
      if (!given.setting.empty()) {
        short code = m.SetToolCountSetting(path, tool, setting);
        if (code != 0) return out.FailCode(code, "SetToolCountSetting");
        out.data()["setting"] = setting;
        out.Line("tool " + std::to_string(tool) + ": count setting " + NumberText(setting));
      }
      out.data()["tool"] = tool;
      return static_cast<int>(kExitOk);
    };
  });
}

std::atomic<bool> g_interrupted{false};
extern "C" void OnInterrupt(int) { g_interrupted = true; }

struct WatchArgs {
  int interval_ms = 1000;
  int count = 0;  // 0: until interrupted
  bool keep_going = false;
};

// Refreshes the status table until `count` refreshes, SIGINT or SIGTERM
// (which end it alike), or the first failed refresh unless `keep_going`.
// On a terminal each refresh replaces the screen; elsewhere the refreshes
// follow each other without escape codes.  JSON: one line per refresh, with
// its number and time.  Returns the exit status of the last failed refresh,
// else kExitOk.
int Watch(const WatchArgs& given, Connection& connection, Output& out) {
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  const bool screen = !out.json() && tavrin::tools::StandardOutputIsTerminal();
  int result = kExitOk;
  for (int refresh = 1; !g_interrupted && (given.count == 0 || refresh <= given.count); ++refresh) {
    Output frame(out.json());
    out = Output(out.json());  // the connection's failures of this refresh only
    if (screen) {
      std::cout << "\x1b[H\x1b[2J";  // cursor home, clear the screen
    } else if (!out.json() && refresh > 1) {
      std::cout << '\n';
    }
    const std::string time = tavrin::tools::UtcTimeStamp();
    frame.Line("tavrin watch: refresh " + std::to_string(refresh) + " at " + time + ", every " +
               std::to_string(given.interval_ms) + " ms (Ctrl-C ends)");
    // One handle for the whole run; a failed refresh frees it, and the next
    // one opens a new handle.
    int refreshed = connection.Run([&frame](Session& session) { return ShowMachineStatus(session, frame); },
                                   Connection::HandleUse::kKeep);
    if (out.json()) {
      frame.data()["refresh"] = refresh;
      frame.data()["time"] = time;
      Json line = frame.data();
      line["ok"] = refreshed == kExitOk;
      // A refresh that found no CNC was reported by the connection, into out.
      if (refreshed != kExitOk && !line.contains("error") && out.data().contains("error")) {
        line["error"] = out.data()["error"];
      }
      std::cout << line.dump() << std::endl;
    } else {
      std::cout.flush();
    }
    if (refreshed != kExitOk) {
      result = refreshed;
      if (!given.keep_going || refreshed == kExitUsage) break;  // bad input stays bad
    }
    if (given.count != 0 && refresh == given.count) break;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(given.interval_ms);
    while (!g_interrupted && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::min(50, given.interval_ms)));
    }
  }
  return result;
}

}  // namespace

StatusReading ReadStatus(unsigned short handle) {
  TavrinMachineStatus status;
  short code = lib_ReadMachineStatus(handle, &status);
  StatusReading reading{Json::object(), {}, Table{{"signal", "state", "from"}, {}}, code, status.path_count};
  // A signal whose read failed shows "failed" and null, never "off"; each
  // is named with the code of the reading's failed PMC read.
  auto add = [&](const std::string& key, const std::string& name, const std::string& address, int value,
                 const std::string& text, bool boolean, Json* into) {
    Json json = value < 0 ? Json(nullptr) : boolean ? Json(value == 1) : Json(value);
    if (into != nullptr) into->push_back(json); else reading.data[key] = json;
    reading.table.rows.push_back({name, value < 0 ? "failed" : text, address});
    if (value < 0) reading.failures.push_back({name + " (" + address + ")", "pmc_rdpmcrng", code});
  };
  for (const StatusSignal& s : kStatusSignals) {
    signed char on = status.*(s.field);
    add(s.key, s.name, s.address, on, on ? "on" : "off", true, nullptr);
  }
  Json feed_hold = Json::array();
  for (short path = 1; path <= status.path_count && path <= TAVRIN_STATUS_MAX_PATHS; ++path) {
    signed char held = status.feed_hold[path - 1];
    add("", "feed hold, path " + std::to_string(path), "F" + std::to_string(1000 * (path - 1)) + ".3", held,
        held ? "on" : "off", true, &feed_hold);
  }
  reading.data["feed_hold"] = feed_hold;
  add("selected_path", "selected path", "K0.1 K30.1 K60.1", status.selected_path, std::to_string(status.selected_path),
      false, nullptr);
  add("memory_mode", "memory mode", "K10.6", status.memory_mode, status.memory_mode ? "on" : "off", true, nullptr);
  return reading;
}

int ShowMachineStatus(Session& session, Output& out) {
  CallMark mark = Session::Mark();
  StatusReading reading = ReadStatus(session.handle());
  if (reading.path_count < 0) return out.FailCode(reading.code, "lib_GetPathMax");
  Json& data = out.data();
  for (auto& field : reading.data.items()) data[field.key()] = field.value();
  out.Print(reading.table);
  std::size_t calls = Session::CallsSince(mark);
  std::size_t failed = Session::FailedSince(mark);
  data["focas_calls"] = calls;
  data["failed_calls"] = failed;
  ReadWatch watch;
  for (const FailedRead& f : reading.failures) watch.Add(f);
  if (!reading.failures.empty()) data["failed"] = watch.FailuresJson();
  out.Line(std::to_string(calls) + " FOCAS2 calls" +
           (failed != 0 ? ", " + std::to_string(failed) + " failed: their signals show \"failed\"" : ""));
  return watch.Report(out);
}

void AddMachineCommands(CLI::App& app, Context& context) {
  CLI::App* machine = app.add_subcommand("machine", "the machine object: signals, modes, requests, identity, ATC, tool counting");
  machine->require_subcommand(1);
  machine->add_subcommand("status", "the status table of every signal")->callback([&context] {
    context.with_cnc = ShowMachineStatus;
  });
  AddSwitchCommands(machine, context);
  machine->add_subcommand("identity", "identity and configuration: series, type, model, serial number, per-path settings")
      ->callback([&context] { context.with_cnc = ShowIdentity; });
  AddAxesAndAtc(machine, context);
  AddToolCount(machine, context);

  auto args = std::make_shared<WatchArgs>();
  CLI::App* watch = app.add_subcommand(
      "watch", "the status table refreshed until --count, SIGINT (Ctrl-C) or SIGTERM, which end it alike; in place "
               "on a terminal");
  watch->add_option("-i,--interval", args->interval_ms, "milliseconds between refreshes, as publish --interval")
      ->check(CLI::Range(0, 3600000))
      ->capture_default_str();
  watch->add_option("--count", args->count, "stop after this many refreshes (default: never)")
      ->check(CLI::Range(0, 1000000));
  watch->add_flag("--keep-going", args->keep_going,
                  "carry on past failed refreshes (default: stop at the first); the exit status is then the last "
                  "failure's");
  watch->callback([&context, args] {
    WatchArgs given = *args;
    context.with_connection = [given](Connection& connection, Output& out) { return Watch(given, connection, out); };
  });
}

}  // namespace tavrin::cli
