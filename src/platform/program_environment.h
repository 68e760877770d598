// What a program needs to know and set about its own process: environment
// variables it passes on to the libraries it loads, and the file each of its
// loaded modules came from.
//
// Used by the command-line tools, which point the library's FOCAS2 binding
// (TAVRIN_FOCAS) and drive mapping (TAVRIN_DRIVE_C) at files they choose, and
// find their data files beside their own executable.
#ifndef TAVRIN_PLATFORM_PROGRAM_ENVIRONMENT_H
#define TAVRIN_PLATFORM_PROGRAM_ENVIRONMENT_H

#include <string>

namespace tavrin::platform {

// Sets the variable `name` of this process to `value`, or removes it when
// value is null.  Returns false when name is null or empty, holds '=', or
// the system refuses.  Libraries that read the variable later see the change.
bool SetEnvironmentValue(const char* name, const char* value);

// The path of the loaded module (executable or shared library) that holds
// `address`, code or data; empty when no module holds it or the system cannot
// tell.
std::string ModuleFileOf(const void* address);

}  // namespace tavrin::platform

#endif
