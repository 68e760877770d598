#include "support/process_capture.h"

#include <windows.h>

#include <cstring>

#include "support/scoped_syscalls.h"

namespace tavrin::test {

namespace {
CapturedStart* capture = nullptr;
bool refusing = false;
HANDLE const kProcess = reinterpret_cast<HANDLE>(0x1230);
HANDLE const kThread = reinterpret_cast<HANDLE>(0x4560);
int handles_closed = 0;

BOOL WINAPI RecordCreateProcess(LPCSTR application, LPSTR command_line, LPSECURITY_ATTRIBUTES process_security,
                                LPSECURITY_ATTRIBUTES thread_security, BOOL inherit, DWORD flags, LPVOID environment,
                                LPCSTR folder, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION information) {
  if (application != nullptr || process_security != nullptr || thread_security != nullptr)
    capture->problems += "application name or security given; ";
  if (inherit != FALSE) capture->problems += "handles inherited; ";
  if (flags != 0x20) capture->problems += "flags not 0x20; ";
  if (environment != nullptr) capture->problems += "environment given; ";
  STARTUPINFOA empty{};
  empty.cb = sizeof empty;
  if (startup == nullptr || std::memcmp(startup, &empty, sizeof empty) != 0) capture->problems += "start-up record; ";
  capture->command.push_back(command_line != nullptr ? command_line : "");
  capture->folder = folder != nullptr ? folder : "";
  if (refusing) return FALSE;
  capture->started = true;
  information->hProcess = kProcess;
  information->hThread = kThread;
  return TRUE;
}

BOOL WINAPI RecordCloseHandle(HANDLE handle) {
  if (handle == kProcess || handle == kThread) ++handles_closed;
  return TRUE;
}
}  // namespace

CapturedStart CaptureStart(const std::function<void()>& start, bool refuse) {
  CapturedStart captured;
  capture = &captured;
  refusing = refuse;
  handles_closed = 0;
  {
    ScopedSyscalls recorders{{"process:CreateProcessA", &RecordCreateProcess},
                             {"process:CloseHandle", &RecordCloseHandle}};
    start();
  }
  if (captured.started && handles_closed != 2) captured.problems += "handles left open; ";
  capture = nullptr;
  return captured;
}

std::vector<std::string> ExpectedStartCommand(bool debug) {
  return {debug ? "C:\\QvApplication\\Qv Crash Preview\\Orvex.exe /debug"
                : "C:\\QvApplication\\Qv Crash Preview\\Orvex.exe"};
}

}  // namespace tavrin::test
