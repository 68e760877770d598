#include "process_info.h"

#include <windows.h>

#include <io.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

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

std::string UtcTimeStamp() {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm utc{};
  gmtime_s(&utc, &seconds);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
  char full[48];
  std::snprintf(full, sizeof full, "%s.%03dZ", text, static_cast<int>(ms));
  return full;
}

}  // namespace tavrin::tools
