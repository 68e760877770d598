// Operation signals: the panel's switches and requests in the PMC's D area
// and the status bits the CNC and the PMC program report in D, F and K.
//
// Every signal is a row of one table (letter, byte, bit); the members below
// only name their row.  A switch or request reads its byte, changes the one
// bit and writes the record back as read; a status bit is one read.
#include "nc/cnc_access.h"
#include "nc/bit_mask.h"
#include "tavrin/machine/mchn.h"
#include "tavrin/nc/pmc.h"

namespace machine = tavrin::machine;
namespace focas = tavrin::focas;

namespace {

struct PmcSignal {
  char letter;
  unsigned short address;
  short bit;
};

// Switches and requests first (written in D), then the status bits that
// are only read.  Rows read back by their own setter serve both.
enum Signal {
  kSimulation,
  kDryRunRequest,
  kSingleBlockRequest,
  kAutoReadyButton,
  kStopFeedButton,
  kOptionalStop,
  kWorkPresetRequest,
  kSimuResetRequest,
  kMachineLockRequest,
  kProgramCheck,
  kIdle,
  kLChuckCheck,
  kRChuckCheck,
  kHandCheck,
  kT6keta,
  k3dchkChangeRequest,
  kDryRunStatus,
  kSingleBlockStatus,
  kMachineLockStatus,
  kCycleStatus,
  kWorkPresetStatus,
  kSimuResetStatus,
  kSimuRefStatus,
  k3dchkStatus,
  kMemMode,
  kPath1Selected,
  kPath2Selected,
  kPath3Selected,
  kSignalCount
};

// Indexed by Signal.
constexpr PmcSignal kSignals[] = {
    {'D', 9550, 0},  // kSimulation
    {'D', 9550, 1},  // kDryRunRequest
    {'D', 9550, 2},  // kSingleBlockRequest
    {'D', 9550, 3},  // kAutoReadyButton
    {'D', 9550, 4},  // kStopFeedButton
    {'D', 9550, 5},  // kOptionalStop
    {'D', 9550, 6},  // kWorkPresetRequest
    {'D', 9550, 7},  // kSimuResetRequest
    {'D', 81, 0},    // kMachineLockRequest
    {'D', 25, 0},    // kProgramCheck
    {'D', 6045, 0},  // kIdle
    {'D', 6045, 1},  // kLChuckCheck
    {'D', 6045, 2},  // kRChuckCheck
    {'D', 6045, 3},  // kHandCheck
    {'D', 9694, 3},  // kT6keta
    {'D', 9700, 1},  // k3dchkChangeRequest
    {'F', 2, 7},     // kDryRunStatus
    {'F', 4, 3},     // kSingleBlockStatus
    {'F', 4, 1},     // kMachineLockStatus
    {'D', 9151, 3},  // kCycleStatus
    {'D', 9551, 2},  // kWorkPresetStatus
    {'D', 9551, 0},  // kSimuResetStatus
    {'D', 9551, 1},  // kSimuRefStatus
    {'K', 12, 4},    // k3dchkStatus
    {'K', 10, 6},    // kMemMode
    {'K', 0, 1},     // kPath1Selected
    {'K', 30, 1},    // kPath2Selected
    {'K', 60, 1},    // kPath3Selected
};
static_assert(sizeof kSignals / sizeof kSignals[0] == kSignalCount, "one row per signal");

// The feed hold status bit of each path, in the path's F block.
constexpr short kStopFeedBit = 3;

// Reads the byte of a signal and gives its bit.  Returns the FOCAS2 code;
// *on is set only on success.
short ReadBit(unsigned short handle, char letter, unsigned short address, short bit, bool* on) {
  focas::PmcRecord record;
  short code = machine::ReadPmcByte(handle, lib_GetPmcAddressTypeCode(letter), address, &record);
  if (code == 0) *on = (machine::PmcByte(record) & tavrin::BitMask(bit)) != 0;
  return code;
}

short ReadSignal(unsigned short handle, Signal signal, bool* on) {
  const PmcSignal& s = kSignals[signal];
  return ReadBit(handle, s.letter, s.address, s.bit, on);
}

// A status bit; false when the read fails.
bool SignalIsSet(unsigned short handle, Signal signal) {
  bool on = false;
  return ReadSignal(handle, signal, &on) == 0 && on;
}

// Sets or clears the signal's bit in its byte as read; nothing is written
// when the read fails, and the write's code is not looked at.
void ChangeSignal(unsigned short handle, Signal signal, bool on) {
  const PmcSignal& s = kSignals[signal];
  focas::PmcRecord record;
  if (machine::ReadPmcByte(handle, lib_GetPmcAddressTypeCode(s.letter), s.address, &record) != 0) return;
  machine::SetPmcByte(&record, tavrin::ChangeBit(machine::PmcByte(record), s.bit, on));
  machine::WritePmcByte(handle, &record);
}

}  // namespace

