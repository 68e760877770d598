// The control API as one table, for programs that reach the simulated CNC
// only through the library handle that loaded it.
#include "tavrin/simcnc.h"

namespace tavrin::simcnc {
namespace {
const Control kControl = {
    kControlVersion, &CallName,       &CallFromName,   &Reset,           &PathCount,         &DefineParam,
    &SetParam,       &GetParam,       &SetPmcByte,     &GetPmcByte,      &PmcAreaSize,       &SetMacro,
    &GetMacro,       &SetOffsetCount, &SetOffset,      &GetOffset,       &SetFigures,        &SetStatusField,
    &SetAxisNames,   &OpenHandleCount, &CurrentPath,   &LastEthernetOpen, &FailNext,         &FailNth,
    &FailAlways,     &ClearFailures,  &Journal,        &ClearJournal,    &JournalSize,       &SetJournalEnabled,
    &LoadFile,       &LoadText,       &SaveFile,       &SaveText,        &WithStateFile,
};
}  // namespace
}  // namespace tavrin::simcnc

extern "C" const tavrin::simcnc::Control* tavrin_simcnc_control() { return &tavrin::simcnc::kControl; }
