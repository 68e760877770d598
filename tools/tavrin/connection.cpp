#include "connection.h"

#include <filesystem>
#include <iostream>

#include "data_files.h"
#include "parse.h"
#include "platform/program_environment.h"
#include "tavrin/machine/mchn.h"
#include "tavrin/nc/handles.h"

namespace fs = std::filesystem;
namespace sim = tavrin::simcnc;

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

std::size_t Session::CallCount() const { return simulated_ ? sim::JournalSize() : 0; }

std::vector<sim::JournalEntry> Session::CallsSince(std::size_t mark) const {
  if (!simulated_) return {};
  std::vector<sim::JournalEntry> calls = sim::Journal();
  if (mark >= calls.size()) return {};
  return std::vector<sim::JournalEntry>(calls.begin() + static_cast<std::ptrdiff_t>(mark), calls.end());
}

std::size_t Session::FailedCallsSince(std::size_t mark) const {
  std::size_t failed = 0;
  for (const auto& entry : CallsSince(mark)) failed += entry.result != 0 ? 1 : 0;
  return failed;
}

int Connection::Prepare() {
  if (!simulated()) {
    if (!tavrin::platform::SetEnvironmentValue("TAVRIN_FOCAS", options_.focas.c_str())) {
      return out_.Fail(kExitNoConnection, "cannot name the FOCAS2 library " + options_.focas);
    }
    return kExitOk;
  }
  std::string library = SimulatedCncLibrary();
  if (library.empty()) return out_.Fail(kExitNoConnection, "cannot find the simulated CNC library");
  // The library's binding loads the simulated CNC that this program already
  // holds, so the machine loaded here is the one the library talks to.
  tavrin::platform::SetEnvironmentValue("TAVRIN_FOCAS", library.c_str());
  tavrin::platform::SetEnvironmentValue("TAVRIN_SIMCNC_MACHINE", nullptr);

  state_file_ = options_.sim_file.empty() ? DefaultStateFile() : options_.sim_file;
  if (state_file_.empty()) {
    return out_.Fail(kExitNoConnection, "no state file for the simulated CNC: set HOME or XDG_STATE_HOME, or use --sim FILE");
  }
  std::error_code error;
  if (!fs::exists(state_file_, error)) {
    std::string example = ExampleMachineFile();
    if (example.empty()) return out_.Fail(kExitNoConnection, "cannot find the example machine lathe.toml");
    fs::path parent = fs::path(state_file_).parent_path();
    if (!parent.empty()) fs::create_directories(parent, error);
    if (!fs::copy_file(example, state_file_, error)) {
      return out_.Fail(kExitNoConnection, "cannot make the state file " + state_file_ + ": " + error.message());
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
  bool done = sim::WithStateFile(
      state_file_,
      [](void* user) {
        auto* c = static_cast<Call*>(user);
        sim::ClearJournal();
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

// Opens a handle the way --connect says and selects the path asked for.
int Connection::OpenHandle(unsigned short* opened) {
  unsigned short handle = 0;
  short code = 0;
  const char* how = "lib_GetNcLibHandle";
  switch (options_.target.kind) {
    case ConnectTarget::kDefault:
      code = lib_GetNcLibHandle(&handle);
      break;
    case ConnectTarget::kNode9:
      how = "lib_GetNcGuideLibHandle";
      code = lib_GetNcGuideLibHandle(&handle);
      break;
    case ConnectTarget::kEthernet:
      how = "lib_GetNcLibHandleEthernet";
      code = lib_GetNcLibHandleEthernet(options_.target.address.c_str(), options_.target.port, &handle);
      break;
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
  Session session(held_, simulated());
  int result = body(session);
  if (use == HandleUse::kFree || result != kExitOk) DropHandle();
  return result;
}

}  // namespace tavrin::cli