void CLibMchn::SetSimulationMode(bool on) { ChangeSignal(m_handle, kSimulation, machine::IsSet(on)); }
void CLibMchn::SetMachineLock(bool on) { ChangeSignal(m_handle, kMachineLockRequest, machine::IsSet(on)); }
void CLibMchn::SetProgramCheck(bool on) { ChangeSignal(m_handle, kProgramCheck, machine::IsSet(on)); }
void CLibMchn::SetIdelMode(bool on) { ChangeSignal(m_handle, kIdle, machine::IsSet(on)); }
void CLibMchn::SetLChuckCheck(bool on) { ChangeSignal(m_handle, kLChuckCheck, machine::IsSet(on)); }
void CLibMchn::SetRChuckCheck(bool on) { ChangeSignal(m_handle, kRChuckCheck, machine::IsSet(on)); }
void CLibMchn::SetHandCheck(bool on) { ChangeSignal(m_handle, kHandCheck, machine::IsSet(on)); }
void CLibMchn::SetDryRunMode(bool on) { ChangeSignal(m_handle, kDryRunRequest, machine::IsSet(on)); }
void CLibMchn::SetSingleBlockMode(bool on) { ChangeSignal(m_handle, kSingleBlockRequest, machine::IsSet(on)); }
void CLibMchn::SetAutoReadyBtnDownSignal(bool on) { ChangeSignal(m_handle, kAutoReadyButton, machine::IsSet(on)); }
void CLibMchn::SetStopFeedBtnDownSignal(bool on) { ChangeSignal(m_handle, kStopFeedButton, machine::IsSet(on)); }
void CLibMchn::SetOptionalStopMode(bool on) { ChangeSignal(m_handle, kOptionalStop, machine::IsSet(on)); }
void CLibMchn::SetT6ketaMode(bool on) { ChangeSignal(m_handle, kT6keta, machine::IsSet(on)); }

void CLibMchn::RequireExecWorkCoordinatePreset() { ChangeSignal(m_handle, kWorkPresetRequest, true); }
void CLibMchn::RequireExecSimuResetProc() { ChangeSignal(m_handle, kSimuResetRequest, true); }
void CLibMchn::RequireChange3dchkMode() { ChangeSignal(m_handle, k3dchkChangeRequest, true); }

bool CLibMchn::GetSimulationMode() { return SignalIsSet(m_handle, kSimulation); }
bool CLibMchn::GetMachineLock() { return SignalIsSet(m_handle, kMachineLockStatus); }
bool CLibMchn::GetProgramCheck() { return SignalIsSet(m_handle, kProgramCheck); }
bool CLibMchn::GetIdelMode() { return SignalIsSet(m_handle, kIdle); }
bool CLibMchn::GetLChuckCheck() { return SignalIsSet(m_handle, kLChuckCheck); }
bool CLibMchn::GetRChuckCheck() { return SignalIsSet(m_handle, kRChuckCheck); }
bool CLibMchn::GetHandCheck() { return SignalIsSet(m_handle, kHandCheck); }
bool CLibMchn::GetDryRunMode() { return SignalIsSet(m_handle, kDryRunStatus); }
bool CLibMchn::GetSingleBlockMode() { return SignalIsSet(m_handle, kSingleBlockStatus); }
bool CLibMchn::GetCycleStatus() { return SignalIsSet(m_handle, kCycleStatus); }
bool CLibMchn::GetOptionalStopMode() { return SignalIsSet(m_handle, kOptionalStop); }
bool CLibMchn::GetWorkCoordinatePreset() { return SignalIsSet(m_handle, kWorkPresetStatus); }
bool CLibMchn::GetSimuResetProcStatus() { return SignalIsSet(m_handle, kSimuResetStatus); }
bool CLibMchn::GetSimuRefProcStatus() { return SignalIsSet(m_handle, kSimuRefStatus); }
bool CLibMchn::Get3dchkMode() { return SignalIsSet(m_handle, k3dchkStatus); }
bool CLibMchn::GetT6ketaMode() { return SignalIsSet(m_handle, kT6keta); }

bool CLibMchn::GetStopFeed(short path) {
  // Path n's F block starts at 1000 * (n - 1); the address wraps in 16 bits
  // like the CNC's own arithmetic, so an unknown path simply reads elsewhere.
  auto address = static_cast<unsigned short>(1000 * path - 1000);
  bool on = false;
  return ReadBit(m_handle, 'F', address, kStopFeedBit, &on) == 0 && on;
}

short CLibMchn::GetSelectedPath() {
  const Signal selected[] = {kPath1Selected, kPath2Selected, kPath3Selected};
  for (short path = 1; path <= 3; ++path) {
    bool on = false;
    if (ReadSignal(m_handle, selected[path - 1], &on) != 0) return -1;
    if (on) return path;
  }
  return 0;
}

short CLibMchn::GetMemMode() {
  bool on = false;
  if (ReadSignal(m_handle, kMemMode, &on) != 0) return -1;
  return on ? 1 : 0;
}
