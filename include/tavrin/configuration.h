// The library's configuration through calls.
//
// Each setting has an environment variable as its default, so that an
// application that sets nothing behaves as before.  A call overrides the
// variable for this process only; nothing is written into the environment,
// so programs the library starts do not inherit it.  The FOCAS2 library is
// chosen the same way with lib_SetFocas2Library (tavrin/nc/focas2_library.h).
// Every function here is thread-safe.
#ifndef TAVRIN_CONFIGURATION_H
#define TAVRIN_CONFIGURATION_H

#include "tavrin/export.h"

TAVRIN_EXTERN_C_BEGIN

/* The longest folder or program path these calls take, in characters. */
#define TAVRIN_SETTING_PATH_MAX 1023

/* Off Windows: the folder that stands for the Windows drive `drive` ('A' to
 * 'Z', either case) in every Windows path the library meets (the simulation's
 * files, "C:\QvApplication\..."), in place of the variable TAVRIN_DRIVE_<X>
 * and of the Wine prefix's dosdevices/<x>: link.  On Windows drive letters
 * are the system's own and the setting is kept but not used.
 * folder: copied; null or "" clears the setting (the variable decides again).
 * Returns 1 when set or cleared; 0 (nothing changes) for a drive that is no
 * letter or a folder longer than TAVRIN_SETTING_PATH_MAX. */
TAVRIN_FUNC(int) lib_SetDriveFolder(char drive, const char* folder);

/* The program that CLibSimuModule::StartSimulationSoft starts in place of the
 * simulation application, as the variable TAVRIN_SIMULATION names it (see
 * tavrin/simulation/simu_module.h).
 * path: copied; null or "" clears the setting.
 * Returns 1 when set or cleared; 0 for a path longer than
 * TAVRIN_SETTING_PATH_MAX. */
TAVRIN_FUNC(int) lib_SetSimulationProgram(const char* path);

TAVRIN_EXTERN_C_END

#endif
