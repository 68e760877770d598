// Windows has no pseudo-terminals to stand in for a serial cable: the tests
// that need a line or injected faults skip.
#include "support/serial_line.h"

namespace tavrin::test {

SerialLine::SerialLine() {}
SerialLine::~SerialLine() {}
bool SerialLine::Write(const void*, std::size_t) { return false; }
std::size_t SerialLine::Read(void*, std::size_t, int) { return 0; }
bool SerialLine::WaitQueued(std::size_t, int) { return false; }
bool SerialLine::Settings(LineSettings*) { return false; }

void SignalEvent(HANDLE event) { SetEvent(event); }

SyscallFailure::SyscallFailure(const char*, int) {}
SyscallFailure::~SyscallFailure() {}

SettingsRecorder::SettingsRecorder() {}
SettingsRecorder::~SettingsRecorder() {}
int SettingsRecorder::count() const { return 0; }
LineSettings SettingsRecorder::last() const { return LineSettings{}; }

std::string DevicePathFor(const char*) { return ""; }

std::vector<StepFault> OpenStepFaults() { return {}; }
std::vector<StepFault> TransferFaults() { return {}; }

}  // namespace tavrin::test
