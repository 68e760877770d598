// FOCAS2 calls for handles and paths, and for what a path tells of itself:
// its decimal figures, its status record and its axis names.
#include <algorithm>

#include "call_scope.h"

using tavrin::simcnc::Call;
using tavrin::simcnc::detail::CallRecord;
using tavrin::simcnc::detail::Path;
using tavrin::simcnc::detail::RecordSize;
using tavrin::simcnc::detail::RunCall;
using tavrin::simcnc::detail::Simulator;
using tavrin::simcnc::detail::Store;

namespace {

short Open(Simulator& sim, unsigned short* handle) {
  if (handle == nullptr) return EW_DATA;
  unsigned short opened = sim.OpenHandle();
  if (opened == 0) return EW_HANDLE;
  *handle = opened;
  return EW_OK;
}

}  // namespace

extern "C" {

short TAVRIN_SIMCNC_CALL cnc_allclibhndl(unsigned short* handle) {
  return RunCall(Call::cnc_allclibhndl, 0, {}, {}, [&](Simulator& sim) { return Open(sim, handle); });
}

short TAVRIN_SIMCNC_CALL cnc_allclibhndl2(std::int32_t node, unsigned short* handle) {
  return RunCall(Call::cnc_allclibhndl2, 0, {node}, {}, [&](Simulator& sim) { return Open(sim, handle); });
}

short TAVRIN_SIMCNC_CALL cnc_allclibhndl3(const char* address, unsigned short port, std::int32_t timeout,
                                          unsigned short* handle) {
  return RunCall(
      Call::cnc_allclibhndl3, 0, {port, timeout}, {},
      [&](Simulator& sim) -> short {
        if (address == nullptr) return EW_DATA;
        short result = Open(sim, handle);
        if (result == EW_OK) sim.last_ethernet = {address, port, timeout};
        return result;
      },
      address != nullptr ? address : "");
}

short TAVRIN_SIMCNC_CALL cnc_freelibhndl(unsigned short handle) {
  return RunCall(Call::cnc_freelibhndl, handle, {}, {},
                 [&](Simulator& sim) -> short { return sim.handles.erase(handle) != 0 ? EW_OK : EW_HANDLE; });
}

short TAVRIN_SIMCNC_CALL cnc_getpath(unsigned short handle, short* current, short* maximum) {
  return RunCall(Call::cnc_getpath, handle, {}, {}, [&](Simulator& sim) -> short {
    if (sim.PathOf(handle) == nullptr) return EW_HANDLE;
    if (current == nullptr || maximum == nullptr) return EW_DATA;
    *current = static_cast<short>(sim.handles[handle]);
    *maximum = static_cast<short>(sim.machine.paths.size());
    return EW_OK;
  });
}

short TAVRIN_SIMCNC_CALL cnc_setpath(unsigned short handle, short path) {
  return RunCall(Call::cnc_setpath, handle, {path}, {}, [&](Simulator& sim) -> short {
    if (sim.PathOf(handle) == nullptr) return EW_HANDLE;
    if (sim.machine.PathNumber(path) == nullptr) return EW_PATH;
    sim.handles[handle] = path;
    return EW_OK;
  });
}

// Only the figures of data kind 1, the input and output units of lengths,
// are simulated; any other kind is an attribute the CNC does not know.
short TAVRIN_SIMCNC_CALL cnc_getfigure(unsigned short handle, short kind, short* valid_digits, short* input_decimals,
                                       short* output_decimals) {
  return RunCall(Call::cnc_getfigure, handle, {kind}, {}, [&](Simulator& sim) -> short {
    const Path* path = sim.PathOf(handle);
    if (path == nullptr) return EW_HANDLE;
    if (valid_digits == nullptr || input_decimals == nullptr || output_decimals == nullptr) return EW_DATA;
    if (kind != 1) return EW_ATTRIB;
    *valid_digits = path->valid_digits;
    *input_decimals = path->input_decimals;
    *output_decimals = path->output_decimals;
    return EW_OK;
  });
}

short TAVRIN_SIMCNC_CALL cnc_statinfo(unsigned short handle, void* record) {
  constexpr std::size_t kSize = sizeof(tavrin::focas::StatusRecord);
  return RunCall(Call::cnc_statinfo, handle, {}, CallRecord{record, kSize}, [&](Simulator& sim) -> short {
    const Path* path = sim.PathOf(handle);
    if (path == nullptr) return EW_HANDLE;
    if (record == nullptr) return EW_DATA;
    for (std::size_t i = 0; i < path->status.size(); ++i) Store<std::int16_t>(record, 2 * i, path->status[i]);
    return EW_OK;
  });
}

// `count` gives the room of `names` in entries; it comes back as the number
// of entries filled: every axis of the path when the room allows.
short TAVRIN_SIMCNC_CALL cnc_rdaxisname(unsigned short handle, short* count, void* names) {
  constexpr long long kRoom = tavrin::focas::kMaxAxes;
  const long long room = count != nullptr ? std::clamp<long long>(*count, 0, kRoom) : 0;
  return RunCall(Call::cnc_rdaxisname, handle, {}, CallRecord{names, RecordSize(2 * room, 2 * kRoom)},
                 [&](Simulator& sim) -> short {
                   const Path* path = sim.PathOf(handle);
                   if (path == nullptr) return EW_HANDLE;
                   if (count == nullptr || names == nullptr) return EW_DATA;
                   if (*count < 1) return EW_LENGTH;
                   const auto filled = std::min<std::size_t>(path->axes.size(), static_cast<std::size_t>(room));
                   for (std::size_t i = 0; i < filled; ++i) {
                     Store<char>(names, 2 * i, path->axes[i].name);
                     Store<char>(names, 2 * i + 1, path->axes[i].suffix);
                   }
                   *count = static_cast<short>(filled);
                   return EW_OK;
                 });
}

}  // extern "C"
