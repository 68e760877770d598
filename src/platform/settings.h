// Settings the application gives through the library's configuration calls
// (tavrin/configuration.h).  Each is named after the environment variable it
// overrides ("TAVRIN_DRIVE_C", "TAVRIN_SIMULATION"); while it is not set, the
// variable decides, as before.  Kept in the library's own memory: nothing is
// written into the process's environment, so programs the library starts do
// not inherit them.
#ifndef TAVRIN_PLATFORM_SETTINGS_H
#define TAVRIN_PLATFORM_SETTINGS_H

#include <string>
#include <vector>

namespace tavrin::platform {

// Sets `name` to `value`; a null or empty value clears it, so that the
// environment variable decides again.  False for a null or empty name.
bool SetSetting(const char* name, const char* value);

// The value set for `name`, else the environment variable's; false when
// neither is set.  Thread-safe.
bool GetSetting(const char* name, std::string* value);

// `environment` ("NAME=VALUE" entries) with every setting that is set in
// place of its variable: the environment for a program the library starts
// as a stand-in for another (the simulation program), so that it sees the
// same drive folders as the library.
std::vector<std::string> WithSettings(std::vector<std::string> environment);

}  // namespace tavrin::platform

#endif
