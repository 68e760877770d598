// What the tools need to know and set about their own process, beyond the
// library: the program's own file (to find data installed beside it), an
// environment variable for the programs they start, the host name, whether
// standard output is a terminal, and the time of day in UTC.
// One implementation file per platform (posix/, win32/).
#ifndef TAVRIN_TOOLS_COMMON_PROCESS_INFO_H
#define TAVRIN_TOOLS_COMMON_PROCESS_INFO_H

#include <string>

namespace tavrin::tools {

// The running program's own file, absolute; empty when the system cannot tell.
std::string ProgramFile();

// Sets the environment variable `name` of this process, which the programs
// it starts inherit; a null value removes it.  False when the system refuses.
// The library's own settings are not set this way: they have calls of their
// own (tavrin/configuration.h).
bool SetEnvironment(const char* name, const char* value);

// The folder for the state of the user's programs: $XDG_STATE_HOME when it
// is an absolute path, else ~/.local/state; %LOCALAPPDATA% on Windows.
// Empty when the variables it comes from are not set.
std::string StateFolder();

// The computer's host name, at most 255 characters; empty when unknown.
std::string HostName();

// True when standard output is a terminal (not a pipe or a file).
bool StandardOutputIsTerminal();

// True where the simulation application is started as the Windows program
// itself (Windows); elsewhere it is the program that TAVRIN_SIMULATION names,
// or the Windows program under Wine.
bool StartsWindowsProgramsItself();

// Now, as ISO 8601 in UTC with milliseconds: "2026-12-06T08:20:23.507Z".
std::string UtcTimeStamp();

}  // namespace tavrin::tools

#endif
