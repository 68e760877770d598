// FOCAS2 calls for tool offsets: cnc_rdtofs and cnc_wrtofs.  An offset is
// addressed by its number (1..count of the path) and type (0..9: X, Z, R, T,
// Y, each wear then geometry); its record is number, type and a 32-bit value,
// 8 bytes in all.
#include "call_scope.h"

using tavrin::simcnc::Call;
using tavrin::simcnc::detail::CallRecord;
using tavrin::simcnc::detail::kOffsetTypes;
using tavrin::simcnc::detail::Path;
using tavrin::simcnc::detail::RecordSize;
using tavrin::simcnc::detail::RunCall;
using tavrin::simcnc::detail::Simulator;
using tavrin::simcnc::detail::Store;

namespace {

constexpr std::size_t kRecord = sizeof(tavrin::focas::OffsetRecord);

// Checks number (EW_NUMBER), type (EW_ATTRIB) and length (EW_LENGTH), and
// gives the offset's value slot.
short Locate(Path* path, short number, short type, short length, std::int32_t** slot) {
  if (number < 1 || static_cast<std::size_t>(number) > path->offsets.size()) return EW_NUMBER;
  if (type < 0 || type >= kOffsetTypes) return EW_ATTRIB;
  if (length != static_cast<short>(kRecord)) return EW_LENGTH;
  *slot = &path->offsets[static_cast<std::size_t>(number - 1)][static_cast<std::size_t>(type)];
  return EW_OK;
}

short ReadOffset(Simulator& sim, unsigned short handle, short number, short type, short length, void* record) {
  Path* path = sim.PathOf(handle);
  if (path == nullptr) return EW_HANDLE;
  if (record == nullptr) return EW_DATA;
  std::int32_t* slot = nullptr;
  short result = Locate(path, number, type, length, &slot);
  if (result != EW_OK) return result;
  Store<std::int16_t>(record, 0, number);
  Store<std::int16_t>(record, 2, type);
  Store<std::int32_t>(record, 4, *slot);
  return EW_OK;
}

short WriteOffset(Simulator& sim, unsigned short handle, short number, short type, short length, std::int32_t value) {
  Path* path = sim.PathOf(handle);
  if (path == nullptr) return EW_HANDLE;
  std::int32_t* slot = nullptr;
  short result = Locate(path, number, type, length, &slot);
  if (result != EW_OK) return result;
  *slot = value;
  return EW_OK;
}

}  // namespace

extern "C" {

short TAVRIN_SIMCNC_CALL cnc_rdtofs(unsigned short handle, short number, short type, short length, void* record) {
  return RunCall(Call::cnc_rdtofs, handle, {number, type, length}, CallRecord{record, RecordSize(length, kRecord)},
                 [&](Simulator& sim) { return ReadOffset(sim, handle, number, type, length, record); });
}

short TAVRIN_SIMCNC_CALL cnc_wrtofs(unsigned short handle, short number, short type, short length,
                                    std::int32_t value) {
  return RunCall(Call::cnc_wrtofs, handle, {number, type, length, value}, {},
                 [&](Simulator& sim) { return WriteOffset(sim, handle, number, type, length, value); });
}

}  // extern "C"
