// Run-time binding of the FOCAS2 library.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "focas2/focas2.h"
#include "platform/platform.h"
#include "tavrin/export.h"
#include "tavrin/nc/focas2_library.h"
#include "tavrin/nc/return_codes.h"

// The CNC library's calls use the standard calling convention on 32-bit
// Windows and the C convention elsewhere, the same as the library's own.
#define FOCAS_CALL TAVRIN_CALL

namespace tavrin::focas {

namespace {

#define TAVRIN_FUNCTION_TYPE(name, parameters, arguments) using Fn_##name = short(FOCAS_CALL*) parameters;
TAVRIN_FOCAS2_CALLS(TAVRIN_FUNCTION_TYPE)
#undef TAVRIN_FUNCTION_TYPE
using Fn_startupprocess = short(FOCAS_CALL*)(unsigned short, const char*);
using Fn_exitprocess = short(FOCAS_CALL*)();

struct Binding {
  bool loaded = false;
#define TAVRIN_SLOT(name, parameters, arguments) Fn_##name name = nullptr;
  TAVRIN_FOCAS2_CALLS(TAVRIN_SLOT)
#undef TAVRIN_SLOT
  Fn_exitprocess exitprocess = nullptr;
  void* library = nullptr;
  std::string path;         // what the library was (or was to be) loaded by
  std::string load_error;   // the loader's words when it could not be loaded
};

Binding binding;
std::once_flag load_once;
std::mutex chosen_mutex;
std::string chosen_path;  // lib_SetFocas2Library
bool load_tried = false;  // under chosen_mutex: no later choice is taken

// The process's counts of calls (lib_GetFocas2Stats).
std::atomic<unsigned long long> calls_made{0};
std::atomic<unsigned long long> calls_failed{0};
std::atomic<unsigned long long> calls_refused{0};
std::atomic<long long> nanoseconds_in_calls{0};
std::mutex last_failure_mutex;
short last_failed_code = 0;
const char* last_failed_call = "";

template <typename F>
void Bind(void* library, const char* name, F* slot) {
  *slot = reinterpret_cast<F>(platform::FindSharedSymbol(library, name));
}

void ExitProcessHook() {
  if (binding.exitprocess != nullptr) binding.exitprocess();
}

std::string LibraryPath() {
  std::lock_guard<std::mutex> lock(chosen_mutex);
  load_tried = true;
  if (!chosen_path.empty()) return chosen_path;
  std::string path;
  if (!platform::GetEnvironmentValue("TAVRIN_FOCAS", &path) || path.empty()) {
    path = platform::DefaultFocasLibraryName();
  }
  return path;
}

void Load() {
  binding.path = LibraryPath();
  std::string error;
  void* library = platform::OpenSelfContainedLibrary(binding.path.c_str(), &error);
  if (library == nullptr) {
    binding.load_error = "cannot load " + binding.path + ": " + error;
    return;
  }
  binding.library = library;
#define TAVRIN_BIND(name, parameters, arguments) Bind(library, #name, &binding.name);
  TAVRIN_FOCAS2_CALLS(TAVRIN_BIND)
#undef TAVRIN_BIND
  binding.loaded = true;

  // The maker's Linux library must be started once per process before any
  // other call, and ended at exit.  Libraries without these calls (the
  // simulated CNC) are used as they are.
  Fn_startupprocess startup = nullptr;
  Bind(library, "cnc_startupprocess", &startup);
  if (startup != nullptr) {
    std::string log = platform::TemporaryFolder() + "focas2.log";
    startup(0, log.c_str());
    Bind(library, "cnc_exitprocess", &binding.exitprocess);
    if (binding.exitprocess != nullptr) std::atexit(ExitProcessHook);
  }
}

const Binding& Get() {
  std::call_once(load_once, Load);
  return binding;
}

void NoteFailure(const char* name, short code) {
  std::lock_guard<std::mutex> lock(last_failure_mutex);
  last_failed_code = code;
  last_failed_call = name;
}

// Makes one call through its slot and counts it: refused with EW_NODLL when
// the library lacks it, else timed and its result noted.
template <typename F>
struct Through {
  F Binding::*slot;
  const char* name;
  template <typename... Args>
  short operator()(Args... args) const {
    F function = Get().*slot;
    if (function == nullptr) {
      calls_refused.fetch_add(1, std::memory_order_relaxed);
      NoteFailure(name, EW_NODLL);
      return EW_NODLL;
    }
    auto start = std::chrono::steady_clock::now();
    short code = function(args...);
    auto spent = std::chrono::steady_clock::now() - start;
    nanoseconds_in_calls.fetch_add(std::chrono::duration_cast<std::chrono::nanoseconds>(spent).count(),
                                   std::memory_order_relaxed);
    calls_made.fetch_add(1, std::memory_order_relaxed);
    if (code != EW_OK) {
      calls_failed.fetch_add(1, std::memory_order_relaxed);
      NoteFailure(name, code);
    }
    return code;
  }
};

// Copies text into a caller's buffer of `size` bytes, cut to fit.
void CopyCut(const std::string& text, char* out, std::size_t size) {
  if (out == nullptr || size == 0) return;
  std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace

#define TAVRIN_FORWARD(name, parameters, arguments) \
  short name parameters { return Through<Fn_##name>{&Binding::name, #name} arguments; }
TAVRIN_FOCAS2_CALLS(TAVRIN_FORWARD)
#undef TAVRIN_FORWARD

}  // namespace tavrin::focas

TAVRIN_EXTERN_C_BEGIN

TAVRIN_FUNC(int) lib_SetFocas2Library(const char* path) {
  using namespace tavrin::focas;
  if (path == nullptr || path[0] == '\0' || std::strlen(path) > TAVRIN_FOCAS2_PATH_MAX) return 0;
  std::lock_guard<std::mutex> lock(chosen_mutex);
  if (load_tried) return 0;
  chosen_path = path;
  return 1;
}

TAVRIN_FUNC(int) lib_DescribeFocas2Library(char* text, unsigned int size) {
  using namespace tavrin::focas;
  const Binding& b = Get();
  CopyCut(b.loaded ? b.path : b.load_error, text, size);
  return b.loaded ? 1 : 0;
}

TAVRIN_FUNC(void*) lib_GetFocas2Function(const char* name) {
  using namespace tavrin::focas;
  if (name == nullptr) return nullptr;
  const Binding& b = Get();
  return b.loaded ? tavrin::platform::FindSharedSymbol(b.library, name) : nullptr;
}

TAVRIN_FUNC(void) lib_GetFocas2Stats(TavrinFocas2Stats* stats) {
  using namespace tavrin::focas;
  if (stats == nullptr) return;
  *stats = TavrinFocas2Stats{};
  stats->calls = calls_made.load();
  stats->failed = calls_failed.load();
  stats->refused = calls_refused.load();
  stats->seconds = static_cast<double>(nanoseconds_in_calls.load()) / 1e9;
  std::lock_guard<std::mutex> lock(last_failure_mutex);
  stats->last_failed_code = last_failed_code;
  CopyCut(last_failed_call, stats->last_failed_call, sizeof stats->last_failed_call);
}

TAVRIN_EXTERN_C_END
