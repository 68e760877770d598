// The vendor-like library's own state: start-up and exit, the count of calls,
// the switches, the handle table, and the simulated CNC behind the wire,
// loaded privately at start-up.
#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "vendor_like_library.h"

#ifndef TAVRIN_VENDOR_LIKE_DEFAULT_CNC
#  error "TAVRIN_VENDOR_LIKE_DEFAULT_CNC must name the simulated CNC library"
#endif

namespace vendor_like {

namespace {

std::atomic<bool> started{false};
std::atomic<unsigned long long> calls_received{0};
thread_local int own_calls = 0;

std::atomic<bool> no_answer{false};
std::atomic<short> failing_pmc_reads{0};

std::once_flag cnc_once;
Cnc cnc;
bool cnc_loaded = false;
std::string state_file;

std::mutex links_mutex;
std::map<unsigned short, Link> links;
unsigned short last_handle = 0x59FF;  // the first handle given is 0x5A00

const char* Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0' ? value : nullptr;
}

template <typename F>
bool Find(void* library, const char* name, F* slot) {
  *slot = reinterpret_cast<F>(dlsym(library, name));
  return *slot != nullptr;
}

// Loads the simulated CNC without putting its names into the process's
// global scope, and finds its calls and control table.  On failure every
// call that would reach it answers kNoAnswer.
void LoadCnc() {
  const char* path = Environment("TAVRIN_VENDOR_LIKE_CNC");
  if (path == nullptr) path = TAVRIN_VENDOR_LIKE_DEFAULT_CNC;
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    std::fprintf(stderr, "vendor-like FOCAS2 library: cannot load the CNC %s: %s\n", path, dlerror());
    return;
  }
  tavrin::simcnc::ControlFunction control = nullptr;
  bool found = true;
#define VENDOR_LIKE_FIND(name, parameters, arguments) found = found && Find(library, #name, &cnc.name);
  TAVRIN_FOCAS2_CALLS(VENDOR_LIKE_FIND)
#undef VENDOR_LIKE_FIND
  found = found && Find(library, "tavrin_simcnc_control", &control);
  if (!found) {
    std::fprintf(stderr, "vendor-like FOCAS2 library: %s is not the simulated CNC\n", path);
    return;
  }
  cnc.control = control();
  if (cnc.control == nullptr || cnc.control->version != tavrin::simcnc::kControlVersion) {
    std::fprintf(stderr, "vendor-like FOCAS2 library: %s has another control table version\n", path);
    return;
  }
  cnc_loaded = true;
}

struct StateFileCall {
  const std::function<short(const Cnc&)>* exchange;
  short code;
};

}  // namespace

void EnterCall(const char* name) {
  if (!started.load()) {
    std::fprintf(stderr, "vendor-like FOCAS2 library: %s called before cnc_startupprocess\n", name);
    std::fflush(stderr);
    std::abort();
  }
  if (own_calls == 0) calls_received.fetch_add(1);
}

OwnCall::OwnCall() { ++own_calls; }
OwnCall::~OwnCall() { --own_calls; }

bool NoAnswer() { return no_answer.load(); }
short FailingPmcReadCode() { return failing_pmc_reads.load(); }

bool FindLink(unsigned short handle, Link* link) {
  std::lock_guard<std::mutex> lock(links_mutex);
  auto found = links.find(handle);
  if (found == links.end()) return false;
  *link = found->second;
  return true;
}

// Counts on from the last handle given, so that a freed handle stays unknown
// for a long time; 0 is never given.
unsigned short AddLink(const Link& link) {
  std::lock_guard<std::mutex> lock(links_mutex);
  do {
    ++last_handle;
  } while (last_handle == 0 || links.count(last_handle) != 0);
  links[last_handle] = link;
  return last_handle;
}

void RemoveLink(unsigned short handle) {
  std::lock_guard<std::mutex> lock(links_mutex);
  links.erase(handle);
}

void SetLinkPath(unsigned short handle, short path) {
  std::lock_guard<std::mutex> lock(links_mutex);
  auto found = links.find(handle);
  if (found != links.end()) found->second.path = path;
}

short Exchange(const std::function<short(const Cnc&)>& exchange) {
  if (!cnc_loaded) return kNoAnswer;
  if (state_file.empty()) return exchange(cnc);
  StateFileCall call{&exchange, kNoAnswer};
  std::string error;
  bool done = cnc.control->with_state_file(
      state_file,
      [](void* user) {
        auto* c = static_cast<StateFileCall*>(user);
        c->code = (*c->exchange)(cnc);
      },
      &call, &error);
  if (!done) {
    std::fprintf(stderr, "vendor-like FOCAS2 library: state file %s: %s\n", state_file.c_str(), error.c_str());
    return kNoAnswer;
  }
  return call.code;
}

}  // namespace vendor_like

using namespace vendor_like;

extern "C" {

// The log file the caller names is not written.
short cnc_startupprocess(unsigned short /*level*/, const char* /*log*/) {
  std::call_once(cnc_once, [] {
    if (const char* file = Environment("TAVRIN_VENDOR_LIKE_STATE")) state_file = file;
    LoadCnc();
  });
  if (const char* value = Environment("TAVRIN_VENDOR_LIKE_NO_ANSWER")) no_answer = std::atoi(value) != 0;
  if (const char* value = Environment("TAVRIN_VENDOR_LIKE_FAIL_PMC_READS")) {
    failing_pmc_reads = static_cast<short>(std::atoi(value));
  }
  started = true;
  return kOk;
}

short cnc_exitprocess() {
  if (const char* file = Environment("TAVRIN_VENDOR_LIKE_COUNT_FILE")) {
    if (std::FILE* out = std::fopen(file, "w")) {
      std::fprintf(out, "%llu", calls_received.load());
      std::fclose(out);
    } else {
      std::fprintf(stderr, "vendor-like FOCAS2 library: cannot write the count to %s\n", file);
    }
  }
  return kOk;
}

void vendor_like_set_no_answer(int on) { no_answer = on != 0; }
void vendor_like_fail_pmc_reads(short code) { failing_pmc_reads = code; }
unsigned long long vendor_like_call_count() { return calls_received.load(); }

}  // extern "C"
