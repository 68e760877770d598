// Inside the vendor-like FOCAS2 library: its exported FOCAS2 calls, and what
// the files that implement them share (the start-up check and the count, the
// switches, the handle table and the CNC behind the wire).
#ifndef TAVRIN_TESTS_VENDOR_LIKE_LIBRARY_H
#define TAVRIN_TESTS_VENDOR_LIKE_LIBRARY_H

#include <functional>

#include "focas2/focas2_records.h"
#include "tavrin/simcnc.h"
#include "vendor_like_control.h"

using tavrin::focas::int32;

// The exported FOCAS2 calls, with the prototypes Tavrin's binding calls them
// by.  Declared here, with default visibility, so that a call from one file
// of the library to another's export goes through the dynamic linker.
extern "C" {
VENDOR_LIKE_EXPORT short cnc_startupprocess(unsigned short level, const char* log);
VENDOR_LIKE_EXPORT short cnc_exitprocess();
VENDOR_LIKE_EXPORT short cnc_allclibhndl(unsigned short* handle);
VENDOR_LIKE_EXPORT short cnc_allclibhndl2(int32 node, unsigned short* handle);
VENDOR_LIKE_EXPORT short cnc_allclibhndl3(const char* address, unsigned short port, int32 timeout,
                                          unsigned short* handle);
VENDOR_LIKE_EXPORT short cnc_freelibhndl(unsigned short handle);
VENDOR_LIKE_EXPORT short cnc_getpath(unsigned short handle, short* current, short* maximum);
VENDOR_LIKE_EXPORT short cnc_setpath(unsigned short handle, short path);
VENDOR_LIKE_EXPORT short cnc_rdparam(unsigned short handle, short number, short axis, short length, void* record);
VENDOR_LIKE_EXPORT short cnc_wrparam(unsigned short handle, short length, void* record);
VENDOR_LIKE_EXPORT short pmc_rdpmcrng(unsigned short handle, short address_type, short data_type,
                                      unsigned short start, unsigned short end, unsigned short length, void* record);
VENDOR_LIKE_EXPORT short pmc_wrpmcrng(unsigned short handle, unsigned short length, void* record);
VENDOR_LIKE_EXPORT short cnc_rdpmacror(unsigned short handle, int32 first, int32 last, unsigned short length,
                                       void* record);
VENDOR_LIKE_EXPORT short cnc_wrpmacror(unsigned short handle, unsigned short length, void* record);
VENDOR_LIKE_EXPORT short cnc_rdpmacro(unsigned short handle, int32 number, void* record);
VENDOR_LIKE_EXPORT short cnc_wrpmacro(unsigned short handle, int32 number, int32 value, short decimals);
VENDOR_LIKE_EXPORT short cnc_rdtofs(unsigned short handle, short number, short type, short length, void* record);
VENDOR_LIKE_EXPORT short cnc_wrtofs(unsigned short handle, short number, short type, short length, int32 value);
VENDOR_LIKE_EXPORT short cnc_getfigure(unsigned short handle, short kind, short* valid_digits,
                                       short* input_decimals, short* output_decimals);
VENDOR_LIKE_EXPORT short cnc_statinfo(unsigned short handle, void* record);
VENDOR_LIKE_EXPORT short cnc_rdaxisname(unsigned short handle, short* count, void* names);
}  // extern "C"

namespace vendor_like {

// The code of a CNC that does not answer (a closed port, a silent peer).
constexpr short kNoAnswer = -16;
constexpr short kOk = 0;
constexpr short kLength = 2;  // EW_LENGTH
constexpr short kData = 5;    // EW_DATA
constexpr short kPath = 11;   // EW_PATH
constexpr short kHandle = -8; // EW_HANDLE

// The simulated CNC's FOCAS2 calls and control table, found in the library
// loaded at start-up.
struct Cnc {
  decltype(&cnc_allclibhndl) allclibhndl = nullptr;
  decltype(&cnc_allclibhndl2) allclibhndl2 = nullptr;
  decltype(&cnc_allclibhndl3) allclibhndl3 = nullptr;
  decltype(&cnc_freelibhndl) freelibhndl = nullptr;
  decltype(&cnc_getpath) getpath = nullptr;
  decltype(&cnc_setpath) setpath = nullptr;
  decltype(&cnc_rdparam) rdparam = nullptr;
  decltype(&cnc_wrparam) wrparam = nullptr;
  decltype(&pmc_rdpmcrng) rdpmcrng = nullptr;
  decltype(&pmc_wrpmcrng) wrpmcrng = nullptr;
  decltype(&cnc_rdpmacror) rdpmacror = nullptr;
  decltype(&cnc_wrpmacror) wrpmacror = nullptr;
  decltype(&cnc_rdtofs) rdtofs = nullptr;
  decltype(&cnc_wrtofs) wrtofs = nullptr;
  decltype(&cnc_getfigure) getfigure = nullptr;
  decltype(&cnc_statinfo) statinfo = nullptr;
  decltype(&cnc_rdaxisname) rdaxisname = nullptr;
  const tavrin::simcnc::Control* control = nullptr;
};

// What the library knows of one of its handles.
struct Link {
  unsigned short cnc_handle;  // the simulated CNC's handle behind it
  short path;                 // the path selected with cnc_setpath
  short paths;                // the CNC's path count, asked for at the open
};

// Every exported FOCAS2 call begins here: ends the process when the library
// was not started, else counts the call unless the library made it to itself.
void EnterCall(const char* name);

// Marks the calls that the library makes to its own exports while it lives.
class OwnCall {
 public:
  OwnCall();
  ~OwnCall();
  OwnCall(const OwnCall&) = delete;
  OwnCall& operator=(const OwnCall&) = delete;
};

bool NoAnswer();
short FailingPmcReadCode();

// The handle table.  FindLink: false for a handle the library did not give.
bool FindLink(unsigned short handle, Link* link);
unsigned short AddLink(const Link& link);
void RemoveLink(unsigned short handle);
void SetLinkPath(unsigned short handle, short path);

// Makes one exchange with the CNC: runs `exchange` with its calls, inside the
// state file when one is named.  kNoAnswer when the CNC cannot be reached
// (its library did not load, or the state file cannot be used).
short Exchange(const std::function<short(const Cnc&)>& exchange);

}  // namespace vendor_like

#endif
