#include "support/system_fakes.h"

#include <errno.h>
#include <sys/stat.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <fstream>

#include "support/environment.h"
#include "support/sim_folder.h"

namespace tavrin::test {

namespace {

// --- Shutdown: a stand-in for the system bus and logind ---------------------

struct ShutdownState {
  std::string failing;
  std::vector<unsigned> requests;
  int open_buses = 0;
} shutdown_state;

int fake_bus_object;

int FakeOpenSystemBus(sd_bus** bus) {
  if (shutdown_state.failing == "no system bus") return -ENOENT;
  *bus = reinterpret_cast<sd_bus*>(&fake_bus_object);
  ++shutdown_state.open_buses;
  return 0;
}

int FakeCallMethod(sd_bus* bus, const char* destination, const char* path, const char* interface,
                   const char* member, sd_bus_error* /*error*/, sd_bus_message** reply, const char* types, ...) {
  if (reply != nullptr) *reply = nullptr;
  if (shutdown_state.failing == "logind refuses") return -EACCES;
  bool to_logind = bus == reinterpret_cast<sd_bus*>(&fake_bus_object) &&
                   std::strcmp(destination, "org.freedesktop.login1") == 0 &&
                   std::strcmp(path, "/org/freedesktop/login1") == 0 &&
                   std::strcmp(interface, "org.freedesktop.login1.Manager") == 0 && std::strcmp(types, "t") == 0;
  va_list arguments;
  va_start(arguments, types);
  std::uint64_t flags = va_arg(arguments, std::uint64_t);
  va_end(arguments);
  unsigned kind = 0;  // anything else is no request of ours
  if (to_logind && std::strcmp(member, "RebootWithFlags") == 0) kind = 2;
  if (to_logind && std::strcmp(member, "PowerOffWithFlags") == 0) kind = 8;
  // Unforced requests make logind respect inhibitors (flag 1); forced ones
  // carry no flag.
  if (flags == 0) kind |= 4;
  if (flags > 1) kind = 0;
  shutdown_state.requests.push_back(kind);
  return 1;
}

void FakeErrorFree(sd_bus_error*) {}
sd_bus_message* FakeMessageUnref(sd_bus_message*) { return nullptr; }
sd_bus* FakeCloseBus(sd_bus* bus) {
  if (bus == reinterpret_cast<sd_bus*>(&fake_bus_object)) --shutdown_state.open_buses;
  return nullptr;
}

// --- The executable's path ---------------------------------------------------

std::string executable_path;

ssize_t FakeReadlink(const char* /*path*/, char* buffer, size_t size) {
  size_t length = executable_path.size() < size ? executable_path.size() : size;
  std::memcpy(buffer, executable_path.data(), length);
  return static_cast<ssize_t>(length);
}

}  // namespace

// --- Shutdown ------------------------------------------------------------------

FakeShutdown::FakeShutdown()
    : fakes_{{"shutdown:sd_bus_open_system", &FakeOpenSystemBus},
             {"shutdown:sd_bus_call_method", &FakeCallMethod},
             {"shutdown:sd_bus_error_free", &FakeErrorFree},
             {"shutdown:sd_bus_message_unref", &FakeMessageUnref},
             {"shutdown:sd_bus_flush_close_unref", &FakeCloseBus}} {
  shutdown_state = ShutdownState();
}

FakeShutdown::~FakeShutdown() = default;

std::vector<ShutdownStep> FakeShutdown::Steps() { return {{"no system bus", 0}, {"logind refuses", 0}}; }

void FakeShutdown::FailStep(const std::string& name) { shutdown_state.failing = name; }

std::vector<unsigned> FakeShutdown::Requests() const { return shutdown_state.requests; }

bool FakeShutdown::Released() const { return shutdown_state.open_buses == 0; }

// --- Folder dialog: a stand-in zenity ------------------------------------------

struct FakeFolderPicker::State {
  TemporaryFolder folder;
  std::unique_ptr<ScopedEnv> path;
  std::unique_ptr<ScopedEnv> display;
};

FakeFolderPicker::FakeFolderPicker(const char* folder) : state_(new State) {
  std::string bin = state_->folder.path().string();
  std::string script = "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + bin + "/arguments'\n";
  script += folder != nullptr ? "printf '%s\\n' '" + std::string(folder) + "'\n" : std::string("exit 1\n");
  std::string program = bin + "/zenity";
  WriteFile(program, script);
  installed_ = chmod(program.c_str(), 0755) == 0;
  state_->path.reset(new ScopedEnv("PATH", bin.c_str()));
  state_->display.reset(new ScopedEnv("DISPLAY", ":99"));
}

FakeFolderPicker::~FakeFolderPicker() = default;

bool FakeFolderPicker::ShownAsReferenceDialog() const {
  return ReadFile(state_->folder.path() / "arguments") == "--file-selection\n--directory\n--title=Reference\n";
}

// --- Executable path -----------------------------------------------------------

ScopedExecutablePath::ScopedExecutablePath(const std::string& path) : fake_{{"module:readlink", &FakeReadlink}} {
  executable_path = path;
}

ScopedExecutablePath::~ScopedExecutablePath() = default;

// --- User language ---------------------------------------------------------------

struct ScopedUserLanguage::State {
  std::unique_ptr<ScopedEnv> locale;
};

ScopedUserLanguage::ScopedUserLanguage(unsigned short id) : state_(new State) {
  const char* locale = "en_US.UTF-8";
  if (id == 0x0411) locale = "ja_JP.UTF-8";
  if (id == 0x0404) locale = "zh_TW.UTF-8";
  if (id == 0x0804) locale = "zh_CN.UTF-8";
  if (id == 0x0C04) locale = "zh_HK.UTF-8";
  state_->locale.reset(new ScopedEnv("LC_ALL", locale));
}

ScopedUserLanguage::~ScopedUserLanguage() = default;

bool UserLanguageFromLocale() { return true; }

}  // namespace tavrin::test
