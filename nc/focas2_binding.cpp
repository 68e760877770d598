// Run-time binding of the FOCAS2 library.
#include <cstdlib>
#include <mutex>
#include <string>

#include "nc/focas2.h"
#include "platform/platform.h"
#include "tavrin/export.h"
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
};

Binding binding;
std::once_flag load_once;

template <typename F>
void Bind(void* library, const char* name, F* slot) {
  *slot = reinterpret_cast<F>(platform::FindSharedSymbol(library, name));
}

void ExitProcessHook() {
  if (binding.exitprocess != nullptr) binding.exitprocess();
}

void Load() {
  std::string path;
  if (!platform::GetEnvironmentValue("TAVRIN_FOCAS", &path) || path.empty()) {
    path = platform::DefaultFocasLibraryName();
  }
  void* library = platform::OpenSharedLibrary(path.c_str());
  if (library == nullptr) return;
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

}  // namespace

bool LibraryLoaded() { return Get().loaded; }

#define TAVRIN_FORWARD(slot, ...)        \
  const Binding& b = Get();              \
  if (b.slot == nullptr) return EW_NODLL; \
  return b.slot(__VA_ARGS__)

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
  TAVRIN_FORWARD(rdpmcrng, handle, address_type, data_type, start, end, length, record);
}
short pmc_wrpmcrng(unsigned short handle, unsigned short length, void* record) {
  TAVRIN_FORWARD(wrpmcrng, handle, length, record);
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
