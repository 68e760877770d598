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

using Fn_allclibhndl = short(FOCAS_CALL*)(unsigned short*);
using Fn_allclibhndl2 = short(FOCAS_CALL*)(int32, unsigned short*);
using Fn_allclibhndl3 = short(FOCAS_CALL*)(const char*, unsigned short, int32, unsigned short*);
using Fn_freelibhndl = short(FOCAS_CALL*)(unsigned short);
using Fn_getpath = short(FOCAS_CALL*)(unsigned short, short*, short*);
using Fn_setpath = short(FOCAS_CALL*)(unsigned short, short);
using Fn_rdparam = short(FOCAS_CALL*)(unsigned short, short, short, short, void*);
using Fn_wrparam = short(FOCAS_CALL*)(unsigned short, short, void*);
using Fn_rdpmcrng = short(FOCAS_CALL*)(unsigned short, short, short, unsigned short, unsigned short, unsigned short, void*);
using Fn_wrpmcrng = short(FOCAS_CALL*)(unsigned short, unsigned short, void*);
using Fn_rdpmacror = short(FOCAS_CALL*)(unsigned short, int32, int32, unsigned short, void*);
using Fn_wrpmacror = short(FOCAS_CALL*)(unsigned short, unsigned short, void*);
using Fn_rdpmacro = short(FOCAS_CALL*)(unsigned short, int32, void*);
using Fn_wrpmacro = short(FOCAS_CALL*)(unsigned short, int32, int32, short);
using Fn_rdtofs = short(FOCAS_CALL*)(unsigned short, short, short, short, void*);
using Fn_wrtofs = short(FOCAS_CALL*)(unsigned short, short, short, short, int32);
using Fn_getfigure = short(FOCAS_CALL*)(unsigned short, short, short*, short*, short*);
using Fn_statinfo = short(FOCAS_CALL*)(unsigned short, void*);
using Fn_rdaxisname = short(FOCAS_CALL*)(unsigned short, short*, void*);
using Fn_startupprocess = short(FOCAS_CALL*)(unsigned short, const char*);
using Fn_exitprocess = short(FOCAS_CALL*)();

