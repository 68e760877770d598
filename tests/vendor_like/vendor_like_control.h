// The tests' vendor-like FOCAS2 library (libtavrin_vendor_like_focas.so): a
// stand-in that behaves like the CNC maker's Linux library where Tavrin can
// tell the difference, with the simulated CNC as the CNC behind the wire.
// It is built for the tests only and never installed.
//
// Like the maker's library it
//  - ends the process (a message on standard error, then abort) when any
//    FOCAS2 call comes before cnc_startupprocess;
//  - implements cnc_rdpmacro and cnc_wrpmacro by calling its own exported
//    cnc_rdpmacror and cnc_wrpmacror through the dynamic linker, so that
//    those inner calls go elsewhere when another library of the process's
//    global scope exports the same names and the library was not opened
//    with RTLD_DEEPBIND;
//  - gives handles of its own (from 0x5A00 on), which the simulated CNC does
//    not know; any call on a handle it did not give answers EW_HANDLE (-8);
//  - answers cnc_getpath and cnc_setpath itself (a path outside 1 up to the
//    CNC's path count gives EW_PATH (11));
//  - refuses real-parameter writes (cnc_wrparam of length 12) and writes of
//    all axes at once (axis -1) with EW_LENGTH (2) before anything goes out.
//
// Its switches, through the functions below or, for a program started as a
// separate process, through the environment when cnc_startupprocess runs:
//   TAVRIN_VENDOR_LIKE_NO_ANSWER=1          vendor_like_set_no_answer(1)
//   TAVRIN_VENDOR_LIKE_FAIL_PMC_READS=CODE  vendor_like_fail_pmc_reads(CODE)
// Read at cnc_startupprocess as well:
//   TAVRIN_VENDOR_LIKE_CNC    the simulated CNC library to load (the one of
//                             this build when not set)
//   TAVRIN_VENDOR_LIKE_STATE  a state file of the simulated CNC: each call
//                             then loads the machine from it and saves it
//                             back under its lock, as `tavrin --sim FILE`
//                             does, so the machine lasts from one process to
//                             the next
// Read at cnc_exitprocess:
//   TAVRIN_VENDOR_LIKE_COUNT_FILE  a file that receives the count of calls
//                                  (vendor_like_call_count) as decimal text
//
// A program that loads the library through Tavrin finds these functions with
// lib_GetFocas2Function, under the names below.
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
