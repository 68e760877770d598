// Starting a program that runs on its own.
//
// The program is described the Windows way: a command line (the program's
// Windows path, then its arguments) and a working folder (a Windows path).
//
//   Windows  CreateProcessA(null, command_line, null, null, FALSE,
//            NORMAL_PRIORITY_CLASS, null, folder, start-up record with only
//            its size set); both handles of the new process are closed at once.
//   POSIX    the program named by the setting `substitute` (settings.h:
//            lib_SetSimulationProgram, else the environment variable of that
//            name; when it is given and set, not empty) with `arguments` split at
//            blanks, else "wine" found on the PATH with `program` and the
//            same arguments; run with execv, no shell.  The working folder is
//            `folder` mapped onto the file system (windows_path.h).  The
//            program runs in a grandchild: the child started by this call
//            forks once more and ends at once, and is waited for here, so the
//            program is never a child of the caller and never its zombie.  It
//            gets an empty signal mask and inherits no descriptor above 2.
//
// Nothing waits for the program itself.
#ifndef TAVRIN_PLATFORM_PROCESS_H
#define TAVRIN_PLATFORM_PROCESS_H

namespace tavrin::platform {

struct ProgramStart {
  const char* command_line;  // Windows command line: program, blank, arguments
  const char* program;       // the program alone (Windows path)
  const char* arguments;     // the arguments alone ("" when none)
  const char* folder;        // working folder (Windows path)
  const char* substitute;    // POSIX: variable naming a program to run instead (may be null)
};

// True when the program was handed to the system: on Windows when
// CreateProcessA succeeded; on POSIX when the intermediate child ran (a
// program that cannot then be found, or a folder that cannot be entered,
// ends the grandchild silently).  False when there is nothing to run (no
// substitute and no wine on the PATH) or a system call failed.
bool StartDetachedProgram(const ProgramStart& start);

}  // namespace tavrin::platform

#endif