struct Binding {
  bool loaded = false;
  Fn_allclibhndl allclibhndl = nullptr;
  Fn_allclibhndl2 allclibhndl2 = nullptr;
  Fn_allclibhndl3 allclibhndl3 = nullptr;
  Fn_freelibhndl freelibhndl = nullptr;
  Fn_getpath getpath = nullptr;
  Fn_setpath setpath = nullptr;
  Fn_rdparam rdparam = nullptr;
  Fn_wrparam wrparam = nullptr;
  Fn_rdpmcrng rdpmcrng = nullptr;
  Fn_wrpmcrng wrpmcrng = nullptr;
  Fn_rdpmacror rdpmacror = nullptr;
  Fn_wrpmacror wrpmacror = nullptr;
  Fn_rdpmacro rdpmacro = nullptr;
  Fn_wrpmacro wrpmacro = nullptr;
  Fn_rdtofs rdtofs = nullptr;
  Fn_wrtofs wrtofs = nullptr;
  Fn_getfigure getfigure = nullptr;
  Fn_statinfo statinfo = nullptr;
  Fn_rdaxisname rdaxisname = nullptr;
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
  Bind(library, "cnc_allclibhndl", &binding.allclibhndl);
  Bind(library, "cnc_allclibhndl2", &binding.allclibhndl2);
  Bind(library, "cnc_allclibhndl3", &binding.allclibhndl3);
  Bind(library, "cnc_freelibhndl", &binding.freelibhndl);
  Bind(library, "cnc_getpath", &binding.getpath);
  Bind(library, "cnc_setpath", &binding.setpath);
  Bind(library, "cnc_rdparam", &binding.rdparam);
  Bind(library, "cnc_wrparam", &binding.wrparam);
  Bind(library, "pmc_rdpmcrng", &binding.rdpmcrng);
  Bind(library, "pmc_wrpmcrng", &binding.wrpmcrng);
  Bind(library, "cnc_rdpmacror", &binding.rdpmacror);
  Bind(library, "cnc_wrpmacror", &binding.wrpmacror);
  Bind(library, "cnc_rdpmacro", &binding.rdpmacro);
  Bind(library, "cnc_wrpmacro", &binding.wrpmacro);
  Bind(library, "cnc_rdtofs", &binding.rdtofs);
  Bind(library, "cnc_wrtofs", &binding.wrtofs);
  Bind(library, "cnc_getfigure", &binding.getfigure);
  Bind(library, "cnc_statinfo", &binding.statinfo);
  Bind(library, "cnc_rdaxisname", &binding.rdaxisname);
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
template <typename F, typename... Args>
short Forward(F Binding::*slot, const char* name, Args... args) {
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

// Copies text into a caller's buffer of `size` bytes, cut to fit.
void CopyCut(const std::string& text, char* out, std::size_t size) {
  if (out == nullptr || size == 0) return;
  std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace

bool LibraryLoaded() { return Get().loaded; }

#define TAVRIN_FORWARD(slot, ...) return Forward(&Binding::slot, "cnc_" #slot, __VA_ARGS__)
#define TAVRIN_FORWARD_PMC(slot, ...) return Forward(&Binding::slot, "pmc_" #slot, __VA_ARGS__)

short cnc_allclibhndl(unsigned short* handle) { TAVRIN_FORWARD(allclibhndl, handle); }
short cnc_allclibhndl2(int32 node, unsigned short* handle) { TAVRIN_FORWARD(allclibhndl2, node, handle); }
short cnc_allclibhndl3(const char* address, unsigned short port, int32 timeout, unsigned short* handle) {
  TAVRIN_FORWARD(allclibhndl3, address, port, timeout, handle);
}
short cnc_freelibhndl(unsigned short handle) { TAVRIN_FORWARD(freelibhndl, handle); }
short cnc_getpath(unsigned short handle, short* current, short* maximum) {
  TAVRIN_FORWARD(getpath, handle, current, maximum);
}
short cnc_setpath(unsigned short handle, short path) { TAVRIN_FORWARD(setpath, handle, path); }
short cnc_rdparam(unsigned short handle, short number, short axis, short length, void* record) {
  TAVRIN_FORWARD(rdparam, handle, number, axis, length, record);
}
short cnc_wrparam(unsigned short handle, short length, void* record) {
  TAVRIN_FORWARD(wrparam, handle, length, record);
}
short pmc_rdpmcrng(unsigned short handle, short address_type, short data_type, unsigned short start,
                   unsigned short end, unsigned short length, void* record) {
  TAVRIN_FORWARD_PMC(rdpmcrng, handle, address_type, data_type, start, end, length, record);
}
short pmc_wrpmcrng(unsigned short handle, unsigned short length, void* record) {
  TAVRIN_FORWARD_PMC(wrpmcrng, handle, length, record);
}
short cnc_rdpmacror(unsigned short handle, int32 first, int32 last, unsigned short length, void* record) {
  TAVRIN_FORWARD(rdpmacror, handle, first, last, length, record);
}
short cnc_wrpmacror(unsigned short handle, unsigned short length, void* record) {
  TAVRIN_FORWARD(wrpmacror, handle, length, record);
}
short cnc_rdpmacro(unsigned short handle, int32 number, void* record) {
  TAVRIN_FORWARD(rdpmacro, handle, number, record);
}
short cnc_wrpmacro(unsigned short handle, int32 number, int32 value, short decimals) {
  TAVRIN_FORWARD(wrpmacro, handle, number, value, decimals);
}
short cnc_rdtofs(unsigned short handle, short number, short type, short length, void* record) {
  TAVRIN_FORWARD(rdtofs, handle, number, type, length, record);
}
short cnc_wrtofs(unsigned short handle, short number, short type, short length, int32 value) {
  TAVRIN_FORWARD(wrtofs, handle, number, type, length, value);
}
short cnc_getfigure(unsigned short handle, short kind, short* valid_digits, short* input_decimals,
                    short* output_decimals) {
  TAVRIN_FORWARD(getfigure, handle, kind, valid_digits, input_decimals, output_decimals);
}
short cnc_statinfo(unsigned short handle, void* record) { TAVRIN_FORWARD(statinfo, handle, record); }
short cnc_rdaxisname(unsigned short handle, short* count, void* names) {
  TAVRIN_FORWARD(rdaxisname, handle, count, names);
}

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
