#include "connection.h"

#include <filesystem>
#include <iostream>

#include "data_files.h"
#include "parse.h"
#include "simulated_cnc.h"
#include "tavrin/machine/mchn.h"
#include "tavrin/nc/focas2_library.h"
#include "tavrin/nc/handles.h"
#include "tavrin/nc/return_codes.h"

namespace fs = std::filesystem;
namespace tavrin::cli {

bool ParseConnect(const std::string& text, ConnectTarget* target, std::string* error) {
  ConnectTarget parsed;
  if (text == "default") {
    parsed.kind = ConnectTarget::kDefault;
  } else if (text == "node9") {
    parsed.kind = ConnectTarget::kNode9;
  } else {
    parsed.kind = ConnectTarget::kEthernet;
    parsed.address = text;
    std::size_t colon = text.rfind(':');
    // One colon: ADDRESS:PORT.  More than one is an IPv6 address without a port.
    if (colon != std::string::npos && text.find(':') == colon) {
      long long port = 0;
      if (!ParseInteger(text.substr(colon + 1), 1, 65535, &port, error)) {
        *error = "--connect port: " + *error;
        return false;
      }
      parsed.address = text.substr(0, colon);
      parsed.port = static_cast<unsigned short>(port);
    }
    if (parsed.address.empty()) {
      *error = "--connect needs default, node9 or ADDRESS[:PORT]";
      return false;
    }
  }
  *target = parsed;
  return true;
}

CallMark Session::Mark() {
  CallMark mark;
  lib_GetFocas2Stats(&mark.at);
  return mark;
}

std::size_t Session::CallsSince(const CallMark& mark) {
  CallMark now = Mark();
  return static_cast<std::size_t>((now.at.calls + now.at.refused) - (mark.at.calls + mark.at.refused));
}

std::size_t Session::FailedSince(const CallMark& mark) {
  CallMark now = Mark();
  return static_cast<std::size_t>((now.at.failed + now.at.refused) - (mark.at.failed + mark.at.refused));
}

bool Session::LatestFailureSince(const CallMark& mark, short* code, std::string* call) {
  CallMark now = Mark();
  if (now.at.failed + now.at.refused == mark.at.failed + mark.at.refused) return false;
  *code = now.at.last_failed_code;
  *call = now.at.last_failed_call;
  return true;
}

int Connection::Prepare() {
  if (options_.target.kind == ConnectTarget::kEthernet) {
    SetCncPeer(options_.target.address + ":" + std::to_string(options_.target.port));
  }
  if (!simulated()) {
    if (lib_SetFocas2Library(options_.focas.c_str()) == 0) {
      return out_.Fail(kExitNoConnection, "cannot name the FOCAS2 library " + options_.focas);
    }
    return kExitOk;
  }
  // The machine comes from the state file, under its lock, for every run.
  std::string error;
  simulated_cnc_ = LoadSimulatedCnc(&error);
  if (simulated_cnc_ == nullptr) return out_.Fail(kExitNoConnection, error);

  state_file_ = options_.sim_file.empty() ? DefaultStateFile() : options_.sim_file;
  if (state_file_.empty()) {
    return out_.Fail(kExitNoConnection, "no state file for the simulated CNC: set HOME or XDG_STATE_HOME, or use --sim FILE");
  }
  std::error_code missing;
  if (!fs::exists(state_file_, missing)) {
    std::string example = ExampleMachineFile();
    if (example.empty()) return out_.Fail(kExitNoConnection, "cannot find the example machine lathe.toml");
    // The default file's folder is made; a folder named with --sim must
    // exist, so that a mistyped path makes no folders.
    fs::path parent = fs::path(state_file_).parent_path();
    if (!parent.empty() && options_.sim_file.empty()) fs::create_directories(parent, missing);
    if (!fs::copy_file(example, state_file_, missing)) {
      return out_.Fail(kExitNoConnection, "cannot make the state file " + state_file_ + ": " + missing.message());
    }
    std::cerr << "tavrin: made the state file " << state_file_ << " from " << example << '\n';
  }
  std::cerr << "tavrin: talking to the SIMULATED CNC (state in " << state_file_ << "), not to a machine\n";
  return kExitOk;
}

int Connection::Run(const std::function<int(Session&)>& body, HandleUse use) {
  if (!simulated()) return RunWithHandle(body, use);
  struct Call {
    Connection* self;
    const std::function<int(Session&)>* body;
    HandleUse use;
    int result;
  } call{this, &body, use, kExitOk};
  std::string error;
  bool done = simulated_cnc_->with_state_file(
      state_file_,
      [](void* user) {
        auto* c = static_cast<Call*>(user);
        c->self->simulated_cnc_->clear_journal();
        c->result = c->self->RunWithHandle(*c->body, c->use);
      },
      &call, &error);
  if (!done) return out_.Fail(kExitNoConnection, "simulated CNC state file: " + error);
  return call.result;
}

void Connection::DropHandle() {
  if (holding_) lib_FreeHandle(held_);
  holding_ = false;
}

namespace {
// Why the FOCAS2 library gave EW_NODLL for `call`: it could not be loaded
// (with the loader's words), it lacks the call, or it has the call and
// answers EW_NODLL itself (a library for one kind of connection only).
std::string MissingLibraryText(const char* call) {
  char text[1024] = "";
  if (lib_DescribeFocas2Library(text, sizeof text) == 0) return text;
  const std::string which = std::string(" (default: cnc_allclibhndl, node9: cnc_allclibhndl2, ADDRESS: "
                                        "cnc_allclibhndl3)");
  if (lib_GetFocas2Function(call) != nullptr) {
    return std::string("the FOCAS2 library ") + text + " refuses " + call +
           ": it does not make this kind of connection; try another --connect" + which;
  }
  return std::string("the FOCAS2 library ") + text + " loaded but has no " + call + ", which this --connect needs" +
         which;
}
}  // namespace

// Opens a handle the way --connect says and selects the path asked for.
int Connection::OpenHandle(unsigned short* opened) {
  unsigned short handle = 0;
  short code = 0;
  const char* how = "lib_GetNcLibHandle";
  const char* needs = "cnc_allclibhndl";
  switch (options_.target.kind) {
    case ConnectTarget::kDefault:
      code = lib_GetNcLibHandle(&handle);
      break;
    case ConnectTarget::kNode9:
      how = "lib_GetNcGuideLibHandle";
      needs = "cnc_allclibhndl2";
      code = lib_GetNcGuideLibHandle(&handle);
      break;
    case ConnectTarget::kEthernet:
      how = "lib_GetNcLibHandleEthernet";
      needs = "cnc_allclibhndl3";
      code = lib_GetNcLibHandleEthernet(options_.target.address.c_str(), options_.target.port, &handle);
      break;
  }
  if (code == EW_NODLL) {
    out_.Fail(kExitNoConnection, std::string("opening a handle (") + how + ") failed: " + CodeText(code) + ": " +
                                     MissingLibraryText(needs));
    return kExitNoConnection;
  }
  if (code != 0) {
    out_.FailCode(code, std::string("opening a handle (") + how + ")");
    return kExitNoConnection;
  }
  int result = kExitOk;
  if (options_.path > 0) {
    short paths = 0;
    code = lib_GetPathMax(handle, &paths);
    if (code != 0) {
      result = out_.FailCode(code, "lib_GetPathMax");
    } else if (options_.path > paths) {
      result = out_.Fail(kExitUsage, "--path " + std::to_string(options_.path) + ": the CNC has " +
                                          std::to_string(paths) + " path(s)");
    } else {
      // The machine object's mode read selects the path it is given and
      // leaves it selected on the handle, for every later call made on it.
      CLibMchn(handle).GetCncMode(static_cast<short>(options_.path));
    }
  }
  if (result != kExitOk) {
    lib_FreeHandle(handle);
    return result;
  }
  *opened = handle;
  return kExitOk;
}

int Connection::RunWithHandle(const std::function<int(Session&)>& body, HandleUse use) {
  if (!holding_) {
    int opened = OpenHandle(&held_);
    if (opened != kExitOk) return opened;
    holding_ = true;
  }
  Session session(held_);
  int result = body(session);
  if (use == HandleUse::kFree || result != kExitOk) DropHandle();
  return result;
}

}  // namespace tavrin::cli
