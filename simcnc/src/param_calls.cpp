// FOCAS2 calls for CNC parameters: cnc_rdparam and cnc_wrparam.
//
// A record is the 4-byte header (number, axis) and one element per axis
// carried: one byte for bit and byte parameters, two for words, four for
// two-words and eight (value, decimals) for reals.  A read of axis -1 carries
// all 32 axes; only per-axis parameters can be read that way, and no
// parameter can be written that way.
#include "call_scope.h"

using tavrin::simcnc::ParamKind;
using tavrin::simcnc::Call;
using tavrin::simcnc::detail::CallRecord;
using tavrin::simcnc::detail::kAxisSlots;
using tavrin::simcnc::detail::Load;
using tavrin::simcnc::detail::Parameter;
using tavrin::simcnc::detail::Path;
using tavrin::simcnc::detail::RecordSize;
using tavrin::simcnc::detail::RunCall;
using tavrin::simcnc::detail::Simulator;
using tavrin::simcnc::detail::Store;

namespace {

constexpr std::size_t kHeader = 4;
constexpr int kAllAxes = -1;


void StoreElement(void* record, std::size_t index, const Parameter& parameter, int slot) {
  const std::size_t offset = kHeader + index * ParamElementSize(parameter.kind);
  const std::int32_t value = parameter.values[static_cast<std::size_t>(slot)];
  switch (parameter.kind) {
    case ParamKind::Bit:
    case ParamKind::Byte:
      Store<std::uint8_t>(record, offset, static_cast<std::uint8_t>(value));
      break;
    case ParamKind::Word:
      Store<std::int16_t>(record, offset, static_cast<std::int16_t>(value));
      break;
    case ParamKind::TwoWord:
      Store<std::int32_t>(record, offset, value);
      break;
    case ParamKind::Real:
      Store<std::int32_t>(record, offset, value);
      Store<std::int32_t>(record, offset + 4, parameter.decimals[static_cast<std::size_t>(slot)]);
      break;
  }
}

short ReadParam(Simulator& sim, unsigned short handle, short number, short axis, short length, void* record) {
  Path* path = sim.PathOf(handle);
  if (path == nullptr) return EW_HANDLE;
  if (record == nullptr) return EW_DATA;
  auto found = path->parameters.find(number);
  if (found == path->parameters.end()) return EW_NUMBER;
  const Parameter& parameter = found->second;
  const bool all_axes = axis == kAllAxes;
  if (all_axes ? !parameter.per_axis : parameter.Slot(axis) < 0) return EW_NUMBER;
  const std::size_t elements = all_axes ? kAxisSlots : 1;
  if (length < 0 || static_cast<std::size_t>(length) != kHeader + elements * ParamElementSize(parameter.kind)) {
    return EW_LENGTH;
  }
  Store<std::int16_t>(record, 0, number);
  Store<std::int16_t>(record, 2, axis);
  if (all_axes) {
    for (int slot = 0; slot < kAxisSlots; ++slot) StoreElement(record, static_cast<std::size_t>(slot), parameter, slot);
  } else {
    StoreElement(record, 0, parameter, parameter.Slot(axis));
  }
  return EW_OK;
}

short WriteParam(Simulator& sim, unsigned short handle, short length, const void* record) {
  Path* path = sim.PathOf(handle);
  if (path == nullptr) return EW_HANDLE;
  if (record == nullptr) return EW_DATA;
  if (length < static_cast<short>(kHeader)) return EW_LENGTH;
  const auto number = Load<std::int16_t>(record, 0);
  const auto axis = Load<std::int16_t>(record, 2);
  auto found = path->parameters.find(number);
  if (found == path->parameters.end()) return EW_NUMBER;
  Parameter& parameter = found->second;
  const int slot = parameter.Slot(axis);  // axis -1 fits no parameter here
  if (slot < 0) return EW_NUMBER;
  if (static_cast<std::size_t>(length) != kHeader + ParamElementSize(parameter.kind)) return EW_LENGTH;
  std::int32_t value = 0;
  switch (parameter.kind) {
    case ParamKind::Bit:
      value = Load<std::uint8_t>(record, kHeader);
      break;
    case ParamKind::Byte:
      value = Load<std::int8_t>(record, kHeader);
      break;
    case ParamKind::Word:
      value = Load<std::int16_t>(record, kHeader);
      break;
    case ParamKind::TwoWord:
    case ParamKind::Real:
      value = Load<std::int32_t>(record, kHeader);
      break;
  }
  if (parameter.kind == ParamKind::Real) {
    const auto decimals = Load<std::int32_t>(record, kHeader + 4);
    if (decimals < 0 || decimals > 9) return EW_DATA;
    parameter.decimals[static_cast<std::size_t>(slot)] = decimals;
  }
  parameter.values[static_cast<std::size_t>(slot)] = value;
  return EW_OK;
}

constexpr std::size_t kLargestRecord = sizeof(tavrin::focas::ParamRecord);

}  // namespace

extern "C" {

short TAVRIN_SIMCNC_CALL cnc_rdparam(unsigned short handle, short number, short axis, short length, void* record) {
  return RunCall(Call::cnc_rdparam, handle, {number, axis, length}, CallRecord{record, RecordSize(length, kLargestRecord)},
                 [&](Simulator& sim) { return ReadParam(sim, handle, number, axis, length, record); });
}

short TAVRIN_SIMCNC_CALL cnc_wrparam(unsigned short handle, short length, void* record) {
  return RunCall(Call::cnc_wrparam, handle, {length}, CallRecord{record, RecordSize(length, kLargestRecord)},
                 [&](Simulator& sim) { return WriteParam(sim, handle, length, record); });
}

}  // extern "C"
