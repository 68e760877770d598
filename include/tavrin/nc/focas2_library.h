// The FOCAS2 library that the process talks through: which one, why it could
// not be had, its own extra functions, and how many calls went to it.
//
// Every NC function of Tavrin reaches the CNC through one FOCAS2 library,
// loaded once, on the first call that needs it, from (first that is given):
//   1. the path named with lib_SetFocas2Library,
//   2. the environment variable TAVRIN_FOCAS,
//   3. the maker's own name (Fwlib32.dll on Windows, libfwlib32.so elsewhere).
// Where the library exports cnc_startupprocess it is called once right after
// loading (level 0, a log file in the temporary folder), and cnc_exitprocess
// at process exit.
//
// The library keeps its own calls inside itself.  The maker's Linux library
// implements some calls by calling its own exported functions through the
// dynamic linker (cnc_rdpmacro calls cnc_rdpmacror); if another library of the
// process also exports those names, a plain load would send the inner calls
// there.  On Linux the library is therefore opened with RTLD_DEEPBIND, which
// makes it look up its own exports first.  Builds with AddressSanitizer (whose
// runtime refuses RTLD_DEEPBIND) open it plainly.  An application must still
// not link a FOCAS2 library itself (the simulated CNC or the maker's) beside
// the one Tavrin loads: its own direct calls would go to the linked one, with
// handles that it does not know.  On Windows a DLL's calls to itself never
// leave it.
//
// Every function here is thread-safe.
#ifndef TAVRIN_NC_FOCAS2_LIBRARY_H
#define TAVRIN_NC_FOCAS2_LIBRARY_H

#include "tavrin/export.h"

TAVRIN_EXTERN_C_BEGIN

/* The longest library path that lib_SetFocas2Library takes, in characters. */
#define TAVRIN_FOCAS2_PATH_MAX 1023

/* Names the FOCAS2 library to load, in place of TAVRIN_FOCAS and the maker's
 * own name.
 * path: a file path or a name for the system's own search; copied.
 * Returns 1 when this library will be the one loaded; 0 (and nothing
 * changes) when path is null, empty or longer than TAVRIN_FOCAS2_PATH_MAX,
 * or when a library was already loaded or tried by an earlier call. */
TAVRIN_FUNC(int) lib_SetFocas2Library(const char* path);

/* Loads the library when that has not been tried yet, and says how it went.
 * text: filled with at most size - 1 characters and a NUL (nothing when size
 *   is 0 or text is null; a longer text is cut): the path or name the library
 *   was loaded by, or, when it could not be loaded, "cannot load PATH: "
 *   followed by the system loader's own words (file not found, wrong
 *   architecture, a missing dependency).
 * Returns 1 when the library is loaded, 0 when it could not be. */
TAVRIN_FUNC(int) lib_DescribeFocas2Library(char* text, unsigned int size);

/* The address of a function or object that the loaded library exports
 * (loading it first when that has not been tried yet), such as a FOCAS2 call
 * that Tavrin does not wrap, or the simulated CNC's control table.
 * Returns null when the library could not be loaded, lacks the name, or name
 * is null.  The caller must know the function's type and calling convention. */
TAVRIN_FUNC(void*) lib_GetFocas2Function(const char* name);

/* How many FOCAS2 calls the process made through Tavrin, counted by Tavrin
 * itself whatever the library (cnc_startupprocess and cnc_exitprocess are not
 * counted). */
typedef struct TavrinFocas2Stats {
  /* Calls handed to the library. */
  unsigned long long calls;
  /* Of those, the calls that returned anything but 0 (EW_OK). */
  unsigned long long failed;
  /* Calls that never reached a library, because it could not be loaded or
   * lacks the call; each returned EW_NODLL (-15). */
  unsigned long long refused;
  /* Seconds spent inside the library's calls, in all threads together. */
  double seconds;
  /* The latest call that returned anything but 0, refused ones included:
   * its code and its FOCAS2 name ("pmc_rdpmcrng"); 0 and "" before any. */
  short last_failed_code;
  char last_failed_call[24];
} TavrinFocas2Stats;

/* Fills *stats with the counts since the process started.  A later reading
 * minus an earlier one gives the calls made in between (by every thread).
 * Does nothing when stats is null. */
TAVRIN_FUNC(void) lib_GetFocas2Stats(TavrinFocas2Stats* stats);

TAVRIN_EXTERN_C_END

#endif
