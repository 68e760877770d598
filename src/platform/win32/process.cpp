#include <windows.h>

#include <cstring>

#include "platform/process.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)               \
  CALL(CreateProcessA, "process:CreateProcessA") \
  CALL(CloseHandle, "process:CloseHandle")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

bool StartDetachedProgram(const ProgramStart& start) {
  if (start.command_line == nullptr) return false;
  // CreateProcessA may change the command line it is given, so it gets a copy.
  char command_line[MAX_PATH + 64];
  std::size_t length = std::strlen(start.command_line);
  if (length >= sizeof command_line) return false;
  std::memcpy(command_line, start.command_line, length + 1);

  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  std::memset(&process, 0, sizeof process);
  BOOL created = sys::CreateProcessA(nullptr, command_line, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                                     start.folder, &startup, &process);
  if (!created) return false;
  sys::CloseHandle(process.hProcess);
  sys::CloseHandle(process.hThread);
  return true;
}

}  // namespace tavrin::platform
