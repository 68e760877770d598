#include "tavrin/simulation/simu_module.h"

#include "nc/cnc_access.h"
#include "nc/bit_mask.h"
#include "platform/process.h"
#include "tavrin/nc/pmc.h"

namespace {

constexpr unsigned short kSignalByte = 9693;  // D9693
constexpr short kRedrawRequestBit = 3;
constexpr short kSimulationSoftBit = 6;

const char kProgram[] = "C:\\QvApplication\\Qv Crash Preview\\Orvex.exe";
const char kNormalCommandLine[] = "C:\\QvApplication\\Qv Crash Preview\\Orvex.exe";
const char kDebugCommandLine[] = "C:\\QvApplication\\Qv Crash Preview\\Orvex.exe /debug";
const char kFolder[] = "C:\\QvApplication\\Qv Crash Preview\\";
// Elsewhere than Windows: a program to run in the simulation's place.
const char kSubstituteVariable[] = "TAVRIN_SIMULATION";

// Reads D9693 into `record`; the FOCAS2 code.
short ReadSignalByte(unsigned short handle, tavrin::focas::PmcRecord* record) {
  return tavrin::machine::ReadPmcByte(handle, lib_GetPmcAddressTypeCode('D'), kSignalByte, record);
}

// Reads D9693, sets or clears one bit and writes the record back.  The read's
// code when it fails (nothing written), else the write's code.
short ChangeSignalBit(unsigned short handle, short bit, bool set) {
  tavrin::focas::PmcRecord record;
  short code = ReadSignalByte(handle, &record);
  if (code != 0) return code;
  tavrin::machine::SetPmcByte(&record, tavrin::ChangeBit(tavrin::machine::PmcByte(record), bit, set));
  return tavrin::machine::WritePmcByte(handle, &record);
}

}  // namespace

CLibSimuModule::CLibSimuModule() : handle_(0), debug_(false) {}
CLibSimuModule::CLibSimuModule(unsigned short handle) : handle_(handle), debug_(false) {}
CLibSimuModule::CLibSimuModule(const CLibSimuModule& other) = default;
CLibSimuModule& CLibSimuModule::operator=(const CLibSimuModule& other) = default;
CLibSimuModule::~CLibSimuModule() = default;

short CLibSimuModule::RequireSimuRedraw() { return ChangeSignalBit(handle_, kRedrawRequestBit, true); }

void CLibSimuModule::SetSimulationSoft(bool on) {
  ChangeSignalBit(handle_, kSimulationSoftBit, tavrin::machine::IsSet(on));
}

bool CLibSimuModule::GetSimulationSoft() {
  tavrin::focas::PmcRecord record;
  if (ReadSignalByte(handle_, &record) != 0) return false;
  return (tavrin::machine::PmcByte(record) & tavrin::BitMask(kSimulationSoftBit)) != 0;
}

void CLibSimuModule::StartSimulationSoft(bool debug) {
  bool debug_start = tavrin::machine::IsSet(debug);
  tavrin::platform::ProgramStart start{debug_start ? kDebugCommandLine : kNormalCommandLine, kProgram,
                                       debug_start ? "/debug" : "", kFolder, kSubstituteVariable};
  tavrin::platform::StartDetachedProgram(start);
  debug_ = debug_start;
}

bool CLibSimuModule::IsDebugMode() { return debug_; }
