// The control functions of the tests' vendor-like FOCAS2 library
// (libtavrin_vendor_like_focas.so, never installed): a stand-in that behaves
// like the CNC maker's Linux library where Tavrin can tell (see
// vendor_like_library.h), with the simulated CNC as the CNC behind the wire.
//
// A test process finds these with lib_GetFocas2Function.  Another process
// (the tavrin command) is switched through the environment, read at
// cnc_startupprocess: TAVRIN_VENDOR_LIKE_NO_ANSWER=1,
// TAVRIN_VENDOR_LIKE_FAIL_PMC_READS=CODE, TAVRIN_VENDOR_LIKE_CNC (the
// simulated CNC library to load), TAVRIN_VENDOR_LIKE_STATE (a state file each
// call loads and saves under its lock, as `tavrin --sim FILE` does); at
// cnc_exitprocess TAVRIN_VENDOR_LIKE_COUNT_FILE receives the call count.
#ifndef TAVRIN_TESTS_VENDOR_LIKE_CONTROL_H
#define TAVRIN_TESTS_VENDOR_LIKE_CONTROL_H

#define VENDOR_LIKE_EXPORT __attribute__((visibility("default")))

extern "C" {

// 1: every FOCAS2 call, opening a handle included, answers -16 without
// reaching the CNC, as when nothing answers on the wire; cnc_getpath,
// cnc_setpath and the refused parameter writes answer as before, and a call
// on an unknown handle still gives EW_HANDLE.  0: the CNC answers again.
VENDOR_LIKE_EXPORT void vendor_like_set_no_answer(int on);

// pmc_rdpmcrng answers `code` without reaching the CNC (after the handle and
// no-answer checks); 0 ends it.
VENDOR_LIKE_EXPORT void vendor_like_fail_pmc_reads(short code);

// The FOCAS2 calls received from outside the library since it was loaded,
// failed and refused ones included; cnc_startupprocess and cnc_exitprocess
// are not counted, nor the library's calls to its own exports (a
// cnc_rdpmacro counts once).
VENDOR_LIKE_EXPORT unsigned long long vendor_like_call_count();

}  // extern "C"

// The types of the functions above, for a lookup by name.
using VendorLikeSetNoAnswer = void (*)(int);
using VendorLikeFailPmcReads = void (*)(short);
using VendorLikeCallCount = unsigned long long (*)();

#endif
