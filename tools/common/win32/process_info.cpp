#include "process_info.h"

#include <windows.h>

#include <io.h>
#include <stdio.h>

#include <cstdlib>

namespace tavrin::tools {

std::string ProgramFile() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return {};
  return std::string(path, length);
}

bool SetEnvironment(const char* name, const char* value) {
  if (name == nullptr || name[0] == '\0') return false;
  // The C runtime's copy is the one that getenv and started programs see.
  return _putenv_s(name, value != nullptr ? value : "") == 0;
}

std::string StateFolder() {
  const char* local = std::getenv("LOCALAPPDATA");
  return local != nullptr ? local : "";
}

std::string HostName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = "";
  DWORD size = sizeof name;
  if (!GetComputerNameA(name, &size)) return {};
  return std::string(name, size);
}

bool StandardOutputIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

bool StartsWindowsProgramsItself() { return true; }

}  // namespace tavrin::tools
