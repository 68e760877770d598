// The platform layer: every service that needs the operating system.
//
// The rest of the library is portable and calls only these functions.  Each
// backend (posix/, win32/) implements them with its own system calls, and
// routes those calls through its system-call table (syscalls.h) so that a test
// can make any one of them fail.
#ifndef TAVRIN_PLATFORM_PLATFORM_H
#define TAVRIN_PLATFORM_PLATFORM_H

#include <string>

namespace tavrin::platform {

// --- Dynamic libraries ---------------------------------------------------
// Opens a shared library by path or name; null when it cannot be loaded.
void* OpenSharedLibrary(const char* path);
// Opens a library so that its calls to its own exported functions stay inside
// it even when another library of the process exports the same names
// (RTLD_DEEPBIND on Linux, except under AddressSanitizer, whose runtime
// refuses it; Windows DLLs are built that way).  Null when it cannot be
// loaded, with the system loader's own words in *error.
void* OpenSelfContainedLibrary(const char* path, std::string* error);
// The address of an exported symbol; null when the library lacks it.
void* FindSharedSymbol(void* library, const char* name);
// The name of the CNC maker's FOCAS2 library on this platform.
const char* DefaultFocasLibraryName();

// --- Environment and folders --------------------------------------------
// The value of an environment variable; false when it is not set.
bool GetEnvironmentValue(const char* name, std::string* value);
// The system's folder for temporary files, with a trailing separator.
std::string TemporaryFolder();

// --- Message boxes ---------------------------------------------------------
// Shows a box the platform's own way (MessageBoxA on Windows, standard error
// elsewhere) and returns its result.
int ShowSystemMessageBox(const char* text, const char* caption, unsigned int style);

}  // namespace tavrin::platform

#endif
