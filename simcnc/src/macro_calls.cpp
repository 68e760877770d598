// FOCAS2 calls for P-code macro variables: the range read and write
// (cnc_rdpmacror, cnc_wrpmacror) and the single read and write
// (cnc_rdpmacro, cnc_wrpmacro).
//
// Range record: first (32-bit), a 16-bit word not used, padding, last
// (32-bit), then per variable value (32-bit), decimals (16-bit), padding.
// Single record: number (32-bit), a reserved word, value at offset 8,
// decimals at offset 12.  Writes take 0 to 9 decimal places.
#include "call_scope.h"

using tavrin::simcnc::Call;
using tavrin::simcnc::detail::CallRecord;
using tavrin::simcnc::detail::kMacroFirst;
using tavrin::simcnc::detail::kMacroLast;
using tavrin::simcnc::detail::Load;
using tavrin::simcnc::detail::Path;
using tavrin::simcnc::detail::RunCall;
using tavrin::simcnc::detail::ScaledValue;
using tavrin::simcnc::detail::Simulator;
using tavrin::simcnc::detail::Store;

namespace {

constexpr std::size_t kRangeHeader = 12;
constexpr std::size_t kEntry = 8;
constexpr std::size_t kSingleRecord = sizeof(tavrin::focas::MacroRecord);

bool ValidNumber(std::int32_t number) { return number >= kMacroFirst && number <= kMacroLast; }
bool ValidDecimals(long long decimals) { return decimals >= 0 && decimals <= 9; }

// Checks a range: its numbers (EW_NUMBER), then the record length for
// last - first + 1 variables (EW_LENGTH).
short CheckRange(std::int32_t first, std::int32_t last, unsigned length) {
  if (!ValidNumber(first) || !ValidNumber(last) || last < first) return EW_NUMBER;
  const std::size_t count = static_cast<std::size_t>(last - first) + 1;
  return length == kRangeHeader + kEntry * count ? EW_OK : EW_LENGTH;
}

short ReadRange(Simulator& sim, unsigned short handle, std::int32_t first, std::int32_t last, unsigned length,
                void* record) {
  const Path* path = sim.PathOf(handle);
  if (path == nullptr) return EW_HANDLE;
  if (record == nullptr) return EW_DATA;
  short result = CheckRange(first, last, length);
  if (result != EW_OK) return result;
  Store<std::int32_t>(record, 0, first);
  Store<std::int32_t>(record, 8, last);
  for (std::int32_t number = first; number <= last; ++number) {
    const std::size_t offset = kRangeHeader + kEntry * static_cast<std::size_t>(number - first);
    const ScaledValue value = path->Macro(number);
    Store<std::int32_t>(record, offset, value.value);
    Store<std::int16_t>(record, offset + 4, value.decimals);
  }
  return EW_OK;
}

short WriteRange(Simulator& sim, unsigned short handle, unsigned length, const void* record) {
  Path* path = sim.PathOf(handle);
  if (path == nullptr) return EW_HANDLE;
  if (record == nullptr) return EW_DATA;
  if (length < kRangeHeader) return EW_LENGTH;
  const auto first = Load<std::int32_t>(record, 0);
  const auto last = Load<std::int32_t>(record, 8);
  short result = CheckRange(first, last, length);
  if (result != EW_OK) return result;
  // All or nothing: every entry is checked before any is written.
  for (std::size_t offset = kRangeHeader; offset < length; offset += kEntry) {
    if (!ValidDecimals(Load<std::int16_t>(record, offset + 4))) return EW_DATA;
  }
  for (std::int32_t number = first; number <= last; ++number) {
    const std::size_t offset = kRangeHeader + kEntry * static_cast<std::size_t>(number - first);
    path->SetMacro(number, ScaledValue{Load<std::int32_t>(record, offset), Load<std::int16_t>(record, offset + 4)});
  }
  return EW_OK;
}

short ReadOne(Simulator& sim, unsigned short handle, std::int32_t number, void* record) {
  const Path* path = sim.PathOf(handle);
  if (path == nullptr) return EW_HANDLE;
  if (record == nullptr) return EW_DATA;
  if (!ValidNumber(number)) return EW_NUMBER;
  const ScaledValue value = path->Macro(number);
  Store<std::int32_t>(record, 0, number);
  Store<std::int32_t>(record, 8, value.value);
  Store<std::int16_t>(record, 12, value.decimals);
  return EW_OK;
}

short WriteOne(Simulator& sim, unsigned short handle, std::int32_t number, std::int32_t value, short decimals) {
  Path* path = sim.PathOf(handle);
  if (path == nullptr) return EW_HANDLE;
  if (!ValidNumber(number)) return EW_NUMBER;
  if (!ValidDecimals(decimals)) return EW_DATA;
  path->SetMacro(number, ScaledValue{value, decimals});
  return EW_OK;
}

}  // namespace

extern "C" {

// The range calls' records are as long as their length says: the caller
// makes them for the count of variables it asks for.
short TAVRIN_SIMCNC_CALL cnc_rdpmacror(unsigned short handle, std::int32_t first, std::int32_t last,
                                       unsigned short length, void* record) {
  return RunCall(Call::cnc_rdpmacror, handle, {first, last, length}, CallRecord{record, length},
                 [&](Simulator& sim) { return ReadRange(sim, handle, first, last, length, record); });
}

short TAVRIN_SIMCNC_CALL cnc_wrpmacror(unsigned short handle, unsigned short length, void* record) {
  return RunCall(Call::cnc_wrpmacror, handle, {length}, CallRecord{record, length},
                 [&](Simulator& sim) { return WriteRange(sim, handle, length, record); });
}

short TAVRIN_SIMCNC_CALL cnc_rdpmacro(unsigned short handle, std::int32_t number, void* record) {
  return RunCall(Call::cnc_rdpmacro, handle, {number}, CallRecord{record, kSingleRecord},
                 [&](Simulator& sim) { return ReadOne(sim, handle, number, record); });
}

short TAVRIN_SIMCNC_CALL cnc_wrpmacro(unsigned short handle, std::int32_t number, std::int32_t value,
                                      short decimals) {
  return RunCall(Call::cnc_wrpmacro, handle, {number, value, decimals}, {},
                 [&](Simulator& sim) { return WriteOne(sim, handle, number, value, decimals); });
}

}  // extern "C"
