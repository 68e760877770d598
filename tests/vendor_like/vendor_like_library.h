// Inside the vendor-like FOCAS2 library: its exported FOCAS2 calls, and what
// the files that implement them share (the start-up check and the count, the
// switches, the handle table and the CNC behind the wire).
//
// Like the maker's library it ends the process when a call comes before
// cnc_startupprocess; makes cnc_rdpmacro and cnc_wrpmacro of its own exported
// range calls, through the dynamic linker; gives handles of its own (from
// 0x5A00 on) that the simulated CNC does not know; answers cnc_getpath and
// cnc_setpath itself; and refuses real-parameter and all-axes writes with
// EW_LENGTH (2) before anything goes out.
#ifndef TAVRIN_TESTS_VENDOR_LIKE_LIBRARY_H
#define TAVRIN_TESTS_VENDOR_LIKE_LIBRARY_H

#include <functional>

#include "tavrin/focas2/calls.h"
#include "tavrin/focas2/records.h"
#include "tavrin/simcnc.h"
#include "vendor_like_control.h"

using tavrin::focas::int32;

// The exported FOCAS2 calls, with the prototypes Tavrin's binding calls them
// by.  Declared here, with default visibility, so that a call from one file
// of the library to another's export goes through the dynamic linker.
extern "C" {
VENDOR_LIKE_EXPORT short cnc_startupprocess(unsigned short level, const char* log);
VENDOR_LIKE_EXPORT short cnc_exitprocess();
#define VENDOR_LIKE_DECLARE(name, parameters, arguments) VENDOR_LIKE_EXPORT short name parameters;
TAVRIN_FOCAS2_CALLS(VENDOR_LIKE_DECLARE)
#undef VENDOR_LIKE_DECLARE
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
#define VENDOR_LIKE_SLOT(name, parameters, arguments) decltype(&::name) name = nullptr;
  TAVRIN_FOCAS2_CALLS(VENDOR_LIKE_SLOT)
#undef VENDOR_LIKE_SLOT
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
